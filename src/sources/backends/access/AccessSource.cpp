#include "sources/backends/access/AccessSource.h"

#include "core/Utf8Text.h"
#include "sources/backends/access/AccessPages.h"
#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "vb/Date.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <unordered_set>
#include <vector>

namespace quibo {

namespace {

constexpr size_t NumericSize = 17;

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

// A Decimal as a Decimal renders: every digit, no zeros closing its fraction, no point without
// digits after it, no sign on zero. `words` 32-bit words of its unscaled value, the most significant
// first, each little-endian.
SourceCell DecimalCell(bool negative, const unsigned char* words, int count, int scale) {
    std::vector<quint64> value;
    for (int w = 0; w < count; ++w)
        value.push_back(LittleEndian(words + 4 * w, 4));
    std::string digits; // divided by ten word by word, the most significant first
    while (std::any_of(value.begin(), value.end(), [](quint64 w) { return w != 0; })) {
        quint64 rest = 0;
        for (quint64& w : value) {
            const quint64 part = (rest << 32) | w;
            w = part / 10;
            rest = part % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + rest));
    }
    scale = std::clamp(scale, 0, 40);
    if (static_cast<int>(digits.size()) <= scale)
        digits.insert(0, static_cast<size_t>(scale) + 1 - digits.size(), '0');
    if (scale > 0) digits.insert(digits.size() - static_cast<size_t>(scale), 1, '.');
    if (negative) digits.insert(0, 1, '-');
    std::string exact;
    return QString::fromLatin1(DecimalText(digits.data(), digits.size(), exact) ? exact : digits);
}

// A Decimal column's value: a sign byte, then 16 bytes of digits in four words.
SourceCell DecimalAt(const unsigned char* p, int scale) {
    return DecimalCell(p[0] != 0, p + 1, 4, scale);
}

// A calculated Decimal is stored as Windows lays out a DECIMAL: two reserved bytes, its scale, its
// sign, then the high 32 bits of its 96-bit value and the low 64, little-endian.
SourceCell CalculatedDecimal(const unsigned char* p, size_t n) {
    if (n < 16) return {};
    const unsigned char words[12] = {p[4],  p[5],  p[6], p[7], p[12], p[13],
                                     p[14], p[15], p[8], p[9], p[10], p[11]};
    return DecimalCell(p[3] != 0, words, 3, p[2]);
}

// A calculated column's value (Access 2010 and later) stands behind a header of 20 bytes, its length
// in bytes 16 to 19: `p` and `n` are moved onto it. False when the value is shorter than its header.
bool CalculatedValue(const unsigned char*& p, size_t& n) {
    constexpr size_t Header = 20;
    if (n < Header) return false;
    n = std::min<size_t>(LittleEndian(p + 16, 4), n - Header);
    p += Header;
    return true;
}

// A stored text decoded whole, every character kept (a pair of UTF-16 surrogates too, and U+0000).
// Jet 4 stores UTF-16, or compresses it: after 0xFF 0xFE, runs of characters of one byte each
// (U+0001 to U+00FF) and runs of two bytes each, each run ending at a 0 byte. Jet 3 stores the
// database's code page, decoded with the converter the library opened for it.
QString StoredText(MdbHandle* mdb, const unsigned char* bytes, size_t size) {
    if (mdb->f->jet_version == MDB_VER_JET3) {
        std::string text(4 * size, '\0');
        auto* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
        char* out = text.data();
        size_t inLeft = size, outLeft = text.size();
        iconv(mdb->iconv_in, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0 && iconv(mdb->iconv_in, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            if (errno != EILSEQ && errno != EINVAL) break;
            ++in; // a byte the code page lacks reads as U+FFFD, the character that stands for one
            --inLeft;
            if (outLeft >= 3) {
                for (const char byte : {'\xEF', '\xBF', '\xBD'})
                    *out++ = byte;
                outLeft -= 3;
            }
        }
        return core::Utf8Text(text.data(), static_cast<size_t>(out - text.data()));
    }
    QString text;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text.reserve(static_cast<qsizetype>(size));
        bool compressed = true;
        for (size_t at = 2; at < size;) {
            if (bytes[at] == 0) {
                compressed = !compressed;
                ++at;
            } else if (compressed) {
                text.append(QChar(bytes[at++]));
            } else if (at + 1 < size) {
                text.append(QChar(static_cast<char16_t>(bytes[at] | bytes[at + 1] << 8)));
                at += 2;
            } else {
                break;
            }
        }
        return text;
    }
    text.resize(static_cast<qsizetype>(size / 2));
    QChar* out = text.data();
    for (size_t i = 0; i < size / 2; ++i)
        out[i] = QChar(static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return text;
}

[[noreturn]] void RaiseFault(const QString& path, const QString& owner, const PageFault& fault,
                             const QString& what) {
    if (fault.page) RaiseDamaged(path, owner, fault.page);
    sourcefile::RaiseBroken(
        path, QStringLiteral("has %1 whose %2 cannot be read; it is damaged.").arg(owner, what));
}

using TableDef = std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)>;

// The bytes of one field of the row the walk stands on, or nullptr when the field is Null or does not
// lie in its page.
const unsigned char* FieldBytes(const unsigned char* page, size_t pageSize, const MdbField& field) {
    if (field.is_null || field.start < 0 || field.siz < 0 ||
        static_cast<size_t>(field.start) + static_cast<size_t>(field.siz) > pageSize)
        return nullptr;
    return page + field.start;
}

// The width a number, a date or a replication ID takes; 0 for the kinds read otherwise.
size_t FixedWidth(int type) {
    switch (type) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    default:
        return 0;
    }
}

