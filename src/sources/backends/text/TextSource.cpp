#include "sources/backends/text/TextSource.h"

#include "core/Utf8Text.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/text/SplitCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace quibo {

namespace {

// The line (from 1) that a place in the text is on.
int LineAt(const char* begin, const char* at) {
    int line = 1;
    for (const char* c = begin; c < at; ++c)
        if (*c == '\r' || (*c == '\n' && (c == begin || c[-1] != '\r'))) ++line;
    return line;
}

// How the file's text is written, told from its first bytes: a byte-order mark tells UTF-8 or
// UTF-16; without one, NUL bytes among the first that fall as in UTF-16 tell UTF-16 that cannot be
// read safely, and the rest is UTF-8 or Windows-1252 (Utf8Check), in which a NUL byte anywhere tells
// a file that is not text.
enum class Encoding { Utf8, Utf8Marked, Utf16LE, Utf16BE };

// Tells whether a text given piece by piece is UTF-8 as a whole: every sequence well formed (no
// overlong form, no surrogate, nothing past U+10FFFF) and none cut off at the text's end.
class Utf8Check {
public:
    // Checks the next piece; false at the first byte that UTF-8 does not allow there.
    bool scan(const char* begin, const char* end) {
        const auto* const first = reinterpret_cast<const unsigned char*>(begin);
        const auto* p = first;
        const auto* const e = reinterpret_cast<const unsigned char*>(end);
        while (p < e) {
            if (m_need > 0) {
                if (*p < m_low || *p > m_high) return false;
                ++p;
                --m_need;
                m_low = 0x80;
                m_high = 0xBF;
                continue;
            }
            // Most text is ASCII: eight bytes at a time.
            for (uint64_t word; e - p >= 8; p += 8) {
                std::memcpy(&word, p, sizeof word);
                if (word & 0x8080808080808080ULL) break;
            }
            if (p == e) break;
            const unsigned char lead = *p++;
            if (lead < 0x80) continue;
            m_leadAt = m_offset + (p - 1 - first);
            m_wide = true;
            if (lead >= 0xC2 && lead <= 0xDF) {
                m_need = 1;
            } else if (lead >= 0xE0 && lead <= 0xEF) {
                m_need = 2;
                if (lead == 0xE0) m_low = 0xA0;  // overlong
                if (lead == 0xED) m_high = 0x9F; // a surrogate
            } else if (lead >= 0xF0 && lead <= 0xF4) {
                m_need = 3;
                if (lead == 0xF0) m_low = 0x90;  // overlong
                if (lead == 0xF4) m_high = 0x8F; // past U+10FFFF
            } else {
                return false;
            }
        }
        m_offset += end - begin;
        return true;
    }
    // The text so far ends inside a sequence: at the text's end, it is not UTF-8.
    bool open() const { return m_need > 0; }
    // Some byte so far was not ASCII.
    bool wide() const { return m_wide; }
    // Where, from the text's start, the sequence begins that broke the text or was left open.
    qint64 faultAt() const { return m_leadAt; }

private:
    int m_need = 0;                            // continuation bytes still to come
    unsigned char m_low = 0x80, m_high = 0xBF; // the range of the next one
    bool m_wide = false;
    qint64 m_offset = 0; // of the next piece
    qint64 m_leadAt = 0; // of the last sequence begun
};

// Where UTF-16 text (after its mark) stops being UTF-16: the byte of the first surrogate that is
// not one of a pair, or of a last byte left over; -1 when the text is whole.
qsizetype Utf16FaultAt(const char* bytes, qsizetype size, bool little) {
    auto unit = [&](qsizetype at) {
        const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
        return little ? char16_t(a | b << 8) : char16_t(a << 8 | b);
    };
    qsizetype at = 0;
    for (; at + 1 < size; at += 2) {
        const char16_t u = unit(at);
        if (QChar::isLowSurrogate(u)) return at;
        if (!QChar::isHighSurrogate(u)) continue;
        if (at + 3 >= size || !QChar::isLowSurrogate(unit(at + 2))) return at;
        at += 2;
    }
    return at < size ? at : -1;
}

// The line (from 1) that a place in UTF-16 text is on.
int Utf16LineAt(const char* bytes, qsizetype at, bool little) {
    int line = 1;
    bool afterCr = false;
    for (qsizetype i = 0; i < at; i += 2) {
        const char low = bytes[little ? i : i + 1], high = bytes[little ? i + 1 : i];
        const bool cr = high == 0 && low == '\r', lf = high == 0 && low == '\n';
        if (cr || (lf && !afterCr)) ++line;
        afterCr = cr;
    }
    return line;
}

// Windows-1252 as Windows reads it: Latin-1 but for 0x80 to 0x9F, where the five bytes the code page
// leaves free stand for the control characters of the same number.
QString Windows1252(const char* bytes, size_t size) {
    static constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                          0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                          0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                          0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(static_cast<qsizetype>(size), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b);
    }
    return text;
}

