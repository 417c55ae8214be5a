// The Access reference's reader: every user table of each database named on stdin (one
// "key<TAB>path" a line) through jackcess, one JSON line per table on stdout:
//   {"file": key, "table": name, "columns": [...], "types": [...], "rows": [[cell, ...], ...]}
// or {"file": key[, "table": name], "error": message}, or {"file": key, "tables": []} for a database
// without a user table. A cell is null or [type, value]:
//   ["s", text]  ["i", whole (a Byte unsigned)]  ["f", float as a double]  ["d", double]
//   ["n", decimal text, every digit]
//   ["b", true|false]  ["t", "yyyy-MM-ddTHH:mm:ss.nnnnnnnnn"]  ["x", class name, text]
// ref_access.py turns them into the texts the program shows.
import com.healthmarketscience.jackcess.Column;
import com.healthmarketscience.jackcess.Database;
import com.healthmarketscience.jackcess.DatabaseBuilder;
import com.healthmarketscience.jackcess.DateTimeType;
import com.healthmarketscience.jackcess.Row;
import com.healthmarketscience.jackcess.Table;

import java.io.BufferedReader;
import java.io.File;
import java.io.InputStreamReader;
import java.io.PrintStream;
import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.time.LocalDateTime;
import java.util.ArrayList;
import java.util.List;

public class AccessDump {
    static final PrintStream OUT = new PrintStream(System.out, false, StandardCharsets.UTF_8);

    static void string(StringBuilder out, String text) {
        out.append('"');
        for (int i = 0; i < text.length(); ++i) {
            char c = text.charAt(i);
            boolean pair = Character.isHighSurrogate(c) && i + 1 < text.length()
                    && Character.isLowSurrogate(text.charAt(i + 1));
            if (pair) {
                out.append(c).append(text.charAt(++i));
            } else if (c == '"' || c == '\\') {
                out.append('\\').append(c);
            } else if (c < 0x20 || Character.isSurrogate(c)) {
                out.append(String.format("\\u%04x", (int) c));
            } else {
                out.append(c);
            }
        }
        out.append('"');
    }

    static void cell(StringBuilder out, Object value) {
        if (value == null) {
            out.append("null");
            return;
        }
        String type;
        String text;
        if (value instanceof String) {
            type = "s";
            text = (String) value;
        } else if (value instanceof Boolean) {
            out.append("[\"b\", ").append(value).append(']');
            return;
        } else if (value instanceof Byte) {
            // Access's Byte runs 0 to 255; jackcess hands it out as Java's signed byte (-128 for 128).
            type = "i";
            text = Integer.toString(((Byte) value) & 0xFF);
        } else if (value instanceof Short || value instanceof Integer || value instanceof Long) {
            type = "i";
            text = value.toString();
        } else if (value instanceof Float) {
            type = "f";
            text = Double.toString(((Float) value).doubleValue());
        } else if (value instanceof Double) {
            type = "d";
            text = value.toString();
        } else if (value instanceof BigDecimal) {
            type = "n";
            text = ((BigDecimal) value).toPlainString();
        } else if (value instanceof LocalDateTime) {
            type = "t";
            text = value.toString();
        } else {
            out.append("[\"x\", ");
            string(out, value.getClass().getSimpleName());
            out.append(", ");
            string(out, value instanceof byte[] ? ((byte[]) value).length + " bytes" : value.toString());
            out.append(']');
            return;
        }
        out.append("[\"").append(type).append("\", ");
        string(out, text);
        out.append(']');
    }

    static void error(String key, String table, Throwable e) {
        StringBuilder out = new StringBuilder("{\"file\": ");
        string(out, key);
        if (table != null) {
            out.append(", \"table\": ");
            string(out, table);
        }
        out.append(", \"error\": ");
        string(out, e.getClass().getSimpleName() + ": " + e.getMessage());
        out.append('}');
        OUT.println(out);
        OUT.flush();
    }

    static void table(String key, Table table) {
        List<? extends Column> columns = table.getColumns();
        StringBuilder out = new StringBuilder("{\"file\": ");
        string(out, key);
        out.append(", \"table\": ");
        string(out, table.getName());
        out.append(", \"columns\": [");
        List<String> types = new ArrayList<>();
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0) out.append(", ");
            string(out, columns.get(c).getName());
            Column column = columns.get(c);
            types.add(column.getType().name() + (column.isCalculated() ? ":calculated" : ""));
        }
        out.append("], \"types\": [");
        for (int c = 0; c < types.size(); ++c) {
            if (c > 0) out.append(", ");
            string(out, types.get(c));
        }
        out.append("], \"rows\": [");
        boolean first = true;
        for (Row row : table) {
            out.append(first ? "[" : ", [");
            first = false;
            for (int c = 0; c < columns.size(); ++c) {
                if (c > 0) out.append(", ");
                cell(out, row.get(columns.get(c).getName()));
            }
            out.append(']');
        }
        out.append("]}");
        OUT.println(out);
        OUT.flush();
    }

    public static void main(String[] args) throws Exception {
        BufferedReader in = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        for (String line; (line = in.readLine()) != null;) {
            int tab = line.indexOf('\t');
            String key = line.substring(0, tab);
            File file = new File(line.substring(tab + 1));
            try (Database db = new DatabaseBuilder(file).setReadOnly(true).setAutoSync(false).open()) {
                db.setDateTimeType(DateTimeType.LOCAL_DATE_TIME);
                if (db.getTableNames().isEmpty()) {
                    StringBuilder out = new StringBuilder("{\"file\": ");
                    string(out, key);
                    OUT.println(out.append(", \"tables\": []}"));
                    OUT.flush();
                }
                for (String name : db.getTableNames()) {
                    try {
                        table(key, db.getTable(name));
                    } catch (Throwable e) {
                        error(key, name, e);
                    }
                }
            } catch (Throwable e) {
                error(key, null, e);
            }
        }
    }
}