// A number, a date or a replication ID from its bytes, set in place (a cell made and moved costs a
// visit of its kinds per cell).
void SetFixed(SourceCell& cell, int type, const unsigned char* p) {
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
    case MDB_DATETIME:
        if (const QDateTime date = vb::FromOADate(DoubleAt(p)); date.isValid()) cell = date;
        break;
    case MDB_REPID:
        cell = ReplicationId(p);
        break;
    default:
        break;
    }
}

[[noreturn]] void RaiseRepeatedKey(const QString& path, const QString& owner) {
    sourcefile::RaiseBroken(
        path,
        QStringLiteral("has %1 with two rows of one key its design keeps unique; it is damaged.").arg(owner));
}

// The keys of a table's unique indexes met so far. Access keeps each unique: a key met twice, byte for
// byte, is a row read twice, as when a page of rows was copied over another page of its table.
// A key with a Null in it is not held (Access lets those repeat), nor one over a Yes/No column,
// whose value is no bytes of the row.
class UniqueKeys {
public:
    UniqueKeys(const MdbTableDef& def, const std::vector<std::vector<int>>& keys) {
        for (const std::vector<int>& key : keys) {
            Key held;
            for (const int number : key)
                for (unsigned c = 0; c < def.num_cols; ++c)
                    if (const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def.columns, c));
                        col->col_num == number && col->col_type != MDB_BOOL) {
                        held.columns.push_back({c, number});
                        held.widths.push_back(FixedWidth(col->col_type));
                    }
            if (held.columns.size() != key.size()) continue;
            // A key of numbers or dates of 8 bytes in all (a Long Integer ID, the common key) is held
            // as one number: a set of texts costs a third of the whole reading of such a table.
            size_t bytes = 0;
            for (const size_t width : held.widths)
                bytes = width == 0 ? 9 : bytes + width;
            held.small = bytes <= 8;
            // The design's count is only a hint, and damage may make it any number.
            if (held.small) held.seenSmall.reserve(std::min<size_t>(def.num_rows, 1 << 16));
            m_keys.push_back(std::move(held));
        }
    }

    // False when the row's key repeats one of a row before.
    bool insert(const unsigned char* page, size_t pageSize, const MdbField* fields, int stored) {
        for (Key& key : m_keys) {
            if (key.small) {
                if (const int held = insertSmall(key, page, pageSize, fields, stored); held >= 0) {
                    if (held == 0) return false;
                    continue;
                }
            }
            QByteArray bytes;
            bool null = false;
            for (const auto& [place, number] : key.columns) {
                const MdbField& f = fields[place];
                const unsigned char* p = FieldBytes(page, pageSize, f);
                if (!p || number >= stored) { // a column added since the row was written is Null in it
                    null = true;
                    break;
                }
                const auto size = static_cast<quint16>(f.siz);
                bytes.append(reinterpret_cast<const char*>(&size), sizeof size);
                bytes.append(reinterpret_cast<const char*>(p), f.siz);
            }
            if (null) continue;
            const qsizetype before = key.seen.size();
            key.seen.insert(bytes);
            if (key.seen.size() == before) return false;
        }
        return true;
    }

