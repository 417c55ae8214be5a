#include "sources/backends/BiffBook.h"

#include "sources/backends/DateText.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace quibo {

namespace {

quint16 U16(const uchar* p) {
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
quint32 U32(const uchar* p) {
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) |
           (static_cast<quint32>(p[2]) << 16) | (static_cast<quint32>(p[3]) << 24);
}
double F64(const uchar* p) {
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// ---- The compound file: sectors, their allocation table and the directory. ----

constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 MaxSector = 0xFFFFFFFA; // above are the markers
const uchar Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& file)
        : m_file(file), m_data(reinterpret_cast<const uchar*>(file.constData())), m_size(file.size()) {}

    bool isCompound() const { return m_size >= 512 && std::memcmp(m_data, Signature, 8) == 0; }

    // The workbook's stream: "Workbook" (Excel 97 and later) or else "Book" (Excel 5 and 95, and some
    // writers of later versions); its BOF record tells the version. False when there is none or the
    // file is broken.
    bool workbook(QByteArray& stream) {
        if (!readHeader() || !readFat()) return false;
        QByteArray dir;
        if (!chain(m_fat, m_dirStart, std::numeric_limits<quint64>::max(), dir)) return false;
        if (dir.size() < 128) return false;
        const auto* d = reinterpret_cast<const uchar*>(dir.constData());
        const qsizetype entries = dir.size() / 128;

        // The root entry holds the mini stream, which holds the streams below the cut-off.
        const uchar* root = d;
        if (root[0x42] != 5) return false;
        // A name longer than its 64-byte field marks a damaged directory; FreeXL, which the tests
        // hold this reader against, would convert that many bytes from the field and read past it.
        for (qsizetype i = 0; i < entries; ++i)
            if (U16(d + i * 128 + 0x40) > 64) return false;
        const uchar* e = nullptr;
        for (qsizetype i = 1; i < entries; ++i) {
            const uchar* entry = d + i * 128;
            if (entry[0x42] != 2) continue;
            const quint16 nameBytes = U16(entry + 0x40);
            if (nameBytes < 2 || nameBytes % 2) continue;
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(entry),
                                                    nameBytes / 2 - 1); // less the NUL
            if (name.compare(QLatin1String("Workbook"), Qt::CaseInsensitive) == 0) {
                e = entry;
                break;
            }
            if (!e && name.compare(QLatin1String("Book"), Qt::CaseInsensitive) == 0) e = entry;
        }
        if (!e) return false;
        const quint64 size = m_major == 3 ? U32(e + 0x78) : (U32(e + 0x78) | quint64(U32(e + 0x7C)) << 32);
        if (size > quint64(m_size)) return false;
        const quint32 start = U32(e + 0x74);
        if (size >= m_cutoff) return chain(m_fat, start, size, stream);
        // The mini stream is bounded by the file like any other stream.
        const quint32 miniSize = U32(root + 0x78);
        if (miniSize > quint64(m_size)) return false;
        QByteArray mini;
        return readMiniFat() && chain(m_fat, U32(root + 0x74), miniSize, mini) &&
               miniChain(mini, start, size, stream);
    }

