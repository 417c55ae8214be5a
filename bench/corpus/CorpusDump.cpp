// quibo-corpus-dump: every table of every source file under the given paths (or of an ODBC data
// source), read as the loaders read it, one JSON line per table on stdout:
//   {"file": F, "table": T, "columns": [...], "kinds": [...], "rows": [[cell, ...], ...]}
// a cell being its grid text (CellText) or null for a Null cell; a refusal is
//   {"file": F, "error": "..."}            (the source would not open or list its tables)
//   {"file": F, "table": T, "error": "..."} (the table would not read)
//   {"file": F, "tables": []}                (the source lists no table)
// F is the file's path from the folder given on the command line (a file given itself: its name), so
// that a reference run over the same folders names the same files. compare.py holds two such outputs
// against each other.
//
//   quibo-corpus-dump [--list] PATH...              workbooks, text files and Access databases
//   quibo-corpus-dump --odbc DSN [USER [PASSWORD]]   the tables and views of a data source (F: "DSN=name")
//   quibo-corpus-dump --connection STRING [USER [PASSWORD]]   the same through a driver's connection
//                                                     string ("Driver=SQLite3;Database=/a.db"; F: the string)
#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/SourceTable.h"
#include "sources/LoaderSource.h"
#include "vb/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdio>
#include <string>

namespace {

using quibo::SourceTable;

// The kinds of file the browse dialogs offer, by the loader that reads them, and macro-enabled
// workbooks (.xlsm), which are .xlsx packages to the reader.
bool IsSourceFile(const QString& path) {
    static const QStringList Suffixes = {"xls", "xlsx", "xlsm", "csv", "txt", "mdb", "accdb"};
    return Suffixes.contains(QFileInfo(path).suffix().toLower());
}

// A JSON string. Texts may hold lone surrogates (a damaged file's bytes read as UTF-16): they are
// written as \u escapes rather than replaced, so that the comparer sees the very code units.
void PutString(std::string& out, const QString& text) {
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        const bool pair =
            QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text.at(i + 1).unicode());
        if (pair) {
            out += QStringView(text).mid(i, 2).toUtf8().toStdString();
            ++i;
        } else if (u == '"' || u == '\\') {
            out += '\\';
            out += char(u);
        } else if (u < 0x20 || QChar::isSurrogate(u)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(u));
            out += escape;
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += QString(QChar(u)).toUtf8().toStdString();
        }
    }
    out += '"';
}

void Emit(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout); // a copy that crashes the reader keeps the tables read before it
}

std::string Head(const QString& file, const QString* table) {
    std::string out = "{\"file\": ";
    PutString(out, file);
    if (table) {
        out += ", \"table\": ";
        PutString(out, *table);
    }
    return out;
}

void EmitError(const QString& file, const QString* table, const QString& message) {
    std::string out = Head(file, table);
    out += ", \"error\": ";
    PutString(out, message);
    out += '}';
    Emit(out);
}

const char* KindName(quibo::ColumnKind kind) {
    switch (kind) {
    case quibo::ColumnKind::Number:
        return "number";
    case quibo::ColumnKind::Date:
        return "date";
    case quibo::ColumnKind::Boolean:
        return "boolean";
    case quibo::ColumnKind::Text:
        break;
    }
    return "text";
}

void EmitTable(const QString& file, const QString& name, const SourceTable& table) {
    std::string out = Head(file, &name);
    out += ", \"columns\": [";
    for (int c = 0; c < table.fieldCount(); ++c) {
        if (c) out += ", ";
        PutString(out, table.columns()[size_t(c)].name);
    }
    out += "], \"kinds\": [";
    for (int c = 0; c < table.fieldCount(); ++c) {
        if (c) out += ", ";
        out += '"';
        out += KindName(table.columns()[size_t(c)].kind);
        out += '"';
    }
    out += "], \"rows\": [";
    for (int r = 0; r < table.recordCount(); ++r) {
        out += r ? ", [" : "[";
        for (int c = 0; c < table.fieldCount(); ++c) {
            if (c) out += ", ";
            if (table.isNull(r, c))
                out += "null";
            else
                PutString(out, table.text(r, c));
        }
        out += ']';
    }
    out += "]}";
    Emit(out);
}