private:
    struct Key {
        std::vector<std::pair<unsigned, int>> columns; // each column's place in the design, its number
        std::vector<size_t> widths;                    // each column's fixed width, 0 for a text
        bool small = false;                            // the key fits 8 bytes
        QSet<QByteArray> seen;
        std::unordered_set<quint64> seenSmall;
    };

    // A key that fits 8 bytes, held as one number: 1 when new, 0 when met before, -1 when Null or when
    // a field is not of its column's width (held as bytes then).
    static int insertSmall(Key& key, const unsigned char* page, size_t pageSize, const MdbField* fields,
                           int stored) {
        quint64 value = 0;
        for (size_t k = 0; k < key.columns.size(); ++k) {
            const auto& [place, number] = key.columns[k];
            const MdbField& f = fields[place];
            const unsigned char* p = FieldBytes(page, pageSize, f);
            if (!p || number >= stored || static_cast<size_t>(f.siz) != key.widths[k]) return -1;
            const quint64 part = LittleEndian(p, static_cast<int>(key.widths[k]));
            value = k == 0 ? part : (value << (8 * key.widths[k])) | part; // 8 bytes in all at most
        }
        return key.seenSmall.insert(value).second ? 1 : 0;
    }

    std::vector<Key> m_keys;
};

} // namespace

struct AccessSource::Impl {
    // A user table as the catalog lists it; the entry stays where it is, the library keeps a pointer
    // to it in each table definition read from it.
    struct Table {
        QString name;
        MdbCatalogEntry entry{};
        TableProperties properties;
    };
    MdbHandle* mdb = nullptr;
    quint64 pages = 0; // whole pages the file holds
    std::vector<std::unique_ptr<Table>> tables;
    ~Impl() {
        if (mdb) mdb_close(mdb);
    }

    QStringList names() const {
        QStringList list;
        for (const auto& table : tables)
            list.append(table->name);
        return list;
    }

    // A table's definition and columns read by the library once every page and row the library
    // will read for them is checked: the definition's pages, its two page maps, the pages its
    // rows stand on. `owner` names the table in a refusal.
    TableDef open(const QString& path, MdbCatalogEntry* entry, const QString& owner,
                  std::vector<DefinedColumn>& defined, std::vector<quint64>& mapped,
                  DesignFacts* facts = nullptr) const {
        const AccessPages checked(mdb, pages);
        PageFault fault;
        const QByteArray definition = checked.definition(entry->table_pg, fault);
        if (fault || !DefinitionColumns(mdb, definition, defined, facts))
            RaiseFault(path, owner, fault, QStringLiteral("design"));
        qsizetype mapSize = 0;
        for (const int at : {int(mdb->fmt->tab_usage_map_offset), int(mdb->fmt->tab_free_map_offset)}) {
            PageFault mapFault;
            const QByteArray map =
                checked.pointed(static_cast<quint32>(LittleEndian(
                                    reinterpret_cast<const unsigned char*>(definition.constData()) + at, 4)),
                                mapFault);
            if (mapFault) RaiseDamaged(path, owner, mapFault.page ? mapFault.page : -1);
            if (at == mdb->fmt->tab_usage_map_offset) mapSize = map.size();
        }
        TableDef def(mdb_read_table(entry), mdb_free_tabledef);
        if (!def || !mdb_read_columns(def.get()))
            sourcefile::RaiseBroken(
                path, QStringLiteral("has %1 whose design cannot be read; it is damaged.").arg(owner));
        // The row cracker fills one field per column into a buffer of MDB_MAX_COLS: a damaged table
        // claiming more would overrun it, and a damaged row may claim more fields than that.
        if (def->num_cols > MDB_MAX_COLS)
            sourcefile::RaiseBroken(path, QStringLiteral("has %1 with %2 columns, more than a database "
                                                         "can hold; it is damaged.")
                                              .arg(owner)
                                              .arg(def->num_cols));
        // The rows are found through the page map: a table without one would crash the library's walk,
        // and a map of another length than its row is a page the library could not read (it keeps
        // its last page then, and finds no rows in it).
        if (!def->usage_map || def->map_sz == 0)
            sourcefile::RaiseBroken(path,
                                    QStringLiteral("has %1 without its page map; it is damaged.").arg(owner));
        if (def->map_sz != static_cast<size_t>(mapSize)) RaiseDamaged(path, owner, -1);
        if (const qint64 page = checked.mapped(*def, mapped)) RaiseDamaged(path, owner, page);
        return def;
    }