private:
    bool readHeader() {
        m_major = U16(m_data + 0x1A);
        const quint16 shift = U16(m_data + 0x1E);
        if (U16(m_data + 0x1C) != 0xFFFE || !((m_major == 3 && shift == 9) || (m_major == 4 && shift == 12)))
            return false;
        m_sectorSize = 1u << shift;
        if (U16(m_data + 0x20) != 6) return false;
        m_fatSectors = U32(m_data + 0x2C);
        m_dirStart = U32(m_data + 0x30);
        m_cutoff = U32(m_data + 0x38);
        m_miniFatStart = U32(m_data + 0x3C);
        m_difatStart = U32(m_data + 0x44);
        m_difatSectors = U32(m_data + 0x48);
        // Every allocation-table sector is a sector of the file.
        return m_fatSectors <= quint64(m_size) / m_sectorSize;
    }

    // The bytes of sector `s`; a last sector cut short by the file's end is taken as it is.
    const uchar* sector(quint32 s, qsizetype& length) const {
        if (s > MaxSector) return nullptr;
        const quint64 at = (quint64(s) + 1) * m_sectorSize;
        if (at >= quint64(m_size)) return nullptr;
        length = std::min<qsizetype>(m_sectorSize, m_size - static_cast<qsizetype>(at));
        return m_data + at;
    }

    bool readFat() {
        std::vector<quint32> fatSectors;
        for (int i = 0; i < 109 && fatSectors.size() < m_fatSectors; ++i)
            fatSectors.push_back(U32(m_data + 0x4C + 4 * i));
        quint32 next = m_difatStart;
        for (quint32 n = 0; fatSectors.size() < m_fatSectors; ++n) {
            qsizetype length = 0;
            const uchar* p = n < m_difatSectors ? sector(next, length) : nullptr;
            if (!p || length < qsizetype(m_sectorSize)) return false;
            const quint32 perSector = m_sectorSize / 4 - 1;
            for (quint32 i = 0; i < perSector && fatSectors.size() < m_fatSectors; ++i)
                fatSectors.push_back(U32(p + 4 * i));
            next = U32(p + 4 * perSector);
        }
        m_fat.reserve(fatSectors.size() * (m_sectorSize / 4));
        for (quint32 s : fatSectors) {
            qsizetype length = 0;
            const uchar* p = sector(s, length);
            if (!p || length < qsizetype(m_sectorSize)) return false;
            for (quint32 i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(U32(p + 4 * i));
        }
        return true;
    }

    bool readMiniFat() {
        QByteArray bytes;
        if (!chain(m_fat, m_miniFatStart, std::numeric_limits<quint64>::max(), bytes)) return false;
        const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
        m_miniFat.clear();
        for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4)
            m_miniFat.push_back(U32(p + i));
        return true;
    }

    // Follows a chain of sectors until `size` bytes are read or, for an unknown size, to its end.
    // A chain visits each sector once: one seen again is a cycle.
    bool chain(const std::vector<quint32>& table, quint32 s, quint64 size, QByteArray& out) const {
        out.clear();
        const bool sized = size != std::numeric_limits<quint64>::max();
        if (sized && contiguous(table, s, size)) {
            // Written in one run, as writers lay out a stream: read in place, not copied.
            out = QByteArray::fromRawData(m_file.constData() + (quint64(s) + 1) * m_sectorSize,
                                          static_cast<qsizetype>(size));
            return true;
        }
        if (sized) out.reserve(static_cast<qsizetype>(size));
        std::vector<bool> seen(table.size());
        while (!sized || quint64(out.size()) < size) {
            if (s == EndOfChain) return !sized;
            qsizetype length = 0;
            const uchar* p = sector(s, length);
            if (!p || s >= table.size() || seen[s]) return false;
            seen[s] = true;
            const qsizetype wanted =
                sized ? qsizetype(std::min<quint64>(length, size - quint64(out.size()))) : length;
            out.append(reinterpret_cast<const char*>(p), wanted);
            s = table[s];
        }
        return true;
    }

    // Whether the chain from `s` runs through consecutive sectors, all inside the file, for `size`
    // bytes and then ends (or goes on past them).
    bool contiguous(const std::vector<quint32>& table, quint32 s, quint64 size) const {
        const quint64 first = (quint64(s) + 1) * m_sectorSize;
        if (s > MaxSector || first + size > quint64(m_size)) return false;
        const quint64 sectors = (size + m_sectorSize - 1) / m_sectorSize;
        for (quint64 k = 0; k + 1 < sectors; ++k)
            if (s + k >= table.size() || table[s + k] != s + k + 1) return false;
        return sectors == 0 || s + sectors - 1 < table.size();
    }

    bool miniChain(const QByteArray& mini, quint32 s, quint64 size, QByteArray& out) const {
        out.clear();
        std::vector<bool> seen(m_miniFat.size());
        while (quint64(out.size()) < size) {
            const quint64 at = quint64(s) * 64;
            if (s >= m_miniFat.size() || seen[s] || at >= quint64(mini.size())) return false;
            seen[s] = true;
            const qsizetype wanted =
                qsizetype(std::min<quint64>({64, size - quint64(out.size()), quint64(mini.size()) - at}));
            out.append(mini.constData() + at, wanted);
            s = m_miniFat[s];
        }
        return true;
    }

    const QByteArray& m_file;
    const uchar* m_data;
    qsizetype m_size;
    quint16 m_major = 3;
    quint32 m_sectorSize = 512;
    quint32 m_fatSectors = 0, m_dirStart = 0, m_cutoff = 4096, m_miniFatStart = 0, m_difatStart = 0,
            m_difatSectors = 0;
    std::vector<quint32> m_fat, m_miniFat;
};