bool HasHighBytes(const char* bytes, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return true;
    return false;
}

// NUL bytes fall as in UTF-16 text without a mark: all on one side of their two-byte units, each
// beside a character that is text, never a unit of two, and in at least one unit of four (commas,
// digits and line breaks are such units even in a script beyond Latin-1). A NUL byte or two in
// 8-bit text falls on one side too, but in few of its units.
bool NulsFallAsUtf16(QByteArrayView head) {
    int side = -1;
    qsizetype nuls = 0;
    for (qsizetype at = 0; at + 1 < head.size(); at += 2) {
        const auto a = static_cast<unsigned char>(head[at]), b = static_cast<unsigned char>(head[at + 1]);
        if (a != 0 && b != 0) continue;
        if (a == 0 && b == 0) return false;
        const int nul = a == 0 ? 0 : 1;
        if (side >= 0 && side != nul) return false;
        side = nul;
        const unsigned char other = nul == 0 ? b : a;
        if (other < 0x20 && other != '\t' && other != '\r' && other != '\n') return false;
        ++nuls;
    }
    return nuls * 4 >= head.size() / 2;
}

// A NUL is no text, and would cut a cell where it is sent on: a file holding one is refused.
[[noreturn]] void RaiseNul(const QString& path, int line) {
    sourcefile::RaiseBroken(path,
                            QStringLiteral("is not a text file: line %1 holds a NUL character.").arg(line));
}

Encoding EncodingOf(const QString& path, const QByteArray& head) {
    // A zip package (an .xlsx workbook among them), a gzip file, a compound file (an .xls workbook,
    // a .doc): what the bytes start with tells they are not text, whatever the file's name says.
    static constexpr std::string_view Binary[] = {"PK\x03\x04", "PK\x05\x06", "\x1F\x8B",
                                                  "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"};
    for (const std::string_view signature : Binary)
        if (head.startsWith(QByteArrayView(signature.data(), static_cast<qsizetype>(signature.size()))))
            sourcefile::RaiseNotOfKind(path, QStringLiteral("a text file"));
    if (head.startsWith("\xEF\xBB\xBF")) return Encoding::Utf8Marked;
    if (head.startsWith("\xFF\xFE")) return Encoding::Utf16LE;
    if (head.startsWith("\xFE\xFF")) return Encoding::Utf16BE;
    const QByteArrayView first = QByteArrayView(head).first(std::min<qsizetype>(head.size(), 4096));
    if (first.contains('\0') && NulsFallAsUtf16(first))
        sourcefile::RaiseBroken(path, QStringLiteral("is text in UTF-16 without a byte-order mark; save it "
                                                     "as UTF-8, or as UTF-16 with a byte-order mark."));
    return Encoding::Utf8; // a NUL byte among 8-bit text is refused where it stands
}

// Text whose mark names an encoding that its bytes break would load with characters that are not
// the file's: nothing is loaded.
[[noreturn]] void RaiseNotAsMarked(const QString& path, const QString& encoding, int line) {
    sourcefile::RaiseBroken(path, QStringLiteral("is marked as %1 text, but line %2 is not %1; nothing of "
                                                 "it is loaded.")
                                      .arg(encoding)
                                      .arg(line));
}

// The line of a place in the file's text, from the file read again: the pieces read so far are gone.
int LineInFile(QFile& file, qsizetype skip, qint64 at) {
    file.seek(0);
    const QByteArray bytes = sourcefile::ReadWhole(file);
    const char* const text = bytes.constData() + std::min(skip, bytes.size());
    return LineAt(text, text + std::min<qint64>(at, bytes.constEnd() - text));
}

// A quote left open would swallow the rest of the file into one cell: nothing is loaded.
[[noreturn]] void RaiseUnclosed(const QString& path, int line) {
    sourcefile::RaiseBroken(path, QStringLiteral("has a quote opened at line %1 that is never closed; "
                                                 "nothing of it is loaded.")
                                      .arg(line));
}