    // Refuses a table whose properties describe more columns its design lacks than the design has
    // deleted: Access keeps a deleted column's properties, and its place in the rows, until the file is
    // compacted; a design read for another table's (two designs swapped, the catalog naming another's)
    // lacks the columns the properties describe without having deleted any.
    void requireColumns(const QString& path, const QString& owner, const MdbTableDef& def,
                        const TableProperties& properties, const QString& table, int retired) const {
        QSet<QString> columns{QString(), table.toCaseFolded()};
        for (unsigned int c = 0; c < def.num_cols; ++c)
            columns.insert(QString::fromUtf8(static_cast<MdbColumn*>(g_ptr_array_index(def.columns, c))->name)
                               .toCaseFolded());
        int lacking = 0;
        for (const QByteArray& object : properties.objects) {
            const QString name = StoredText(mdb, reinterpret_cast<const unsigned char*>(object.constData()),
                                            static_cast<size_t>(object.size()));
            if (!columns.contains(name.toCaseFolded()) && ++lacking > retired)
                sourcefile::RaiseBroken(path,
                                        QStringLiteral("has %1 whose design lacks its column \"%2\"; it "
                                                       "is damaged.")
                                            .arg(owner, name));
        }
    }

    // The catalog's rows walked as any table's, read here: the library's own catalog reader parses
    // every object's properties unchecked, and a damaged property value makes it loop for ever.
    void readCatalog(const QString& path) {
        const QString owner = QStringLiteral("a catalog");
        MdbCatalogEntry catalog{};
        catalog.mdb = mdb;
        catalog.object_type = MDB_TABLE;
        catalog.table_pg = 2;
        std::strcpy(catalog.object_name, "MSysObjects");
        std::vector<DefinedColumn> defined;
        std::vector<quint64> mapped;
        DesignFacts facts;
        const TableDef def = open(path, &catalog, owner, defined, mapped, &facts);
        int id = -1, name = -1, type = -1, flags = -1, properties = -1;
        for (unsigned int c = 0; c < def->num_cols; ++c) {
            const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, c));
            const QByteArray column(col->name);
            const int at = static_cast<int>(c);
            if (column == "Id")
                id = at;
            else if (column == "Name")
                name = at;
            else if (column == "Type")
                type = at;
            else if (column == "Flags")
                flags = at;
            else if (column == "LvProp")
                properties = at;
        }
        if (id < 0 || name < 0 || type < 0)
            sourcefile::RaiseBroken(path,
                                    QStringLiteral("has a catalog that cannot be read; it is damaged."));

        const AccessPages checked(mdb, pages);
        const auto pageSize = static_cast<size_t>(mdb->fmt->pg_size);
        MdbField fields[MDB_MAX_COLS] = {};
        UniqueKeys keys(*def, facts.uniqueKeys);
        quint64 objects = 0;
        checked.walkRows(path, owner, def.get(), catalog.table_pg, mapped, fields, [&](int stored) {
            ++objects;
            const unsigned char* page = mdb->pg_buf;
            // A page of the catalog copied over another lists its objects twice, or the other's never.
            if (!keys.insert(page, pageSize, fields, stored)) RaiseRepeatedKey(path, owner);
            const unsigned char* idBytes = FieldBytes(page, pageSize, fields[id]);
            const unsigned char* typeBytes = FieldBytes(page, pageSize, fields[type]);
            const unsigned char* nameBytes = FieldBytes(page, pageSize, fields[name]);
            // Every object has its number, its kind and its name: a row without them is damage.
            if (!idBytes || fields[id].siz < 4 || !typeBytes || fields[type].siz < 2 || !nameBytes)
                return false;
            if (static_cast<int16_t>(LittleEndian(typeBytes, 2)) != MDB_TABLE) return true;
            const unsigned char* flagBytes = flags < 0 ? nullptr : FieldBytes(page, pageSize, fields[flags]);
            auto table = std::make_unique<Table>();
            table->name = StoredText(mdb, nameBytes, static_cast<size_t>(fields[name].siz));
            MdbCatalogEntry& entry = table->entry;
            entry.mdb = mdb;
            entry.object_type = MDB_TABLE;
            entry.table_pg = LittleEndian(idBytes, 4) & 0x00FFFFFF;
            entry.flags =
                flagBytes && fields[flags].siz >= 4 ? static_cast<int>(LittleEndian(flagBytes, 4)) : 0;
            const QByteArray utf8 = table->name.toUtf8().left(MDB_MAX_OBJ_NAME);
            std::memcpy(entry.object_name, utf8.constData(), static_cast<size_t>(utf8.size()));
            // The tables Access keeps for itself: flagged as system tables, or named "MSys..." where
            // the flag is missing (MSysCompactError, which compacting leaves behind).
            if (mdb_is_system_table(&entry) ||
                table->name.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
                return true;
            const QString tableOwner = TableOwner(table->name);
            if (properties >= 0)
                if (const unsigned char* held = FieldBytes(page, pageSize, fields[properties]);
                    held && fields[properties].siz > 0) {
                    PageFault fault;
                    const QByteArray block =
                        checked.longValue(held, static_cast<size_t>(fields[properties].siz), fault);
                    if (fault || !PropertiesHold(block, &table->properties))
                        RaiseFault(path, tableOwner, fault, QStringLiteral("properties"));
                }
            if (entry.table_pg >= pages) RaiseDamaged(path, tableOwner, static_cast<qint64>(entry.table_pg));
            tables.push_back(std::move(table));
            return true;
        });
        // Every catalog lists itself and the tables Access keeps for itself: one listing nothing lost
        // its pages (its page map damaged), and would show a database without tables.
        if (objects == 0)
            sourcefile::RaiseBroken(path,
                                    QStringLiteral("has a catalog that cannot be read; it is damaged."));
    }
};