// ---- BIFF records. ----

// Their BIFF8 ids (BIFF5 uses the same); Integer is BIFF2's alone, None no record read.
namespace rec {
constexpr quint16 Bof = 0x0809, Eof = 0x000A, Continue = 0x003C, BoundSheet = 0x0085, Sst = 0x00FC,
                  Format = 0x041E, Xf = 0x00E0, DateMode = 0x0022, FilePass = 0x002F, Dimensions = 0x0200,
                  LabelSst = 0x00FD, Label = 0x0204, RString = 0x00D6, Number = 0x0203, Rk = 0x027E,
                  MulRk = 0x00BD, Formula = 0x0006, String = 0x0207, BoolErr = 0x0205, CodePage = 0x0042,
                  Integer = 0x0002, None = 0xFFFF;
}

// The BIFF version a stream's first record, its BOF, tells: 2, 3, 4 (Excel 2 to 4), 5 (Excel 5 and 95)
// or 8 (Excel 97 and later, also under a version number other writers put there); 0 for no BOF.
int BiffOf(quint16 type, quint16 version) {
    switch (type) {
    case 0x0009:
        return 2;
    case 0x0209:
        return 3;
    case 0x0409:
        return 4;
    case rec::Bof:
        return version == 0x0500 ? 5 : 8;
    default:
        return 0;
    }
}

// The BIFF8 id of a record that an older version stores under an id of its own, so that one reader
// serves every version: BIFF2, 3 and 4 number some records apart. An id the version does not hold
// (or holds for something not read) gives None.
quint16 Biff8Id(quint16 id, int biff) {
    if (biff >= 5) return id;
    switch (id) {
    case rec::Eof:
    case rec::Continue:
    case rec::FilePass:
    case rec::CodePage:
    case rec::DateMode:
        return id;
    case 0x0009:
    case 0x0209:
    case 0x0409:
        return rec::Bof;
    default:
        break;
    }
    if (biff == 2) {
        switch (id) {
        case 0x0000:
            return rec::Dimensions;
        case 0x0002:
            return rec::Integer;
        case 0x0003:
            return rec::Number;
        case 0x0004:
            return rec::Label;
        case 0x0005:
            return rec::BoolErr;
        case 0x0006:
            return rec::Formula;
        case 0x0007:
            return rec::String;
        case 0x001E:
            return rec::Format;
        default:
            return rec::None;
        }
    }
    switch (id) {
    case rec::Dimensions:
    case rec::Number:
    case rec::Rk:
    case rec::Label:
    case rec::BoolErr:
    case rec::String:
        return id;
    case 0x0206:
        return biff == 3 ? rec::Formula : rec::None;
    case 0x0406:
        return biff == 4 ? rec::Formula : rec::None;
    case 0x001E:
        return biff == 3 ? rec::Format : rec::None;
    case rec::Format:
        return biff == 4 ? rec::Format : rec::None;
    case 0x0243:
        return biff == 3 ? rec::Xf : rec::None;
    case 0x0443:
        return biff == 4 ? rec::Xf : rec::None;
    default:
        return rec::None;
    }
}

struct Record {
    quint16 type = 0;
    const uchar* data = nullptr;
    qsizetype size = 0;
};

// Walks the records of a stream; stops at its end or at a record that runs past it.
class Records {
public:
    Records(const QByteArray& stream, qsizetype at)
        : m_data(reinterpret_cast<const uchar*>(stream.constData())), m_size(stream.size()), m_at(at) {}