// Reads up to `size` bytes to `to`, fewer only at the file's end.
qint64 ReadInto(QFile& file, char* to, qint64 size) {
    qint64 read = 0;
    while (read < size) {
        const qint64 n = file.read(to + read, size - read);
        if (n <= 0) break;
        read += n;
    }
    return read;
}

// A table past what the grids hold (TableColumns, TableCells) is refused at the row that passes it,
// before more of the file is read.
[[noreturn]] void RaiseTooLarge(const QString& path, qint64 rows, const QString& columns) {
    const QString span = rows == 1 ? QStringLiteral("its first row spans")
                                   : QStringLiteral("its first %1 rows span").arg(rows);
    sourcefile::RaiseBroken(path, QStringLiteral("cannot be loaded: %1 %2 columns; a text file may span at "
                                                 "most %3 columns, as the grid adds one of its own, and %4 "
                                                 "cells.")
                                      .arg(span)
                                      .arg(columns)
                                      .arg(TableColumns)
                                      .arg(TableCells));
}

// Rows go straight into the table as the text is split: the first names the columns, the others'
// cells go into the table's texts from their bytes, without a string made for each.
struct Reader {
    explicit Reader(QString file) : path(std::move(file)) {}

    QString path; // named when the table is too large
    // The file's text: a cell's bytes that lie in it stay put until the row ends.
    const char* textBegin = nullptr;
    const char* textEnd = nullptr;
    bool windows1252 = false; // else UTF-8
    std::optional<SourceTable> table;
    std::vector<SourceCell> header;
    std::vector<core::TextPool::Bytes> cells;
    std::vector<core::TextPool::Id> ids;

    // Starts over, for the file to be read again from its start: what was read goes. (Assigning a
    // fresh reader moved an empty table over this one's, which GCC 12 takes for reading an
    // uninitialised one.)
    void restart() {
        textBegin = textEnd = nullptr;
        table.reset();
        header.clear();
        cells.clear();
        ids.clear();
    }

    QString text(const char* bytes, size_t size) const {
        return windows1252 ? Windows1252(bytes, size) : core::Utf8Text(bytes, size);
    }
    core::TextPool::Id intern(const char* bytes, size_t size) {
        // ASCII reads alike in both.
        if (windows1252 && HasHighBytes(bytes, size)) return table->texts()->intern(text(bytes, size));
        return table->texts()->internUtf8(bytes, size);
    }

    void cell(const char* bytes, size_t size) {
        // A row of too many cells is refused as it is split, before they are all held.
        if ((table ? cells.size() : header.size()) >= size_t(TableColumns))
            RaiseTooLarge(path, table ? qint64(table->recordCount()) + 2 : 1,
                          QStringLiteral("more than %1").arg(TableColumns));
        if (!table) {
            // Each made in its place: a cell chosen between two temporaries is taken by GCC 12 for
            // one read uninitialised.
            if (bytes)
                header.emplace_back(text(bytes, size));
            else
                header.emplace_back();
            return;
        }
        // A quoted cell with a doubled quote comes from the splitter's own buffer, which the next
        // such cell overwrites, and a Windows-1252 text beyond ASCII is not for internUtf8: they are
        // interned at once.
        if (bytes && (bytes < textBegin || bytes >= textEnd || (windows1252 && HasHighBytes(bytes, size)))) {
            ids.push_back(intern(bytes, size));
            cells.push_back({nullptr, 0});
            return;
        }
        ids.push_back(SourceTable::NullText);
        cells.push_back({bytes, size});
    }
    // The row left unfinished at a piece's end: its cells come again with the next piece.
    void dropRow() {
        header.clear();
        cells.clear();
        ids.clear();
    }
    void row() {
        if (!table) {
            std::vector<SourceColumn> columns;
            for (size_t c = 0; c < header.size(); ++c)
                columns.push_back(
                    {ColumnNameFromHeader(header[c], static_cast<int>(c) + 1), ColumnKind::Text});
            table.emplace(std::move(columns));
            return;
        }
        const qint64 rows = qint64(table->recordCount()) + 2; // the header's and this one among them
        const qint64 width = std::max<qint64>(table->fieldCount(), qint64(cells.size()));
        if (rows * width > TableCells) RaiseTooLarge(path, rows, QString::number(width));
        // A cell beyond the header gets Jet's "F" name; the rows so far stay where they are.
        while (static_cast<size_t>(table->fieldCount()) < cells.size())
            table->addColumn(
                {QStringLiteral("F") + QString::number(table->fieldCount() + 1), ColumnKind::Text});
        // The rest of the row's texts are interned together; a cell without bytes or id is Null.
        table->texts()->internUtf8(cells.data(), cells.size(), ids.data());
        table->appendTextRow(ids.data(), ids.size());
        cells.clear();
        ids.clear();
    }
};
} // namespace

