#include "sources/backends/access/AccessPages.h"

#include "sources/backends/SourceFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <set>
#include <utility>

namespace quibo {

namespace {

constexpr size_t LongValueHeader = 12;

quint32 Le(const unsigned char* p, int bytes) {
    return static_cast<quint32>(LittleEndian(p, bytes));
}

quint32 Le(const QByteArray& bytes, size_t at, int width) {
    return Le(reinterpret_cast<const unsigned char*>(bytes.constData()) + at, width);
}

// The key Jet masks the header's settings with, RC4 over 128 bytes from offset 0x18.
void Unmask(unsigned char* bytes, size_t size) {
    const std::array<unsigned char, 4> key{0xC7, 0xDA, 0x39, 0x6B};
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
    for (size_t i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % key.size()]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (size_t n = 0, i = 0, j = 0; n < size; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        bytes[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

// The pages a bitmap names (bit i for page `first` + i), appended in order.
void PagesIn(const unsigned char* bits, size_t bytes, quint64 first, std::vector<quint64>& listed) {
    for (size_t byte = 0; byte < bytes; ++byte)
        if (bits[byte] != 0)
            for (int bit = 0; bit < 8; ++bit)
                if ((bits[byte] >> bit) & 1) listed.push_back(first + byte * 8 + static_cast<unsigned>(bit));
}

} // namespace

void RaiseDamaged(const QString& path, const QString& owner, qint64 page) {
    sourcefile::RaiseBroken(
        path, page < 0 ? QStringLiteral("has %1 whose page map cannot be read; it is damaged.").arg(owner)
                       : QStringLiteral("has %1 that names page %2, past the end of the "
                                        "file; it is damaged.")
                             .arg(owner)
                             .arg(page));
}

AccessHeader ReadAccessHeader(const QString& path) {
    AccessHeader header;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return header;
    QByteArray first = file.read(0x98);
    if (first.size() < 0x98 || !first.startsWith(QByteArrayLiteral("\x00\x01\x00\x00")) ||
        (first.mid(4, 16) != QByteArrayLiteral("Standard Jet DB\0") &&
         first.mid(4, 16) != QByteArrayLiteral("Standard ACE DB\0")))
        return header;
    header.access = true;
    header.version = Le(first, 0x14, 4);
    header.pageSize = header.version == MDB_VER_JET3 ? 2048 : 4096;
    // An Access 2007 file encrypted with a password keeps a key where an unencrypted one has none.
    auto* settings = reinterpret_cast<unsigned char*>(first.data()) + 0x18;
    Unmask(settings, 0x80);
    header.encrypted = header.version >= MDB_VER_ACCDB_2007 && Le(settings + (0x3E - 0x18), 4) != 0;
    return header;
}

const unsigned char* AccessPages::page(quint64 page) const {
    if (m_held == static_cast<qint64>(page)) return m_page.data();
    m_held = -1;
    if (mdb_read_alt_pg(m_mdb, static_cast<unsigned long>(page)) != m_mdb->fmt->pg_size) return nullptr;
    m_page.assign(m_mdb->alt_pg_buf, m_mdb->alt_pg_buf + m_mdb->fmt->pg_size);
    m_held = static_cast<qint64>(page);
    return m_page.data();
}

bool AccessPages::bounds(const unsigned char* p, unsigned row, size_t& start, size_t& end,
                         unsigned& flags) const {
    const auto pageSize = static_cast<size_t>(m_mdb->fmt->pg_size);
    const size_t counted = m_mdb->fmt->row_count_offset;
    const unsigned rows = Le(p + counted, 2);
    const size_t table = counted + 2 + 2 * static_cast<size_t>(rows);
    if (row >= rows || table > pageSize) return false;
    const unsigned offset = Le(p + counted + 2 + 2 * row, 2);
    flags = offset & ~unsigned(RowOffsetMask);
    start = offset & RowOffsetMask;
    end = row == 0 ? pageSize : Le(p + counted + 2 * row, 2) & RowOffsetMask;
    return start >= table && start <= end && end <= pageSize;
}

QByteArray AccessPages::row(quint64 page, unsigned row, PageFault& fault) const {
    if (page >= m_pages) {
        fault.page = static_cast<qint64>(page);
        return {};
    }
    const unsigned char* p = this->page(page);
    size_t start = 0, end = 0;
    unsigned flags = 0;
    if (!p || !bounds(p, row, start, end, flags)) {
        fault.broken = true;
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(p + start), static_cast<qsizetype>(end - start));
}

QByteArray AccessPages::pointed(quint32 pageRow, PageFault& fault) const {
    return row(pageRow >> 8, pageRow & 0xff, fault);
}

QByteArray AccessPages::longValue(const unsigned char* field, size_t size, PageFault& fault) const {
    if (size < LongValueHeader) {
        fault.broken = true;
        return {};
    }
    const quint32 head = Le(field, 4);
    const auto length = static_cast<qsizetype>(head & 0x3FFFFFFF);
    QByteArray value;
    if (head & 0x80000000) { // held in the row, after the header
        value = QByteArray(reinterpret_cast<const char*>(field) + LongValueHeader,
                           static_cast<qsizetype>(size - LongValueHeader));
    } else if (head & 0x40000000) { // one row of another page
        value = pointed(Le(field + 4, 4), fault);
    } else if ((head & 0xF0000000) == 0) {
        // A chain of rows, each naming the next before its part, walked to its end as the library
        // walks it; a chain that comes back to a row it has read is damage (the library would
        // loop without end).
        std::set<quint32> seen;
        for (quint32 next = Le(field + 4, 4); next != 0 && !fault;) {
            if (!seen.insert(next).second) {
                fault.broken = true;
                break;
            }
            const QByteArray part = pointed(next, fault);
            if (fault) break;
            if (part.size() < 4) {
                fault.broken = true;
                break;
            }
            next = Le(part, 0, 4);
            value.append(part.constData() + 4, part.size() - 4);
        }
    } else {
        fault.broken = true;
    }
    // A part may hold more than the value (Access rounds rows up); one that holds less is damage.
    if (!fault && value.size() < length) fault.broken = true;
    if (fault) return {};
    value.truncate(length);
    return value;
}

QByteArray AccessPages::definition(quint64 page, PageFault& fault) const {
    const auto pageSize = static_cast<size_t>(m_mdb->fmt->pg_size);
    QByteArray bytes;
    std::set<quint64> seen;
    while (!fault) {
        if (page >= m_pages) {
            fault.page = static_cast<qint64>(page);
            break;
        }
        const unsigned char* p = seen.insert(page).second ? this->page(page) : nullptr;
        if (!p || p[0] != MDB_PAGE_TABLE) {
            fault.broken = true;
            break;
        }
        const size_t from = bytes.isEmpty() ? 0 : 8;
        bytes.append(reinterpret_cast<const char*>(p) + from, static_cast<qsizetype>(pageSize - from));
        page = Le(p + 4, 4);
        if (page == 0) break;
    }
    return fault ? QByteArray() : bytes;
}

qint64 AccessPages::mapped(const MdbTableDef& def, std::vector<quint64>& listed) const {
    const unsigned char* const map = def.usage_map;
    const size_t size = def.map_sz;
    listed.clear();
    if (map[0] == 0) {
        if (size >= 5) PagesIn(map + 5, size - 5, LittleEndian(map + 1, 4), listed);
    } else if (map[0] == 1) {
        const auto pageSize = static_cast<size_t>(m_mdb->fmt->pg_size);
        const quint64 perMapPage = (pageSize - 4) * 8;
        for (size_t entry = 0; 1 + entry * 4 + 4 <= size; ++entry) {
            const quint64 mapPage = LittleEndian(map + 1 + entry * 4, 4);
            if (mapPage == 0) continue;
            if (mapPage >= m_pages) return static_cast<qint64>(mapPage);
            const unsigned char* p = page(mapPage);
            if (!p || p[0] != MDB_PAGE_MAP) return -1;
            PagesIn(p + 4, pageSize - 4, entry * perMapPage, listed);
        }
    } else {
        return -1;
    }
    for (const quint64 page : listed)
        if (page >= m_pages) return static_cast<qint64>(page);
    return 0;
}

void AccessPages::readRowsPage(const QString& path, const QString& owner, quint64 page,
                               quint32 tablePage) const {
    const auto pageSize = static_cast<size_t>(m_mdb->fmt->pg_size);
    if (page >= m_pages) RaiseDamaged(path, owner, static_cast<qint64>(page));
    if (mdb_read_pg(m_mdb, static_cast<unsigned long>(page)) != static_cast<ssize_t>(pageSize) ||
        m_mdb->pg_buf[0] != MDB_PAGE_DATA || LittleEndian(m_mdb->pg_buf + 4, 4) != tablePage)
        sourcefile::RaiseBroken(path,
                                QStringLiteral("has %1 whose page %2 is not one of its pages; it is damaged.")
                                    .arg(owner)
                                    .arg(page));
}

void AccessPages::brokenRow(const QString& path, const QString& owner, quint64 page, unsigned row) {
    sourcefile::RaiseBroken(path,
                            QStringLiteral("has %1 whose row %2 on page %3 cannot be read; it is damaged.")
                                .arg(owner)
                                .arg(row)
                                .arg(page));
}

void AccessPages::requireCount(const QString& path, const QString& owner, const MdbTableDef& def,
                               const std::vector<quint64>& mapped, quint64 listed) {
    // The design counts the rows, a page lost from the map shows here. Access leaves the count
    // stale: above the live rows after deletions until the file is compacted (the catalog too,
    // for its deleted objects), below them after rows added (jackcess's calcFieldTestV2010.accdb
    // counts 3 of its 4), and an Access 97 table whose map names no page may count rows. What no
    // file Access wrote shows is a count above the rows, live or deleted, of the pages mapped.
    if (!mapped.empty() && listed < def.num_rows)
        sourcefile::RaiseBroken(path, QStringLiteral("has %1 whose design counts %2 rows where its pages "
                                                     "list %3; it is damaged.")
                                          .arg(owner)
                                          .arg(def.num_rows)
                                          .arg(listed));
}

bool DefinitionColumns(const MdbHandle* mdb, const QByteArray& definition,
                       std::vector<DefinedColumn>& columns, DesignFacts* facts) {
    const MdbFormatConstants& fmt = *mdb->fmt;
    const auto size = static_cast<quint64>(definition.size());
    if (size < static_cast<quint64>(fmt.tab_cols_start_offset)) return false;
    const quint64 count = Le(definition, fmt.tab_num_cols_offset, 2);
    const quint64 indexes = Le(definition, fmt.tab_num_ridxs_offset, 4);
    const bool jet3 = mdb->f->jet_version == MDB_VER_JET3;
    quint64 at = fmt.tab_cols_start_offset + indexes * fmt.tab_ridx_entry_size;
    columns.clear();
    std::set<quint32> numbers, variables;
    for (quint64 c = 0; c < count; ++c, at += fmt.tab_col_entry_size) {
        if (at + fmt.tab_col_entry_size > size) return false;
        DefinedColumn column;
        column.number = static_cast<int>(Le(definition, at + fmt.col_num_offset, 2));
        column.rowNumber = static_cast<int>(Le(definition, at + fmt.tab_row_col_num_offset, 2));
        column.size = static_cast<int>(Le(definition, at + fmt.col_size_offset, 2));
        // Access 2010 and later mark a calculated column in the extended flags, which Jet 3 lacks.
        column.calculated =
            !jet3 && (static_cast<unsigned char>(definition[static_cast<qsizetype>(at + 16)]) & 0xC0);
        const bool fixed =
            static_cast<unsigned char>(definition[qsizetype(at + fmt.col_flags_offset)]) & 0x01;
        if (!numbers.insert(static_cast<quint32>(column.number)).second ||
            (!fixed && !variables.insert(Le(definition, at + fmt.tab_col_offset_var, 2)).second))
            return false;
        columns.push_back(column);
    }
    // The names follow, each after its length (one byte in Jet 3, two after).
    const int width = jet3 ? 1 : 2;
    for (quint64 c = 0; c < count; ++c) {
        if (at + width > size) return false;
        at += width + Le(definition, at, width);
        if (at > size) return false;
    }
    // Then each index's columns: after 4 bytes (Jet 4 and later), ten numbers and orders (0xFFFF
    // for none), its page map and first page, 4 more bytes (Jet 4 and later), its flags (1: unique),
    // and 5 more bytes (Jet 4 and later).
    if (facts) {
        // The rows' count of columns stands before the count of those listed and of the variable ones.
        facts->retired = std::max(0, static_cast<int>(Le(definition, fmt.tab_num_cols_offset - 4, 2)) -
                                         static_cast<int>(count));
        std::vector<std::vector<int>>* uniqueKeys = &facts->uniqueKeys;
        uniqueKeys->clear();
        const quint64 lead = jet3 ? 0 : 4, flags = jet3 ? 38 : 46, block = jet3 ? 39 : 52;
        for (quint64 i = 0; i < indexes && at + block <= size; ++i, at += block) {
            if (!(static_cast<unsigned char>(definition[qsizetype(at + flags)]) & 0x01)) continue;
            std::vector<int> key;
            for (quint64 k = 0; k < 10; ++k)
                if (const quint32 number = Le(definition, at + lead + 3 * k, 2); number != 0xFFFF)
                    key.push_back(static_cast<int>(number));
            if (!key.empty()) uniqueKeys->push_back(std::move(key));
        }
    }
    return true;
}

bool PropertiesHold(const QByteArray& block, TableProperties* properties) {
    const auto size = static_cast<size_t>(block.size());
    if (size < 4 ||
        (!block.startsWith(QByteArrayLiteral("MR2\0")) && !block.startsWith(QByteArrayLiteral("KKD\0"))))
        return false;
    const auto utf16 = [&](size_t at, size_t bytes) {
        return QString::fromUtf16(
            reinterpret_cast<const char16_t*>(
                QByteArray(block.constData() + at, static_cast<qsizetype>(bytes)).constData()),
            static_cast<qsizetype>(bytes / 2));
    };
    size_t names = 0;
    size_t resultType = SIZE_MAX; // the index of the name "ResultType"
    for (size_t at = 4; at < size;) {
        if (at + 6 > size) return false;
        const size_t length = Le(block, at, 4);
        const unsigned kind = Le(block, at + 4, 2);
        if (length < 6 || length > size - at) return false;
        const size_t end = at + length;
        size_t pos = at + 6;
        if (kind == 0x80) { // the names the values refer to, each after its length
            names = 0;
            resultType = SIZE_MAX;
            for (; pos < end; ++names) {
                if (pos + 2 > end) return false;
                const size_t bytes = Le(block, pos, 2);
                pos += 2 + bytes;
                if (pos > end) return false;
                if (properties && utf16(pos - bytes, bytes) == QLatin1String("ResultType"))
                    resultType = names;
            }
        } else if (kind == 0x00 || kind == 0x01) { // the values of one object: its name, then each entry
            if (pos + 6 > end) return false;
            const size_t nameBytes = Le(block, pos + 4, 2);
            if (pos + 6 + nameBytes > end) return false;
            const size_t object = pos + 6;
            if (properties) properties->objects.push_back(block.mid(qsizetype(object), qsizetype(nameBytes)));
            pos += 6 + nameBytes;
            while (pos < end) {
                if (pos + 8 > end) return false;
                const size_t entry = Le(block, pos, 2);
                const size_t valueBytes = Le(block, pos + 6, 2);
                const size_t name = Le(block, pos + 4, 2);
                if (entry < 8 || entry > end - pos || 8 + valueBytes > entry || name >= names) return false;
                if (properties && name == resultType && valueBytes >= 1)
                    properties->resultTypes[utf16(object, nameBytes)] =
                        static_cast<unsigned char>(block[qsizetype(pos + 8)]);
                pos += entry;
            }
            if (pos > end) return false;
        }
        at = end;
    }
    return true;
}

} // namespace quibo