    // False at the end; `broken` tells a cut record from the stream's end.
    bool next(Record& r) {
        if (m_at < 0 || m_at + 4 > m_size) return false;
        r.type = U16(m_data + m_at);
        r.size = U16(m_data + m_at + 2);
        if (m_at + 4 + r.size > m_size) {
            m_broken = true;
            return false;
        }
        r.data = m_data + m_at + 4;
        m_at += 4 + r.size;
        return true;
    }
    bool peekContinue() const { return m_at + 4 <= m_size && U16(m_data + m_at) == rec::Continue; }
    bool broken() const { return m_broken; }

private:
    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_at;
    bool m_broken = false;
};

// A record's data and that of the CONTINUE records after it, read as one run of bytes, except
// that a string's characters resume in a CONTINUE with a fresh flag byte telling their width.
class Segments {
public:
    void add(const Record& r) { m_parts.push_back(r); }

    bool byte(quint8& v) {
        if (!settle()) return false;
        v = m_parts[m_part].data[m_pos++];
        return true;
    }
    bool u16(quint16& v) {
        quint8 a, b;
        if (!byte(a) || !byte(b)) return false;
        v = static_cast<quint16>(a | (b << 8));
        return true;
    }
    bool u32(quint32& v) {
        quint16 a, b;
        if (!u16(a) || !u16(b)) return false;
        v = a | (quint32(b) << 16);
        return true;
    }
    // `count` bytes of an 8-bit string, which a CONTINUE carries on without a flag byte.
    bool bytes(quint32 count, QByteArray& out) {
        out.clear();
        while (count > 0) {
            if (!settle()) return false;
            const Record& r = m_parts[m_part];
            const qsizetype n = std::min<qsizetype>(count, r.size - m_pos);
            out.append(reinterpret_cast<const char*>(r.data + m_pos), n);
            m_pos += n;
            count -= quint32(n);
        }
        return true;
    }
    bool skip(quint64 n) {
        while (n > 0) {
            if (!settle()) return false;
            const qsizetype step = qsizetype(std::min<quint64>(n, quint64(m_parts[m_part].size - m_pos)));
            m_pos += step;
            n -= quint64(step);
        }
        return true;
    }
    bool chars(quint32 count, bool wide, QString& out) {
        out.clear();
        out.reserve(count);
        while (count > 0) {
            if (m_pos == m_parts[m_part].size) {
                // The characters go on in the next CONTINUE, which begins with their width again.
                if (m_part + 1 >= m_parts.size()) return false;
                ++m_part;
                m_pos = 0;
                quint8 flags;
                if (!byte(flags)) return false;
                wide = flags & 1;
            }
            const Record& r = m_parts[m_part];
            const qsizetype left = r.size - m_pos;
            if (wide) {
                const qsizetype n = std::min<qsizetype>(count, left / 2);
                if (n == 0) return false; // half a character
                for (qsizetype i = 0; i < n; ++i)
                    out.append(QChar(U16(r.data + m_pos + 2 * i)));
                m_pos += 2 * n;
                count -= quint32(n);
            } else {
                const qsizetype n = std::min<qsizetype>(count, left);
                out.append(QLatin1String(reinterpret_cast<const char*>(r.data + m_pos), n));
                m_pos += n;
                count -= quint32(n);
            }
        }
        return true;
    }
    // A string with a 16-bit length and its flags: plain, or with rich-text runs and
    // extended (phonetic) data after the characters, which are skipped.
    bool string(QString& out, bool lengthIsByte = false) {
        quint16 cch = 0;
        quint8 flags = 0, small = 0;
        if (lengthIsByte ? !byte(small) : !u16(cch)) return false;
        if (lengthIsByte) cch = small;
        if (!byte(flags)) return false;
        quint16 runs = 0;
        quint32 ext = 0;
        if ((flags & 0x08) && !u16(runs)) return false;
        if ((flags & 0x04) && !u32(ext)) return false;
        return chars(cch, flags & 1, out) && skip(4ull * runs) && skip(ext);
    }

private:
    // Moves past exhausted parts; false at the end of the last.
    bool settle() {
        while (m_part < m_parts.size() && m_pos == m_parts[m_part].size) {
            ++m_part;
            m_pos = 0;
        }
        return m_part < m_parts.size();
    }