TextSource::TextSource(QString folder) : m_folder(std::move(folder)) {
    if (!QFileInfo(m_folder).isDir())
        vb::Raise(vb::err::PathFileAccess,
                  QStringLiteral("The folder \"%1\" of the text sources does not exist.").arg(m_folder),
                  QStringLiteral("Quibo"));
}

QStringList TextSource::tables() {
    QDir dir(m_folder);
    QStringList names;
    // A file whose name begins with a dot is a text file like any other: the user may have chosen it.
    for (const QFileInfo& file :
         dir.entryInfoList(QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        const QString suffix = file.suffix().toLower();
        if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) names.append(file.fileName());
    }
    return names;
}

namespace {

// A file marked as UTF-16, read whole: its table from its text as UTF-8.
void ReadUtf16(QFile& file, const QString& path, QByteArray& buffer, bool little, Reader& reader) {
    buffer.append(sourcefile::ReadWhole(file));
    const QByteArrayView units = QByteArrayView(buffer).sliced(2);
    if (const qsizetype at = Utf16FaultAt(units.data(), units.size(), little); at >= 0)
        RaiseNotAsMarked(path, QStringLiteral("UTF-16"), Utf16LineAt(units.data(), at, little));
    // The mark is skipped already: a U+FEFF after it is a character.
    QStringDecoder decode(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                          QStringConverter::Flag::ConvertInitialBom);
    const QByteArray text = QString(decode(units)).toUtf8();
    if (const void* nul = std::memchr(text.constData(), 0, static_cast<size_t>(text.size())))
        RaiseNul(path, LineAt(text.constData(), static_cast<const char*>(nul)));
    OpenQuote quotes;
    quotes.scan(text.constData(), text.constData() + text.size());
    if (const qint64 at = quotes.unclosedAt(); at >= 0)
        RaiseUnclosed(path, LineAt(text.constData(), text.constData() + at));
    reader.textBegin = text.constData();
    reader.textEnd = text.constData() + text.size();
    SplitCsv(
        reader.textBegin, reader.textEnd,
        [&reader](const char* bytes, size_t size) { reader.cell(bytes, size); }, [&reader] { reader.row(); });
}

// A file of 8-bit text, read a piece at a time into one buffer, which holds the row a piece leaves
// unfinished and the next piece: its pages stay warm, where the whole file would take as much fresh
// memory again as the table. Without a mark, the file is UTF-8 when it is valid UTF-8 as a whole and
// Windows-1252 when it is not. Each piece is checked before it is split; at the first byte that is
// not UTF-8, the texts read so far were ASCII, which both read alike, and the rest is read as
// Windows-1252, or some were not, and the file is read again from its start. A file marked as UTF-8
// is checked too, and refused where its bytes are not.
class PieceRead {
public:
    PieceRead(QFile& file, const QString& path, QByteArray& buffer, qsizetype got, bool utf8Marked,
              Reader& reader)
        : m_file(file), m_path(path), m_buffer(buffer), m_reader(reader), m_marked(utf8Marked),
          m_skip(utf8Marked ? 3 : 0), m_rows(m_skip), m_fresh(m_skip), m_got(got),
          m_last(got < buffer.size()) {}

    void run() {
        auto cell = [this](const char* bytes, size_t size) { m_reader.cell(bytes, size); };
        auto row = [this] { m_reader.row(); };
        for (;;) {
            const char* const base = m_buffer.constData();
            if (const void* nul = std::memchr(base + m_fresh, 0, static_cast<size_t>(m_got - m_fresh)))
                RaiseNul(m_path, lineAt(m_bufferAt + (static_cast<const char*>(nul) - base) - m_skip));
            if (m_checking && !check(base)) {
                restart();
                continue;
            }
            m_quotes.scan(base + m_fresh, base + m_got);
            m_reader.textBegin = base + m_rows;
            m_reader.textEnd = base + m_got;
            if (m_last) {
                if (const qint64 at = m_quotes.unclosedAt(); at >= 0) RaiseUnclosed(m_path, lineAt(at));
                SplitCsv(m_reader.textBegin, m_reader.textEnd, cell, row);
                return;
            }
            const qsizetype left = SplitCsvRows(m_reader.textBegin, m_reader.textEnd, cell, row) - base;
            m_reader.dropRow();
            sizeTexts(left);
            next(left);
        }
    }

private:
    int lineAt(qint64 at) { return LineInFile(m_file, m_skip, at); }

