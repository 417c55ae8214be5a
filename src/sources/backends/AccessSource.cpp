#include "sources/backends/AccessSource.h"

#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "vb/Date.h"

#include <QFile>
#include <QFileInfo>

// glib first: mdbtools.h pulls it in inside extern "C" otherwise.
#include <glib.h>

#include <mdbtools.h>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace quibo {

namespace {

constexpr int OffsetMask = 0x1fff;

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

// A single keeps the digits it was written with: 0.1 stays 0.1, not 0.100000001490116.
double SingleAt(const unsigned char* p) {
    const uint32_t bits = static_cast<uint32_t>(LittleEndian(p, 4));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, f).ptr;
    double v = f;
    std::from_chars(text, end, v);
    return v;
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

// The database's own tables, in catalog order: no system tables, no queries.
std::vector<MdbCatalogEntry*> UserTables(MdbHandle* mdb) {
    std::vector<MdbCatalogEntry*> entries;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry)) entries.push_back(entry);
    }
    return entries;
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
    ~Impl() {
        if (mdb) mdb_close(mdb);
    }
};

AccessSource::AccessSource(QString path) : m_path(std::move(path)), d(std::make_unique<Impl>()) {
    sourcefile::RequireReadableFile(m_path);
    d->mdb = mdb_open(QFile::encodeName(m_path).constData(), MDB_NOFLAGS);
    if (!d->mdb) sourcefile::RaiseNotOfKind(m_path, QStringLiteral("an Access database (.mdb)"));
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
    def.reset();
    if (!mdb_read_catalog(d->mdb, MDB_TABLE))
        sourcefile::RaiseNotOfKind(m_path, QStringLiteral("an Access database (.mdb)"));
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
    if (!def || !mdb_read_columns(def.get())) RaiseTableNotFound(provider::Jet, table);

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
    std::vector<SourceColumn> columns;
    std::vector<int> types;
    for (unsigned int c = 0; c < width; ++c) {
        const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
        columns.push_back({QString::fromUtf8(col->name), KindOf(col->col_type)});
        types.push_back(col->col_type);
    }
    SourceTable result(std::move(columns));

    mdb_rewind_table(def.get());
    const size_t pageSize = static_cast<size_t>(mdb->fmt->pg_size);
    std::vector<unsigned char> page(pageSize);
    MdbField fields[MDB_MAX_COLS];
    while (mdb_fetch_row(def.get())) {
        // Crack the row again ourselves: the library's bound values cannot tell Null from "".
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, static_cast<int>(def->cur_row) - 1, &start, &size) != 0) continue;
        start &= OffsetMask;
        std::memcpy(page.data(), mdb->pg_buf, pageSize);
        const int count = std::min(mdb_crack_row(def.get(), start, size, fields), int(MDB_MAX_COLS));

        std::vector<SourceCell> row(width);
        for (int i = 0; i < count; ++i) {
            const MdbField& f = fields[i];
            if (f.colnum < 0 || static_cast<unsigned int>(f.colnum) >= width) continue;
            const int type = types[static_cast<size_t>(f.colnum)];
            SourceCell& cell = row[static_cast<size_t>(f.colnum)];
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
            case MDB_NUMERIC: {
                bool ok = false;
                const double v = LibraryText(mdb, page.data(), f.start, type, f.siz).toDouble(&ok);
                if (ok) cell = v;
                break;
            }
            case MDB_TEXT:
            case MDB_MEMO:
            case MDB_REPID:
                cell = LibraryText(mdb, page.data(), f.start, type, f.siz);
                // A memo is read from other pages; the scan needs its own page back.
                std::memcpy(mdb->pg_buf, page.data(), pageSize);
                break;
            default:
                break; // binary and OLE data has no text
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