    std::vector<Record> m_parts;
    size_t m_part = 0;
    qsizetype m_pos = 0;
};

Segments Gather(const Record& first, Records& records) {
    Segments s;
    s.add(first);
    Record r;
    while (records.peekContinue() && records.next(r))
        s.add(r);
    return s;
}

// The strings of versions before BIFF8: bytes in the code page the CODEPAGE record names (a
// stream's own for a worksheet file, else the workbook's).
class CodePage {
public:
    explicit CodePage(quint16 number) : m_decode(DecoderOf(number)) {}

    // A string with its length in one byte or, `longLength`, two.
    bool string(Segments& s, bool longLength, QString& out) {
        quint16 count = 0;
        quint8 small = 0;
        if (longLength ? !s.u16(count) : !s.byte(small)) return false;
        if (!s.bytes(longLength ? count : small, m_bytes)) return false;
        // Every code page a workbook names reads the bytes below 0x80 as ASCII.
        if (std::all_of(m_bytes.cbegin(), m_bytes.cend(), [](char c) { return (c & 0x80) == 0; }))
            out = QString::fromLatin1(m_bytes);
        else
            out = m_decode(m_bytes);
        return true;
    }

    // The number a stream's CODEPAGE record gives, wherever in its globals it stands.
    static quint16 Of(const QByteArray& stream) {
        Records records(stream, 0);
        Record r;
        while (records.next(r) && r.type != rec::Eof)
            if (r.type == rec::CodePage && r.size >= 2) return U16(r.data);
        return 1252;
    }

private:
    // Windows-1252 stands in without a CODEPAGE record (as Excel 5 and 95 read such a workbook), for
    // ASCII (367), for the number BIFF2 and 3 give it (32769), for UTF-16 (1200, no 8-bit code page)
    // and for a code page the platform does not know, so that no byte is lost.
    static QStringDecoder DecoderOf(quint16 number) {
        const auto stateless = QStringConverter::Flag::Stateless;
        if (number == 10000 || number == 32768) return QStringDecoder("macintosh", stateless);
        if (number != 367 && number != 1200 && number != 32769) {
            for (const char* prefix : {"windows-", "cp", "ibm"}) {
                QStringDecoder decoder((prefix + QByteArray::number(number)).constData(), stateless);
                if (decoder.isValid()) return decoder;
            }
        }
        QStringDecoder windows1252("windows-1252", stateless);
        return windows1252.isValid() ? std::move(windows1252)
                                     : QStringDecoder(QStringConverter::Latin1, stateless);
    }

    QStringDecoder m_decode;
    QByteArray m_bytes;
};

