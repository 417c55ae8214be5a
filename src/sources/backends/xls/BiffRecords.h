#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <vector>

namespace quibo {

// The records of a BIFF stream (an .xls workbook's or worksheet file's) and the strings in them,
// every length checked against the record that holds it.
namespace biff {

inline quint16 U16(const uchar* p) {
    return static_cast<quint16>(p[0] | (p[1] << 8));
}
inline quint32 U32(const uchar* p) {
    return static_cast<quint32>(p[0]) | (static_cast<quint32>(p[1]) << 8) |
           (static_cast<quint32>(p[2]) << 16) | (static_cast<quint32>(p[3]) << 24);
}
inline double F64(const uchar* p) {
    quint64 bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

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
int BiffOf(quint16 type, quint16 version);

// The BIFF8 id of a record that an older version stores under an id of its own, so that one reader
// serves every version: BIFF2, 3 and 4 number some records apart. An id the version does not hold
// (or holds for something not read) gives None.
quint16 Biff8Id(quint16 id, int biff);

struct Record {
    quint16 type = 0;
    const uchar* data = nullptr;
    qsizetype size = 0;
};

// Walks the records of a stream; stops at its end or at a record that runs past it, or at bytes that
// are no records: a zeroed sector, or an array of offsets out of another record (a sector put in the
// wrong place), reads as empty records of id 0 or of ids above any record's (0x1FFF), which no sound
// stream holds two of in a row (Excel writes none; a few writers leave a single id 0 as padding); and
// from Excel 97 on no record is longer than 8,224 bytes (2,080 in Excel 5 and 95, whose writers are
// held to the later bound). Past such bytes the walk would read records out of the middle of others.
class Records {
public:
    Records(const QByteArray& stream, qsizetype at, int biff = 0)
        : m_data(reinterpret_cast<const uchar*>(stream.constData())), m_size(stream.size()), m_at(at),
          m_maxSize(biff >= 5 ? 8224 : 0xFFFF) {}

    // Holds the records to the bounds of `biff`, once the stream's BOF has told it.
    void setVersion(int biff) { m_maxSize = biff >= 5 ? 8224 : 0xFFFF; }

    // False at the end; `broken` tells a cut or damaged record from the stream's end.
    bool next(Record& r) {
        if (m_at < 0 || m_at + 4 > m_size) return false;
        r.type = U16(m_data + m_at);
        r.size = U16(m_data + m_at + 2);
        const bool empty = r.size == 0 && (r.type == 0 || r.type > 0x1FFF);
        if (m_at + 4 + r.size > m_size || r.size > m_maxSize || (empty && m_lastEmpty)) {
            m_broken = true;
            return false;
        }
        m_lastEmpty = empty;
        r.data = m_data + m_at + 4;
        m_at += 4 + r.size;
        return true;
    }
    bool peekContinue() const { return m_at + 4 <= m_size && U16(m_data + m_at) == rec::Continue; }
    bool broken() const { return m_broken; }
    // Whether what follows the last record read is another substream's BOF, the stream's end, or the
    // zeros that pad a stream to its sectors: a substream's EOF is followed by nothing else. (Only the
    // padding's first bytes are held to it: a stray byte further in, as in POI's poi-fuzz.xls, spoils
    // no record.)
    bool atSubstreamBoundary() const {
        if (m_at + 2 <= m_size && U16(m_data + m_at) == rec::Bof) return true;
        return std::all_of(m_data + m_at, m_data + std::min(m_size, m_at + 8),
                           [](uchar c) { return c == 0; });
    }

private:
    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_at;
    quint16 m_maxSize;
    bool m_broken = false;
    bool m_lastEmpty = false;
};

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
                // The characters go on in the next CONTINUE, which begins with their width again
                // (and may hold nothing more: Excel leaves such an empty piece at times).
                if (m_part + 1 >= m_parts.size()) return false;
                ++m_part;
                m_pos = 0;
                quint8 flags;
                if (!byte(flags)) return false;
                wide = flags & 1;
                continue;
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
    // The flag byte of a string of `count` characters. A string of none that ends its record may
    // lack it, as writers other than Excel leave it out: it needs no width.
    bool flags(quint32 count, quint8& v) {
        v = 0;
        return (count == 0 && !settle()) || byte(v);
    }
    // A string with a 16-bit length and its flags: plain, or with rich-text runs and
    // extended (phonetic) data after the characters, which are skipped.
    bool string(QString& out, bool lengthIsByte = false) {
        quint16 cch = 0;
        quint8 flags = 0, small = 0;
        if (lengthIsByte ? !byte(small) : !u16(cch)) return false;
        if (lengthIsByte) cch = small;
        if (!this->flags(cch, flags)) return false;
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

// A record and the CONTINUE records that follow it.
Segments Gather(const Record& first, Records& records);

// The strings of versions before BIFF8: bytes in the code page the CODEPAGE record names (a
// stream's own for a worksheet file, else the workbook's).
class CodePage {
public:
    explicit CodePage(quint16 number);

    // A string with its length in one byte or, `longLength`, two.
    bool string(Segments& s, bool longLength, QString& out);

    // The number a stream's CODEPAGE record gives, wherever in its globals it stands.
    static quint16 Of(const QByteArray& stream);

private:
    // Windows-1252 stands in without a CODEPAGE record (as Excel 5 and 95 read such a workbook), for
    // ASCII (367), for the number BIFF2 and 3 give it (32769), for UTF-16 (1200, no 8-bit code page)
    // and for a code page the platform does not know, so that no byte is lost.
    static QStringDecoder DecoderOf(quint16 number);

    QStringDecoder m_decode;
    QByteArray m_bytes;
};

// An RK number: a 30-bit integer or the top of a double, either possibly a hundredfold.
inline double RkValue(quint32 rk) {
    double value;
    if (rk & 2) {
        value = static_cast<double>(static_cast<qint32>(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 1) ? value / 100 : value;
}

} // namespace biff
} // namespace quibo