AccessSource::AccessSource(QString path) : m_path(std::move(path)), d(std::make_unique<Impl>()) {
    sourcefile::RequireReadableFile(m_path);
    const AccessHeader header = ReadAccessHeader(m_path);
    if (!header.access)
        sourcefile::RaiseNotOfKind(m_path, QStringLiteral("an Access database (.mdb or .accdb)"));
    if (header.encrypted)
        sourcefile::RaiseBroken(m_path, QStringLiteral("is protected by a password; it cannot be read."));
    const qint64 bytes = QFileInfo(m_path).size();
    if (bytes % header.pageSize != 0)
        sourcefile::RaiseBroken(m_path, QStringLiteral("is %1 bytes long, not a whole number of its %2-byte "
                                                       "pages; it is damaged.")
                                            .arg(bytes)
                                            .arg(header.pageSize));
    d->pages = static_cast<quint64>(bytes / header.pageSize);
    // The header, the first page map and the catalog's design come first.
    constexpr quint64 CatalogPage = 2;
    if (d->pages <= CatalogPage) RaiseDamaged(m_path, QStringLiteral("a catalog"), CatalogPage);
    d->mdb = mdb_open(QFile::encodeName(m_path).constData(), MDB_NOFLAGS);
    if (!d->mdb || d->mdb->fmt->pg_size != header.pageSize)
        sourcefile::RaiseBroken(m_path, QStringLiteral("has a header that cannot be read; it is damaged."));
    d->readCatalog(m_path);
}