// An RK number: a 30-bit integer or the top of a double, either possibly a hundredfold.
double RkValue(quint32 rk) {
    double value;
    if (rk & 2) {
        value = static_cast<double>(static_cast<qint32>(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

} // namespace

// A worksheet's cells made into a table as SheetBuilder makes them (the same range, header, empty
// rows and column kinds), for cells that come row by row as a workbook stores them: each row is
// sized once, as wide as the rows before it, and moves into the table whole.
class BiffBook::SheetRows {
public:
    // The rows the DIMENSIONS record gives, to size the first allocation.
    void dimensions(quint32 rows) {
        // A damaged record must not reserve beyond the rows a sheet can have.
        m_rows.reserve(std::min<quint32>(rows, 65536));
    }

    void cell(int row, int column, SourceCell cell) {
        if (row < 0 || column < 0 || IsNull(cell)) return;
        if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
        auto& cells = m_rows[static_cast<size_t>(row)];
        const size_t at = static_cast<size_t>(column);
        // As wide as the widest row so far: no wider than the table's rows will be.
        if (cells.capacity() == 0)
            cells.reserve(std::max<size_t>(static_cast<size_t>(m_lastColumn + 1), at + 1));
        if (at == cells.size()) { // the next cell of the row, as cells mostly come
            cells.push_back(std::move(cell));
        } else {
            if (at > cells.size()) cells.resize(at + 1);
            cells[at] = std::move(cell);
        }
        m_firstRow = m_firstRow < 0 ? row : std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        m_firstColumn = m_firstColumn < 0 ? column : std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }

    SourceTable finish() {
        if (m_firstRow < 0) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
        const size_t first = static_cast<size_t>(m_firstColumn);
        const size_t width = static_cast<size_t>(m_lastColumn - m_firstColumn + 1);

        std::vector<SourceColumn> columns;
        columns.reserve(width);
        const auto& header = m_rows[static_cast<size_t>(m_firstRow)];
        for (size_t c = 0; c < width; ++c)
            columns.push_back(
                {ColumnNameFromHeader(first + c < header.size() ? header[first + c] : SourceCell{},
                                      static_cast<int>(c) + 1),
                 ColumnKind::Text});

        SourceTable table(std::move(columns));
        std::vector<int> kinds(width, -1); // -1: no value yet, -2: mixed
        for (int r = m_firstRow + 1; r <= m_lastRow; ++r) {
            std::vector<SourceCell>& cells = m_rows[static_cast<size_t>(r)];
            for (size_t c = first; c < cells.size(); ++c) {
                if (IsNull(cells[c])) continue;
                const int kind = static_cast<int>(CellKind(cells[c]));
                int& seen = kinds[c - first];
                seen = seen == -1 ? kind : (seen == kind ? seen : -2);
            }
            if (first > 0)
                cells.erase(cells.begin(),
                            cells.begin() + static_cast<qsizetype>(std::min(first, cells.size())));
            table.appendRow(std::move(cells));
        }
        for (size_t c = 0; c < width; ++c)
            if (kinds[c] >= 0) table.setColumnKind(static_cast<int>(c), static_cast<ColumnKind>(kinds[c]));
        m_rows.clear();
        return table;
    }

private:
    std::vector<std::vector<SourceCell>> m_rows;
    int m_firstRow = -1, m_lastRow = -1, m_firstColumn = -1, m_lastColumn = -1;
};

BiffBook::Status BiffBook::open(const QByteArray& file, bool withCells) {
    m_file = file;
    CompoundFile cfb(m_file);
    if (!cfb.isCompound())
        m_stream = m_file; // an Excel 2, 3 or 4 worksheet file is a bare record stream
    else if (!cfb.workbook(m_stream))
        return Status::Malformed;

    Records records(m_stream, 0);
    Record r;
    if (!records.next(r) || r.size < 4) return Status::Malformed;
    m_biff = BiffOf(r.type, U16(r.data));
    // A workbook's globals list its sheets; a worksheet file is its one sheet, whose formats and
    // styles come before its cells.
    const bool worksheetFile = U16(r.data + 2) == 0x0010;
    if (m_biff == 0 || (!worksheetFile && (m_biff < 5 || U16(r.data + 2) != 0x0005)))
        return Status::Malformed;
    if (worksheetFile) m_sheets.push_back({QString(), 0});
    std::optional<CodePage> page; // for the 8-bit strings before BIFF8
    if (m_biff < 8) {
        m_codePage = CodePage::Of(m_stream);
        page.emplace(m_codePage);
    }

    std::unordered_map<quint16, bool> formats; // whether each shows a date or time
    quint16 formatCount = 0;
    std::vector<quint16> xfFormats;
    bool ended = false;
    while (!ended && records.next(r)) {
        switch (Biff8Id(r.type, m_biff)) {
        case rec::Eof:
            ended = true;
            break;
        case rec::FilePass: // the records after it are encrypted (XOR or RC4)
            return Status::Protected;
        case rec::DateMode:
            if (r.size >= 2) m_1904 = U16(r.data) == 1;
            break;
        case rec::BoundSheet: {
            if (worksheetFile) break;
            if (r.size < (page ? 7 : 8)) return Status::Malformed;
            if (r.data[5] != 0) break; // a chart, macro or module sheet
            Segments s;
            s.add(Record{r.type, r.data + 6, r.size - 6});
            QString name;
            if (!(page ? page->string(s, false, name) : s.string(name, true))) return Status::Malformed;
            m_sheets.push_back({name, U32(r.data)});
            break;
        }
        case rec::Format: {
            // A damaged format spoils itself alone: its cells read as numbers. Before BIFF5 a format
            // goes by its place in the list (BIFF4 leaves two bytes unused before its text).
            const qsizetype at = m_biff <= 3 ? 0 : 2;
            const quint16 place = formatCount++;
            if (!withCells || r.size < at) break;
            Segments s;
            s.add(Record{r.type, r.data + at, r.size - at});
            QString text;
            formats[m_biff <= 4 ? place : U16(r.data)] =
                (page ? page->string(s, false, text) : s.string(text)) && IsDateFormatCode(text);
            break;
        }
        case rec::Xf: // its format's index: one byte in BIFF3 and 4
            if (!withCells) break;
            if (r.size < 4) return Status::Malformed;
            xfFormats.push_back(m_biff <= 4 ? r.data[1] : U16(r.data + 2));
            break;
        case rec::Sst: {
            if (!withCells) break;
            if (r.size < 8) return Status::Malformed;
            const quint32 unique = U32(r.data + 4);
            Segments s = Gather(Record{r.type, r.data + 8, r.size - 8}, records);
            m_strings.reserve(std::min<quint32>(unique, quint32(m_stream.size() / 3)));
            QString text;
            for (quint32 i = 0; i < unique && s.string(text); ++i)
                m_strings.push_back(text);
            break;
        }
        default:
            break;
        }
    }
    if (!ended) return Status::Malformed;
    if (m_biff == 2) { // a BIFF2 cell names its format itself, in six bits
        xfFormats.resize(64);
        std::iota(xfFormats.begin(), xfFormats.end(), quint16(0));
    }
    m_xfDate.reserve(xfFormats.size());
    for (quint16 f : xfFormats) {
        const auto it = formats.find(f);
        m_xfDate.push_back(it != formats.end() ? it->second : IsBuiltInDateFormat(f));
    }
    return Status::Ok;
}

QStringList BiffBook::sheetNames() const {
    QStringList names;
    for (const Sheet& s : m_sheets)
        names.append(s.name);
    return names;
}

SourceCell BiffBook::numberCell(double value, quint16 xf) const {
    // A date in any date or time format is the whole value, whatever parts the format shows.
    if (xf >= m_xfDate.size() || !m_xfDate[xf]) return value;
    const QDateTime date = DateOfSerial(value, m_1904);
    if (date.isValid()) return date;
    return value;
}

bool BiffBook::readSheet(int index, const CellSink& sink) const {
    struct Sink {
        const CellSink& put;
        void dimensions(quint32) {}
        void cell(int row, int column, SourceCell cell) { put(row, column, std::move(cell)); }
    } to{sink};
    return readCells(index, to);
}

std::optional<SourceTable> BiffBook::readTable(int index) const {
    SheetRows rows;
    if (!readCells(index, rows)) return std::nullopt;
    return rows.finish();
}

template <class Sink> bool BiffBook::readCells(int index, Sink& sink) const {
    if (index < 0 || static_cast<size_t>(index) >= m_sheets.size()) return false;
    Records records(m_stream, m_sheets[static_cast<size_t>(index)].offset);
    Record r;
    if (!records.next(r) || Biff8Id(r.type, m_biff) != rec::Bof) return false;
    std::optional<CodePage> page; // for the 8-bit strings before BIFF8
    if (m_biff < 8) page.emplace(m_codePage);
    // A cell begins with its row, column and style: an XF index, or BIFF2's three attribute bytes
    // whose second names the number format (see open).
    const qsizetype head = m_biff == 2 ? 7 : 6;
    auto style = [&](const uchar* p) { return m_biff == 2 ? quint16(p[5] & 0x3F) : U16(p + 4); };

    // A sheet has 256 columns: a cell past them is a damaged record, and would stretch the sheet's
    // range over billions of empty cells.
    constexpr quint16 SheetColumns = 256;
    bool pastLastColumn = false;
    auto put = [&](quint16 row, quint16 column, SourceCell cell) {
        if (column >= SheetColumns)
            pastLastColumn = true;
        else
            sink.cell(row, column, std::move(cell));
    };
    int depth = 1;                           // charts embedded in the sheet are substreams of their own
    int pendingRow = -1, pendingColumn = -1; // a formula whose text result follows
    while (depth > 0 && records.next(r)) {
        const uchar* p = r.data;
        const quint16 type = Biff8Id(r.type, m_biff);
        if (type == rec::Bof) {
            ++depth;
            continue;
        }
        if (type == rec::Eof) {
            --depth;
            continue;
        }
        if (depth > 1) continue;
        switch (type) {
        case rec::Dimensions:
            // A hint, never a filter: writers other than Excel often under-state the range (no
            // columns, the last row one short), and the sheet is every cell that holds a value.
            if (r.size >= (m_biff == 8 ? 12 : 8)) sink.dimensions(m_biff == 8 ? U32(p + 4) : U16(p + 2));
            break;
        case rec::LabelSst: {
            if (r.size < 10) return false;
            const quint32 i = U32(p + 6);
            if (i < m_strings.size() && !m_strings[i].isEmpty()) put(U16(p), U16(p + 2), m_strings[i]);
            break;
        }
        case rec::Label:
        case rec::RString: {
            if (r.size < head) return false;
            Segments s = Gather(Record{r.type, p + head, r.size - head}, records);
            QString text;
            quint16 cch = 0;
            quint8 flags = 0;
            if (page ? !page->string(s, m_biff > 2, text)
                     : !s.u16(cch) || !s.byte(flags) || !s.chars(cch, flags & 1, text))
                return false;
            if (!text.isEmpty()) put(U16(p), U16(p + 2), text);
            break;
        }
        case rec::Number:
            if (r.size < head + 8) return false;
            put(U16(p), U16(p + 2), numberCell(F64(p + head), style(p)));
            break;
        case rec::Integer: // BIFF2: an unsigned 16-bit number
            if (r.size < 9) return false;
            put(U16(p), U16(p + 2), numberCell(U16(p + 7), style(p)));
            break;
        case rec::Rk:
            if (r.size < 10) return false;
            put(U16(p), U16(p + 2), numberCell(RkValue(U32(p + 6)), U16(p + 4)));
            break;
        case rec::MulRk: {
            if (r.size < 6) return false;
            const quint16 row = U16(p);
            quint16 column = U16(p + 2);
            for (qsizetype at = 4; at + 6 <= r.size - 2; at += 6, ++column)
                put(row, column, numberCell(RkValue(U32(p + at + 2)), U16(p + at)));
            break;
        }
        case rec::BoolErr:
            if (r.size < head + 2) return false;
            if (p[head + 1] == 0) put(U16(p), U16(p + 2), p[head] != 0);
            break;
        case rec::Formula: {
            // Its stored result, alike in every version: a number, or after 0xFFFF in bytes 6-7 a text
            // (in the STRING record that follows), a boolean, an error or an empty text.
            if (r.size < (m_biff == 2 ? 17 : m_biff <= 4 ? 18 : 20)) return false;
            const quint16 row = U16(p), column = U16(p + 2);
            const uchar* result = p + head;
            if (U16(result + 6) != 0xFFFF) {
                put(row, column, numberCell(F64(result), style(p)));
            } else if (result[0] == 0) {
                pendingRow = row;
                pendingColumn = column;
            } else if (result[0] == 1) {
                put(row, column, result[2] != 0);
            }
            break;
        }
        case rec::String: {
            Segments s = Gather(r, records);
            QString text;
            if (page ? !page->string(s, m_biff > 2, text) : !s.string(text)) return false;
            if (pendingRow >= 0 && !text.isEmpty())
                put(static_cast<quint16>(pendingRow), static_cast<quint16>(pendingColumn), text);
            pendingRow = pendingColumn = -1;
            break;
        }
        default:
            break;
        }
    }
    return !records.broken() && !pastLastColumn;
}

} // namespace quibo
