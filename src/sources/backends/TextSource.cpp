#include "sources/backends/TextSource.h"

#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/SplitCsv.h"

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

// Finds a quoted cell that the text never closes, as the parser reads quotes: one opens a cell
// only at the cell's start, a doubled one inside is a quote character. The text is given piece by
// piece; the scan leaps from quote to quote.
class OpenQuote {
public:
    void scan(const char* const begin, const char* const end) {
        const char* at = begin;
        if (m_quoteLast && at < end) { // a quote ended the last piece: this one tells if it is doubled
            m_quoteLast = false;
            if (*at == '"')
                ++at;
            else
                m_open = false;
        }
        auto nextQuote = [end](const char* from) {
            return static_cast<const char*>(std::memchr(from, '"', static_cast<size_t>(end - from)));
        };
        while (at < end) {
            const char* quote = nextQuote(at);
            if (!quote) break;
            if (m_open) {
                if (quote + 1 == end) {
                    m_quoteLast = true;
                    break;
                }
                at = quote[1] == '"' ? quote + 2 : quote + 1;
                m_open = quote[1] == '"';
                continue;
            }
            const char before = quote == begin ? m_last : quote[-1];
            at = quote + 1;
            if (before != ',' && before != '\n' && before != '\r') continue; // inside an unquoted cell
            m_open = true;
            m_openedAt = m_offset + (quote - begin);
        }
        if (end > begin) m_last = end[-1];
        m_offset += end - begin;
    }
    // Where, from the text's start, the quote opens that the text never closes; -1 when none.
    qint64 unclosedAt() const { return m_open && !m_quoteLast ? m_openedAt : -1; }

private:
    qint64 m_offset = 0; // of the next piece
    char m_last = ',';   // the character before the next piece: the text's start opens a cell
    bool m_open = false;
    bool m_quoteLast = false;
    qint64 m_openedAt = -1;
};

// The line (from 1) that a place in the text is on.
int LineAt(const char* begin, const char* at) {
    int line = 1;
    for (const char* c = begin; c < at; ++c)
        if (*c == '\r' || (*c == '\n' && (c == begin || c[-1] != '\r'))) ++line;
    return line;
}

// How the file's text is written, told from its first bytes: a byte-order mark tells UTF-8 or
// UTF-16; without one, NUL bytes among the first tell UTF-16 that cannot be read safely, and the
// rest is UTF-8 or Windows-1252 (Utf8Check).
enum class Encoding { Utf8, Utf8Marked, Utf16LE, Utf16BE };

// Tells whether a text given piece by piece is UTF-8 as a whole: every sequence well formed (no
// overlong form, no surrogate, nothing past U+10FFFF) and none cut off at the text's end.
class Utf8Check {
public:
    // Checks the next piece; false at the first byte that UTF-8 does not allow there.
    bool scan(const char* begin, const char* end) {
        const auto* p = reinterpret_cast<const unsigned char*>(begin);
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
        return true;
    }
    // The text so far ends inside a sequence: at the text's end, it is not UTF-8.
    bool open() const { return m_need > 0; }
    // Some byte so far was not ASCII.
    bool wide() const { return m_wide; }

private:
    int m_need = 0;                            // continuation bytes still to come
    unsigned char m_low = 0x80, m_high = 0xBF; // the range of the next one
    bool m_wide = false;
};

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