AccessSource::~AccessSource() = default;

QStringList AccessSource::tables() {
    return SortedByName(d->names());
}

namespace {

// The cells of a table's rows, each read from a copy of the page its row stands on as the cracker
// found its fields.
class RowCells {
public:
    RowCells(MdbHandle* mdb, const AccessPages& checked, const QString& path, const QString& owner)
        : m_mdb(mdb), m_checked(checked), m_path(path), m_owner(owner),
          m_pageSize(static_cast<size_t>(mdb->fmt->pg_size)), m_page(m_pageSize) {}

    // The table's columns, each with the calculated flag and stored size its definition gives it; a
    // calculated column's values are stored in its result type, which its declared type need not be.
    std::vector<SourceColumn> columns(const MdbTableDef& def, const std::vector<DefinedColumn>& defined,
                                      const std::map<QString, int>& resultTypes) {
        std::map<int, DefinedColumn> byRowNumber;
        for (const DefinedColumn& column : defined)
            byRowNumber[column.rowNumber] = column;
        std::vector<SourceColumn> columns;
        for (unsigned int c = 0; c < def.num_cols; ++c) {
            const auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def.columns, c));
            const QString name = QString::fromUtf8(col->name);
            const DefinedColumn& extra = byRowNumber[col->row_col_num];
            int type = col->col_type;
            if (const auto result = resultTypes.find(name); extra.calculated && result != resultTypes.end())
                type = result->second;
            columns.push_back({name, KindOf(type)});
            m_design.push_back(col);
            m_extra.push_back(extra);
            m_types.push_back(type);
            m_widths.push_back(FixedWidth(type));
        }
        return columns;
    }

    // Keeps the page the library stands on: reading a memo moves it to other pages.
    void keepPage(const unsigned char* page) { std::memcpy(m_page.data(), page, m_pageSize); }

    // The row's cells from its fields; `stored` is the row's own count of columns.
    std::vector<SourceCell> row(const MdbField* fields, int stored) const {
        std::vector<SourceCell> row(m_design.size());
        for (size_t c = 0; c < m_design.size(); ++c)
            cell(c, fields[c], stored, row[c]);
        return row;
    }

