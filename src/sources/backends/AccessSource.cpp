#include "sources/backends/AccessSource.h"

#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "vb/Date.h"

#include <QFile>
#include <QFileInfo>

// glib first: mdbtools.h pulls it in inside extern "C" otherwise.
#include <glib.h>

#include <mdbtools.h>

#include <algorithm>
#include <cstring>

namespace quibo {

namespace {

constexpr int OffsetMask = 0x1fff;
constexpr size_t NumericSize = 17;

uint64_t LittleEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

double DoubleAt(const unsigned char* p) {
    const uint64_t bits = LittleEndian(p, 8);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The page of a memo's first long-value record, when it lies on another page (-1 when the memo
// is held in the row): three bytes of length, a byte of flags, and the record's page and row.
qint64 MemoPage(const unsigned char* p, int size) {
    if (size < 12 || (p[3] & 0x80) != 0 || (LittleEndian(p, 4) & 0x3FFFFFFF) == 0) return -1;
    return static_cast<qint64>(LittleEndian(p + 4, 4) >> 8);
}

// A single keeps the digits it was written with: 0.1 stays 0.1, not 0.100000001490116.
double SingleAt(const unsigned char* p) {
    const uint32_t bits = static_cast<uint32_t>(LittleEndian(p, 4));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return SingleValue(f);
}

ColumnKind KindOf(int type) {
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return ColumnKind::Number;
    case MDB_DATETIME:
        return ColumnKind::Date;
    case MDB_BOOL:
        return ColumnKind::Boolean;
    default:
        return ColumnKind::Text;
    }
}

// The database's own tables, in catalog order: no system tables, no queries. A table that Access
// keeps for itself is named "MSys..." even where its catalog entry is not flagged as a system
// table (MSysCompactError, which compacting leaves behind).
std::vector<MdbCatalogEntry*> UserTables(MdbHandle* mdb) {
    std::vector<MdbCatalogEntry*> entries;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry) &&
            g_ascii_strncasecmp(entry->object_name, "MSys", 4) != 0)
            entries.push_back(entry);
    }
    return entries;
}

// The first page named in a bitmap of pages (bit i for page `first` + i) that the file's `pages`
// do not hold; 0 when none.
qint64 PageBeyond(const unsigned char* bits, size_t bytes, quint64 first, quint64 pages) {
    for (size_t byte = pages > first ? static_cast<size_t>((pages - first) / 8) : 0; byte < bytes; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            if ((bits[byte] >> bit) & 1)
                if (const quint64 page = first + byte * 8 + static_cast<unsigned>(bit); page >= pages)
                    return static_cast<qint64>(page);
    return 0;
}

// The first page of a table's page map (its rows' pages, or the pages that map them) that the
// file lacks, -1 when the map cannot be read, 0 when every page it names is in the file. libmdb
// ends a table's rows quietly at such a page, so a database cut short would read short. The map is
// a bitmap in the definition (type 0) or a list of pages that each hold one (type 1).
qint64 MissingPage(MdbHandle* mdb, const MdbTableDef* def, quint64 pages) {
    const unsigned char* const map = def->usage_map;
    const size_t size = def->map_sz;
    if (map[0] == 0) return size < 5 ? 0 : PageBeyond(map + 5, size - 5, LittleEndian(map + 1, 4), pages);
    if (map[0] != 1) return -1;
    const auto pageSize = static_cast<size_t>(mdb->fmt->pg_size);
    const quint64 perMapPage = (pageSize - 4) * 8;
    for (size_t entry = 0; 1 + entry * 4 + 4 <= size; ++entry) {
        const quint64 mapPage = LittleEndian(map + 1 + entry * 4, 4);
        if (mapPage == 0) continue;
        if (mapPage >= pages) return static_cast<qint64>(mapPage);
        if (mdb_read_alt_pg(mdb, static_cast<unsigned long>(mapPage)) != static_cast<ssize_t>(pageSize))
            return -1;
        if (const qint64 page = PageBeyond(mdb->alt_pg_buf + 4, pageSize - 4, entry * perMapPage, pages))
            return page;
    }
    return 0;
}

[[noreturn]] void RaiseDamaged(const QString& path, const QString& owner, qint64 page) {
    sourcefile::RaiseBroken(
        path, page < 0 ? QStringLiteral("has %1 whose page map cannot be read; it is damaged.").arg(owner)
                       : QStringLiteral("has %1 that names page %2, past the end of the "
                                        "file; it is damaged.")
                             .arg(owner)
                             .arg(page));
}

QString TableOwner(const QString& table) {
    return QStringLiteral("a table \"%1\"").arg(table);
}

// A replication ID as Jet gives it: the GUID's five groups of hexadecimal digits in braces, its
// first three fields stored little-endian.
QString ReplicationId(const unsigned char* p) {
    const QString hex =
        QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(p), 16).toHex().toUpper());
    auto field = [&](int from, int bytes) { // a little-endian field, most significant byte first
        QString text;
        for (int b = bytes - 1; b >= 0; --b)
            text += hex.mid((from + b) * 2, 2);
        return text;
    };
    return QLatin1Char('{') + field(0, 4) + QLatin1Char('-') + field(4, 2) + QLatin1Char('-') + field(6, 2) +
           QLatin1Char('-') + hex.mid(16, 4) + QLatin1Char('-') + hex.mid(20, 12) + QLatin1Char('}');
}