Encoding EncodingOf(const QString& path, const QByteArray& head) {
    if (head.startsWith("\xEF\xBB\xBF")) return Encoding::Utf8Marked;
    if (head.startsWith("\xFF\xFE")) return Encoding::Utf16LE;
    if (head.startsWith("\xFE\xFF")) return Encoding::Utf16BE;
    if (head.left(4096).contains('\0'))
        sourcefile::RaiseBroken(path, QStringLiteral("is text in UTF-16 without a byte-order mark; save it "
                                                     "as UTF-8, or as UTF-16 with a byte-order mark."));
    return Encoding::Utf8;
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

// Rows go straight into the table as the text is split: the first names the columns, the others'
// cells go into the table's texts from their bytes, without a string made for each.
struct Reader {
    // The file's text: a cell's bytes that lie in it stay put until the row ends.
    const char* textBegin = nullptr;
    const char* textEnd = nullptr;
    bool windows1252 = false; // else UTF-8
    std::optional<SourceTable> table;
    std::vector<SourceCell> header;
    std::vector<core::TextPool::Bytes> cells;
    std::vector<core::TextPool::Id> ids;

    QString text(const char* bytes, size_t size) const {
        return windows1252 ? Windows1252(bytes, size)
                           : QString::fromUtf8(bytes, static_cast<qsizetype>(size));
    }
    core::TextPool::Id intern(const char* bytes, size_t size) {
        // ASCII reads alike in both.
        if (windows1252 && HasHighBytes(bytes, size)) return table->texts()->intern(Windows1252(bytes, size));
        return table->texts()->internUtf8(bytes, size);
    }

    void cell(const char* bytes, size_t size) {
        if (!table) {
            header.push_back(bytes ? SourceCell(text(bytes, size)) : SourceCell());
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
        // A cell beyond the header gets Jet's "F" name.
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
    for (const QFileInfo& file :
         dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase)) {
        const QString suffix = file.suffix().toLower();
        if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) names.append(file.fileName());
    }
    return names;
}

SourceTable TextSource::read(const QString& table, const QString& orderBy) {
    const QStringList names = tables();
    const qsizetype index = FindTable(names, table);
    if (index < 0) RaiseTableNotFound(provider::Odbc, table);
    const QString& fileName = names[index];

    const QString path = QDir(m_folder).filePath(fileName);
    sourcefile::RequireReadableFile(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        sourcefile::RaiseBroken(path, QStringLiteral("cannot be read: %1.").arg(file.errorString()));
    // The file is copied rather than mapped: a mapped file that another program cuts short while it
    // is read would end the process. It is read a piece at a time into one buffer, which holds the
    // row a piece leaves unfinished and the next piece: its pages stay warm, where the whole file
    // would take as much fresh memory again as the table.
    constexpr qsizetype Piece = qsizetype(256) << 10;
    QByteArray buffer(Piece, Qt::Uninitialized);
    qsizetype got = static_cast<qsizetype>(ReadInto(file, buffer.data(), Piece));
    const Encoding encoding = EncodingOf(path, QByteArray::fromRawData(buffer.constData(), got));

    Reader reader;
    OpenQuote quotes;
    auto cell = [&reader](const char* bytes, size_t size) { reader.cell(bytes, size); };
    auto row = [&reader] { reader.row(); };
    if (encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE) {
        buffer.truncate(got);
        buffer.append(sourcefile::ReadWhole(file));
        QStringDecoder decode(encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
        const QByteArray text = QString(decode(QByteArrayView(buffer).sliced(2))).toUtf8();
        quotes.scan(text.constData(), text.constData() + text.size());
        if (const qint64 at = quotes.unclosedAt(); at >= 0)
            RaiseUnclosed(path, LineAt(text.constData(), text.constData() + at));
        reader.textBegin = text.constData();
        reader.textEnd = text.constData() + text.size();
        SplitCsv(reader.textBegin, reader.textEnd, cell, row);
    } else {
        const qsizetype skip = encoding == Encoding::Utf8Marked ? 3 : 0;
        qsizetype rows = skip;  // where the text not yet split starts
        qsizetype fresh = skip; // where the bytes not yet scanned for quotes start
        bool last = got < Piece;
        bool sized = false; // the texts' table sized from the first piece
        // Without a mark, the file is UTF-8 when it is valid UTF-8 as a whole and Windows-1252 when it
        // is not. Each piece is checked before it is split; at the first byte that is not UTF-8, the
        // texts read so far were ASCII, which both read alike, and the rest is read as Windows-1252,
        // or some were not, and the file is read again from its start.
        Utf8Check utf8;
        bool checking = encoding == Encoding::Utf8;
        for (;;) {
            const char* const base = buffer.constData();
            if (checking) {
                const bool wideRead = utf8.wide(); // some text of the pieces before was not ASCII
                if (!utf8.scan(base + fresh, base + got) || (last && utf8.open())) {
                    checking = false;
                    if (wideRead) {
                        file.seek(0);
                        got = static_cast<qsizetype>(ReadInto(file, buffer.data(), buffer.size()));
                        rows = fresh = skip;
                        last = got < buffer.size();
                        sized = false;
                        reader = Reader();
                        reader.windows1252 = true;
                        quotes = OpenQuote();
                        continue;
                    }
                    reader.windows1252 = true;
                }
            }
            quotes.scan(base + fresh, base + got);
            reader.textBegin = base + rows;
            reader.textEnd = base + got;
            if (last) {
                if (const qint64 at = quotes.unclosedAt(); at >= 0) {
                    file.seek(0);
                    const QByteArray bytes = sourcefile::ReadWhole(file);
                    const char* const text = bytes.constData() + std::min(skip, bytes.size());
                    RaiseUnclosed(path, LineAt(text, text + std::min<qint64>(at, bytes.constEnd() - text)));
                }
                SplitCsv(reader.textBegin, reader.textEnd, cell, row);
                break;
            }
            const qsizetype left = SplitCsvRows(reader.textBegin, reader.textEnd, cell, row) - base;
            reader.dropRow();
            // After the first piece, the texts' table is sized for as many more per byte in the
            // rest of the file, rather than doubled time and again: its every size is fresh memory.
            // A guess too high costs that memory, so it stops at a million texts (16 MiB of table).
            if (!sized && reader.table && left > skip) {
                sized = true;
                constexpr double Most = 1 << 20;
                const double perByte =
                    static_cast<double>(reader.table->texts()->size()) / static_cast<double>(left - skip);
                reader.table->texts()->reserve(
                    static_cast<size_t>(std::min(Most, perByte * static_cast<double>(file.size()))));
            }
            const qsizetype kept = got - left;
            if (kept * 2 > buffer.size()) buffer.resize(buffer.size() * 2); // a row longer than a piece
            std::memmove(buffer.data(), buffer.constData() + left, static_cast<size_t>(kept));
            const qsizetype wanted = buffer.size() - kept;
            const qsizetype read = static_cast<qsizetype>(ReadInto(file, buffer.data() + kept, wanted));
            rows = 0;
            fresh = kept;
            got = kept + read;
            last = read < wanted;
        }
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