    // False when the file must be read again from its start as Windows-1252.
    bool check(const char* base) {
        const bool wideRead = m_utf8.wide(); // some text of the pieces before was not ASCII
        if (m_utf8.scan(base + m_fresh, base + m_got) && !(m_last && m_utf8.open())) return true;
        if (m_marked) RaiseNotAsMarked(m_path, QStringLiteral("UTF-8"), lineAt(m_utf8.faultAt()));
        m_checking = false;
        m_reader.windows1252 = true;
        return !wideRead;
    }

    void restart() {
        m_file.seek(0);
        m_got = static_cast<qsizetype>(ReadInto(m_file, m_buffer.data(), m_buffer.size()));
        m_bufferAt = 0;
        m_rows = m_fresh = m_skip;
        m_last = m_got < m_buffer.size();
        m_sized = false;
        m_reader.restart();
        m_reader.windows1252 = true;
        m_quotes = OpenQuote();
    }

    // After the first piece, the texts' table is sized for as many more per byte in the rest of the
    // file, rather than doubled time and again: its every size is fresh memory. A guess too high costs
    // that memory, so it stops at a million texts (16 MiB of table).
    void sizeTexts(qsizetype left) {
        if (m_sized || !m_reader.table || left <= m_skip) return;
        m_sized = true;
        constexpr double Most = 1 << 20;
        core::TextPool& texts = *m_reader.table->texts();
        const double perByte = static_cast<double>(texts.size()) / static_cast<double>(left - m_skip);
        texts.reserve(static_cast<size_t>(std::min(Most, perByte * static_cast<double>(m_file.size()))));
    }

    // The unfinished row to the buffer's start, and the next piece after it.
    void next(qsizetype left) {
        const qsizetype kept = m_got - left;
        if (kept * 2 > m_buffer.size()) m_buffer.resize(m_buffer.size() * 2); // a row longer than a piece
        std::memmove(m_buffer.data(), m_buffer.constData() + left, static_cast<size_t>(kept));
        m_bufferAt += left;
        const qsizetype wanted = m_buffer.size() - kept;
        const qsizetype read = static_cast<qsizetype>(ReadInto(m_file, m_buffer.data() + kept, wanted));
        m_rows = 0;
        m_fresh = kept;
        m_got = kept + read;
        m_last = read < wanted;
    }

    QFile& m_file;
    const QString& m_path;
    QByteArray& m_buffer;
    Reader& m_reader;
    const bool m_marked;
    const qsizetype m_skip;
    qsizetype m_rows;       // where the text not yet split starts
    qsizetype m_fresh;      // where the bytes not yet scanned for quotes start
    qsizetype m_got;        // the bytes the buffer holds
    qint64 m_bufferAt = 0;  // where in the file the buffer starts
    bool m_last;            // the buffer holds the file's end
    bool m_sized = false;   // the texts' table sized from the first piece
    bool m_checking = true; // the text read so far is UTF-8
    Utf8Check m_utf8;
    OpenQuote m_quotes;
};

} // namespace

SourceTable TextSource::read(const QString& table, const QString& orderBy) {
    const QStringList names = tables();
    const qsizetype index = FindTable(names, table);
    if (index < 0) RaiseTableNotFound(provider::Odbc, table);
    const QString path = QDir(m_folder).filePath(names[index]);
    sourcefile::RequireReadableFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        sourcefile::RaiseBroken(path, QStringLiteral("cannot be read: %1.").arg(file.errorString()));
    // The file is copied rather than mapped: a mapped file that another program cuts short while it
    // is read would end the process.
    constexpr qsizetype Piece = qsizetype(256) << 10;
    QByteArray buffer(Piece, Qt::Uninitialized);
    const qsizetype got = static_cast<qsizetype>(ReadInto(file, buffer.data(), Piece));
    const Encoding encoding = EncodingOf(path, QByteArray::fromRawData(buffer.constData(), got));

    Reader reader(path);
    if (encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE) {
        buffer.truncate(got);
        ReadUtf16(file, path, buffer, encoding == Encoding::Utf16LE, reader);
    } else {
        PieceRead(file, path, buffer, got, encoding == Encoding::Utf8Marked, reader).run();
    }
    if (!reader.table) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
    SourceTable result = std::move(*reader.table);
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString TextSource::describe() const {
    return QStringLiteral("text files in '%1'").arg(m_folder);
}

} // namespace quibo