private:
    void cell(size_t c, const MdbField& f, int stored, SourceCell& cell) const {
        const int type = m_types[c];
        const bool calculated = m_extra[c].calculated;
        // A column added to the design after the row was written is not in the row: a Yes/No reads
        // No there, as Access reads it, anything else Null.
        if (m_design[c]->col_num >= stored) {
            if (type == MDB_BOOL && !calculated) cell = false;
            return;
        }
        if (type == MDB_BOOL && !calculated) {
            cell = !f.is_null; // a Yes/No value lives in the null mask
            return;
        }
        if (!calculated && m_widths[c] != 0) { // the common case: a number or a date in the row
            if (const unsigned char* p = FieldBytes(m_page.data(), m_pageSize, f);
                p && static_cast<size_t>(f.siz) >= m_widths[c])
                SetFixed(cell, type, p);
            return;
        }
        // A calculated value of a fixed size is stored in the column's own size; the library gives a
        // calculated Yes/No none.
        MdbField field = f;
        if (calculated && m_design[c]->is_fixed) field.siz = m_extra[c].size;
        const unsigned char* p = FieldBytes(m_page.data(), m_pageSize, field);
        if (!p) return;
        auto n = static_cast<size_t>(field.siz);
        QByteArray value; // a long value, read whole and checked
        if (type == MDB_MEMO && n > 0) {
            PageFault fault;
            value = m_checked.longValue(p, n, fault);
            if (fault) RaiseFault(m_path, m_owner, fault, QStringLiteral("memo"));
            p = reinterpret_cast<const unsigned char*>(value.constData());
            n = static_cast<size_t>(value.size());
        }
        if (calculated && !CalculatedValue(p, n)) return;
        if (m_widths[c] != 0) {
            if (n >= m_widths[c]) SetFixed(cell, type, p);
            return;
        }
        switch (type) {
        case MDB_BOOL: // a calculated Yes/No, stored as a byte
            cell = n > 0 && p[0] != 0;
            break;
        case MDB_NUMERIC:
            if (calculated)
                cell = CalculatedDecimal(p, n);
            else if (n >= NumericSize)
                cell = DecimalAt(p, m_design[c]->col_prec); // libmdb names the scale so
            break;
        case MDB_MEMO: // read whole from its pages above
        case MDB_TEXT:
            cell = StoredText(m_mdb, p, n);
            break;
        default:
            break; // binary, OLE, attachment, multi-value and extended date/time data has no text
        }
    }

    MdbHandle* const m_mdb;
    const AccessPages& m_checked;
    const QString& m_path;
    const QString& m_owner;
    const size_t m_pageSize;
    std::vector<unsigned char> m_page;
    std::vector<const MdbColumn*> m_design;
    std::vector<DefinedColumn> m_extra; // each column's calculated flag and stored size, by its place
    std::vector<int> m_types;           // each column's type, a calculated one's result type
    std::vector<size_t> m_widths;       // each number's, date's or replication ID's bytes, 0 for others
};

} // namespace

SourceTable AccessSource::read(const QString& table, const QString& orderBy) {
    MdbHandle* mdb = d->mdb;
    const qsizetype index = FindTable(d->names(), table);
    if (index < 0) RaiseTableNotFound(provider::Jet, table);
    const QString owner = TableOwner(table);
    std::vector<DefinedColumn> defined;
    std::vector<quint64> mapped;
    DesignFacts facts;
    MdbCatalogEntry* entry = &d->tables[static_cast<size_t>(index)]->entry;
    const TableDef def = d->open(m_path, entry, owner, defined, mapped, &facts);
    const AccessPages checked(mdb, d->pages);
    const TableProperties& properties = d->tables[static_cast<size_t>(index)]->properties;
    d->requireColumns(m_path, owner, *def, properties, table, facts.retired);
    UniqueKeys keys(*def, facts.uniqueKeys);
    RowCells cells(mdb, checked, m_path, owner);
    SourceTable result(cells.columns(*def, defined, properties.resultTypes));

    MdbField fields[MDB_MAX_COLS] = {};
    // The cracker fills the fields of the table's columns only. The rest hold a value of the first
    // column, taken from the page's header, so that a reading which strays past the table's columns
    // (to the row's own count, say) shows in that column rather than passing unseen.
    std::fill(fields + def->num_cols, fields + MDB_MAX_COLS, MdbField{nullptr, 4, 0, 0, 1, 0, 0});
    // The cracker fills one field for each of the table's columns, in their order, and returns the
    // row's own count of columns, which holds the columns deleted from the design until the database
    // is compacted: the table's columns are what is read. The cells are read from the fields again:
    // the library's bound values cannot tell Null from "".
    checked.walkRows(
        m_path, owner, def.get(), static_cast<quint32>(entry->table_pg), mapped, fields, [&](int stored) {
            if (!keys.insert(mdb->pg_buf, static_cast<size_t>(mdb->fmt->pg_size), fields, stored))
                RaiseRepeatedKey(m_path, owner);
            cells.keepPage(mdb->pg_buf);
            result.appendRow(cells.row(fields, stored));
            return true;
        });
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Jet);
    return result;
}

QString AccessSource::describe() const {
    return QStringLiteral("Access database '%1'").arg(m_path);
}

} // namespace quibo