// A Decimal as a Decimal renders: every digit the column holds, no zeros closing its fraction, no
// point without digits after it, no sign on zero.
QString NumericText(MdbHandle* mdb, int start, const MdbColumn& column) {
    char* digits = mdb_numeric_to_string(mdb, start, column.col_scale, column.col_prec);
    const std::string given = digits ? digits : "";
    g_free(digits);
    std::string exact;
    return QString::fromLatin1(DecimalText(given.data(), given.size(), exact) ? exact : given);
}

QStringList NamesOf(const std::vector<MdbCatalogEntry*>& entries) {
    QStringList names;
    for (const MdbCatalogEntry* entry : entries)
        names.append(QString::fromUtf8(entry->object_name));
    return names;
}

QString LibraryText(MdbHandle* mdb, const unsigned char* page, int start, int type, int size) {
    char* text = mdb_col_to_string(mdb, const_cast<unsigned char*>(page), start, type, size);
    const QString value = QString::fromUtf8(text ? text : "");
    g_free(text);
    return value;
}

} // namespace

struct AccessSource::Impl {
    MdbHandle* mdb = nullptr;
    quint64 pages = 0; // whole pages the file holds
    ~Impl() {
        if (mdb) mdb_close(mdb);
    }
};

AccessSource::AccessSource(QString path) : m_path(std::move(path)), d(std::make_unique<Impl>()) {
    sourcefile::RequireReadableFile(m_path);
    d->mdb = mdb_open(QFile::encodeName(m_path).constData(), MDB_NOFLAGS);
    if (!d->mdb) sourcefile::RaiseNotOfKind(m_path, QStringLiteral("an Access database (.mdb or .accdb)"));
    d->pages = static_cast<quint64>(QFileInfo(m_path).size()) / static_cast<quint64>(d->mdb->fmt->pg_size);
    // The catalog is itself a table, found as the library finds it, and its rows are walked through
    // its page map like any other's: a catalog without one would crash the library's walk.
    MdbCatalogEntry catalog{};
    catalog.mdb = d->mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = 2;
    std::strcpy(catalog.object_name, "MSysObjects");
    std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> def(mdb_read_table(&catalog), mdb_free_tabledef);
    if (def && (!def->usage_map || def->map_sz == 0))
        sourcefile::RaiseBroken(m_path, QStringLiteral("has a catalog without its page map; it is damaged."));
    if (def)
        if (const qint64 page = MissingPage(d->mdb, def.get(), d->pages))
            RaiseDamaged(m_path, QStringLiteral("a catalog"), page);
    def.reset();
    if (!mdb_read_catalog(d->mdb, MDB_TABLE))
        sourcefile::RaiseNotOfKind(m_path, QStringLiteral("an Access database (.mdb or .accdb)"));
    for (const MdbCatalogEntry* entry : UserTables(d->mdb))
        if (entry->table_pg >= d->pages)
            RaiseDamaged(m_path, TableOwner(QString::fromUtf8(entry->object_name)),
                         static_cast<qint64>(entry->table_pg));
}

AccessSource::~AccessSource() = default;

QStringList AccessSource::tables() {
    return SortedByName(NamesOf(UserTables(d->mdb)));
}

