#include "sources/backends/TextSource.h"

#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/SplitCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace quibo {

namespace {

// The line (from 1) where a quoted cell opens that the text never closes, as the parser reads
// quotes: one opens a cell only at the cell's start, a doubled one inside is a quote character.
// 0 when every quoted cell closes. The scan leaps from quote to quote; lines are counted only for
// an unclosed one.
int UnclosedQuoteLine(const QByteArray& text) {
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    auto nextQuote = [end](const char* from) {
        return static_cast<const char*>(std::memchr(from, '"', static_cast<size_t>(end - from)));
    };
    const char* at = begin;
    while (const char* quote = at < end ? nextQuote(at) : nullptr) {
        const char before = quote == begin ? ',' : quote[-1];
        if (before != ',' && before != '\n' && before != '\r') { // a quote inside an unquoted cell
            at = quote + 1;
            continue;
        }
        const char* close = quote + 1;
        for (;;) {
            close = close < end ? nextQuote(close) : nullptr;
            if (!close) {
                int line = 1;
                for (const char* c = begin; c < quote; ++c)
                    if (*c == '\r' || (*c == '\n' && (c == begin || c[-1] != '\r'))) ++line;
                return line;
            }
            if (close + 1 < end && close[1] == '"') {
                close += 2;
                continue;
            }
            break;
        }
        at = close + 1;
    }
    return 0;
}

// The file's text as UTF-8: a byte-order mark tells UTF-8 or UTF-16; without one, NUL bytes
// among the first tell UTF-16 that cannot be read safely. UTF-8 is handed back in place: `bytes`
// must outlive the text.
QByteArray Utf8Text(const QString& path, const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QByteArray::fromRawData(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.startsWith("\xFF\xFE");
        QStringDecoder decode(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        const QString text = decode(QByteArrayView(bytes).sliced(2));
        return text.toUtf8();
    }
    if (bytes.left(4096).contains('\0'))
        sourcefile::RaiseBroken(path, QStringLiteral("is text in UTF-16 without a byte-order mark; save it "
                                                     "as UTF-8, or as UTF-16 with a byte-order mark."));
    return bytes;
}

// Rows go straight into the table as the text is split: the first names the columns, the others'
// cells go into the table's texts from their bytes, without a string made for each.
struct Reader {
    // The file's text: a cell's bytes that lie in it stay put until the row ends.
    const char* textBegin = nullptr;
    const char* textEnd = nullptr;
    std::optional<SourceTable> table;
    std::vector<SourceCell> header;
    std::vector<vb::TextPool::Bytes> cells;
    std::vector<vb::TextPool::Id> ids;

    void cell(const char* bytes, size_t size) {
        if (!table) {
            header.push_back(bytes ? SourceCell(QString::fromUtf8(bytes, static_cast<qsizetype>(size)))
                                   : SourceCell());
            return;
        }
        // A quoted cell with a doubled quote comes from the splitter's own buffer, which the next
        // such cell overwrites: it is interned at once.
        if (bytes && (bytes < textBegin || bytes >= textEnd)) {
            ids.push_back(table->texts()->internUtf8(bytes, size));
            cells.push_back({nullptr, 0});
            return;
        }
        ids.push_back(SourceTable::NullText);
        cells.push_back({bytes, size});
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
    // The whole file at once, copied rather than mapped: a mapped file that another program cuts short
    // while it is read would end the process, and a text source is small beside the grid it fills.
    const QByteArray bytes = sourcefile::ReadWhole(file);
    const QByteArray text = Utf8Text(path, bytes);
    // A quote left open would swallow the rest of the file into one cell: nothing is loaded.
    if (const int line = UnclosedQuoteLine(text))
        sourcefile::RaiseBroken(path, QStringLiteral("has a quote opened at line %1 that is never closed; "
                                                     "nothing of it is loaded.")
                                          .arg(line));

    Reader reader;
    reader.textBegin = text.constData();
    reader.textEnd = text.constData() + text.size();
    SplitCsv(
        text.constData(), text.constData() + text.size(),
        [&reader](const char* bytes, size_t size) { reader.cell(bytes, size); }, [&reader] { reader.row(); });

    if (!reader.table) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
    SourceTable result = std::move(*reader.table);
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString TextSource::describe() const {
    return QStringLiteral("text files in '%1'").arg(m_folder);
}

} // namespace quibo