QString Refusal(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const quibo::vb::RuntimeError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QStringLiteral("(exception) ") + QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("(unknown exception)");
    }
}

// Reads the given tables of an open source (all of them when `only` is empty; an ODBC source lists its
// views among them).
void DumpSource(const QString& file, const quibo::ConnectionOpener& open, const quibo::LoaderSource& source,
                const QString& only) {
    std::unique_ptr<quibo::Source> connection;
    QStringList names;
    try {
        connection = source.open(open);
        names = only.isEmpty() ? connection->tables() : QStringList{only};
    } catch (...) {
        EmitError(file, nullptr, Refusal(std::current_exception()));
        return;
    }
    // A source that lists no table says so, apart from one that the dump never reached.
    if (names.isEmpty()) Emit(Head(file, nullptr) + ", \"tables\": []}");
    for (const QString& name : std::as_const(names)) {
        try {
            EmitTable(file, name, connection->read(name));
        } catch (...) {
            EmitError(file, &name, Refusal(std::current_exception()));
        }
    }
}

void DumpFile(const QString& path, const QString& key) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mdb") || suffix == QLatin1String("accdb")) {
        DumpSource(key, quibo::OpenConnection, quibo::LoaderSource::Access(path, {}, {}), {});
        return;
    }
    quibo::LoaderSource source = quibo::LoaderSource::Excel(path);
    // The loader goes by the last letters of a name: an .xlsm is read as the .xlsx it is.
    if (suffix == QLatin1String("xlsm")) source.connection = quibo::XlsxConnectionString(path);
    // A text file is the one table of its folder that the loader reads; the others are files of their own.
    DumpSource(key, quibo::OpenConnection, source, source.isTextFile ? source.textFile : QString());
}

// The files under a folder, in a stable order, each with its path from that folder.
QList<QPair<QString, QString>> FilesUnder(const QString& root) {
    QList<QPair<QString, QString>> files;
    const QFileInfo info(root);
    if (info.isFile()) {
        files.append({root, info.fileName()});
        return files;
    }
    const QDir dir(info.absoluteFilePath());
    // Files and folders whose names begin with a dot are a corpus's files too.
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (IsSourceFile(path))
            files.append({path, dir.relativeFilePath(QFileInfo(path).absoluteFilePath())});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return files;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(
            "usage: quibo-corpus-dump [--list] PATH... | --odbc DSN [USER [PASSWORD]] | --connection STRING "
            "[USER [PASSWORD]]\n",
            stderr);
        return 2;
    }
    if (args.first() == QLatin1String("--connection")) {
        // A driver's connection string goes to the same ODBC source as a data source name does.
        if (args.size() < 2) return 2;
        quibo::LoaderSource source = quibo::LoaderSource::Odbc({}, args.value(2), args.value(3));
        source.connection = args.value(1);
        DumpSource(args.value(1), quibo::OpenConnection, source, {});
        return 0;
    }
    if (args.first() == QLatin1String("--odbc")) {
        if (args.size() < 2) return 2;
        const QString dsn = args.value(1);
        DumpSource(QStringLiteral("DSN=") + dsn, quibo::OpenConnection,
                   quibo::LoaderSource::Odbc(dsn, args.value(2), args.value(3)), {});
        return 0;
    }
    const bool listOnly = args.first() == QLatin1String("--list");
    if (listOnly) args.removeFirst();
    for (const QString& root : std::as_const(args))
        for (const auto& [path, key] : FilesUnder(root)) {
            if (listOnly)
                std::printf("%s\n", qPrintable(key));
            else
                DumpFile(path, key);
        }
    return 0;
}