SourceTable AccessSource::read(const QString& table, const QString& orderBy) {
    MdbHandle* mdb = d->mdb;
    const std::vector<MdbCatalogEntry*> entries = UserTables(mdb);
    const qsizetype index = FindTable(NamesOf(entries), table);
    if (index < 0) RaiseTableNotFound(provider::Jet, table);
    MdbCatalogEntry* found = entries[static_cast<size_t>(index)];

    std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> def(mdb_read_table(found), mdb_free_tabledef);
    // The catalog lists the table: a design that cannot be read is damage, not a missing table.
    if (!def || !mdb_read_columns(def.get()))
        sourcefile::RaiseBroken(
            m_path,
            QStringLiteral("has a table \"%1\" whose design cannot be read; it is damaged.").arg(table));

    const unsigned int width = def->num_cols;
    // The row cracker fills one field per column into a buffer of MDB_MAX_COLS: a damaged table
    // claiming more would overrun it, and a damaged row may claim more fields than that.
    if (width > MDB_MAX_COLS)
        sourcefile::RaiseBroken(m_path,
                                QStringLiteral("has a table \"%1\" with %2 columns, more than a database "
                                               "can hold; it is damaged.")
                                    .arg(table)
                                    .arg(width));
    // The rows are found through the table's page map; a damaged table without one would crash the
    // library's walk.
    if (!def->usage_map || def->map_sz == 0)
        sourcefile::RaiseBroken(
            m_path, QStringLiteral("has a table \"%1\" without its page map; it is damaged.").arg(table));
    if (const qint64 page = MissingPage(mdb, def.get(), d->pages))
        RaiseDamaged(m_path, TableOwner(table), page);
    std::vector<SourceColumn> columns;
    std::vector<const MdbColumn*> design;
    for (unsigned int c = 0; c < width; ++c) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
        columns.push_back({QString::fromUtf8(col->name), KindOf(col->col_type)});
        design.push_back(col);
    }
    SourceTable result(std::move(columns));

    mdb_rewind_table(def.get());
    const size_t pageSize = static_cast<size_t>(mdb->fmt->pg_size);
    std::vector<unsigned char> page(pageSize);
    MdbField fields[MDB_MAX_COLS] = {};
    while (mdb_fetch_row(def.get())) {
        // Crack the row again ourselves: the library's bound values cannot tell Null from "".
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &start, &size) != 0) continue;
        start &= OffsetMask;
        std::memcpy(page.data(), mdb->pg_buf, pageSize);
        // The cracker fills one field for each of the table's columns, in their order, and returns
        // the row's own count of columns, which holds the columns deleted from the design until the
        // database is compacted: the table's columns are what is read. A column added to the design
        // after the row was written is not in the row, and reads as Null.
        const int stored = mdb_crack_row(def.get(), start, size, fields);

        std::vector<SourceCell> row(width);
        for (unsigned int c = 0; c < width; ++c) {
            const MdbField& f = fields[c];
            const int type = design[c]->col_type;
            SourceCell& cell = row[c];
            if (design[c]->col_num >= stored) continue;
            if (type == MDB_BOOL) {
                cell = !f.is_null; // a Yes/No value lives in the null mask
                continue;
            }
            if (f.is_null || f.start < 0 ||
                static_cast<size_t>(f.start) + static_cast<size_t>(f.siz) > pageSize)
                continue;
            const unsigned char* p = page.data() + f.start;
            switch (type) {
            case MDB_BYTE:
                cell = static_cast<double>(p[0]);
                break;
            case MDB_INT:
                cell = static_cast<double>(static_cast<int16_t>(LittleEndian(p, 2)));
                break;
            case MDB_LONGINT:
                cell = static_cast<double>(static_cast<int32_t>(LittleEndian(p, 4)));
                break;
            case MDB_MONEY:
                cell = static_cast<double>(static_cast<int64_t>(LittleEndian(p, 8))) / 10000.0;
                break;
            case MDB_FLOAT:
                cell = SingleAt(p);
                break;
            case MDB_DOUBLE:
                cell = DoubleAt(p);
                break;
            case MDB_DATETIME: {
                const QDateTime date = vb::FromOADate(DoubleAt(p));
                if (date.isValid()) cell = date;
                break;
            }
            case MDB_NUMERIC:
                // A sign byte and 16 bytes of digits; the text keeps every digit a double would lose.
                if (static_cast<size_t>(f.start) + NumericSize <= pageSize)
                    cell = NumericText(mdb, f.start, *design[c]);
                break;
            case MDB_REPID:
                if (f.siz >= 16) cell = ReplicationId(p);
                break;
            case MDB_MEMO:
                if (const qint64 lval = MemoPage(p, f.siz);
                    lval >= 0 && static_cast<quint64>(lval) >= d->pages)
                    RaiseDamaged(m_path, TableOwner(table), lval);
                [[fallthrough]];
            case MDB_TEXT:
                cell = LibraryText(mdb, page.data(), f.start, type, f.siz);
                // A memo is read from other pages; the scan needs its own page back.
                std::memcpy(mdb->pg_buf, page.data(), pageSize);
                break;
            default:
                break; // binary, OLE, attachment, multi-value and extended date/time data has no text
            }
        }
        result.appendRow(std::move(row));
    }
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Jet);
    return result;
}

QString AccessSource::describe() const {
    return QStringLiteral("Access database '%1'").arg(m_path);
}

} // namespace quibo
