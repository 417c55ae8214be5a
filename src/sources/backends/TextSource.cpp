#include "sources/backends/TextSource.h"

#include "sources/backends/ProviderError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csv.h>

#include <optional>

namespace quibo {

namespace {

const QString DriverTag = QStringLiteral("[Microsoft][ODBC Text Driver] ");

// Rows go straight into the table as the parser finishes them: the first names the columns.
struct Reader {
    std::optional<SourceTable> table;
    std::vector<SourceCell> current;

    static void Field(void* text, size_t size, void* self) {
        auto* reader = static_cast<Reader*>(self);
        const char* bytes = static_cast<const char*>(text);
        if (!bytes)
            reader->current.emplace_back();
        else
            reader->current.emplace_back(QString::fromUtf8(bytes, static_cast<qsizetype>(size)));
    }
    static void Row(int, void* self) {
        auto* reader = static_cast<Reader*>(self);
        std::vector<SourceCell> row = std::move(reader->current);
        reader->current.clear();
        if (!reader->table) {
            std::vector<SourceColumn> columns;
            for (size_t c = 0; c < row.size(); ++c)
                columns.push_back({ColumnNameFromHeader(row[c], static_cast<int>(c) + 1), ColumnKind::Text});
            reader->table.emplace(std::move(columns));
            return;
        }
        // A cell beyond the header gets Jet's "F" name.
        while (static_cast<size_t>(reader->table->fieldCount()) < row.size())
            reader->table->addColumn(
                {QStringLiteral("F") + QString::number(reader->table->fieldCount() + 1), ColumnKind::Text});
        reader->table->appendRow(std::move(row));
    }
};

// Blanks and tabs around a cell are part of it: cells are taken as they stand.
int NoSpace(unsigned char) {
    return 0;
}

class Parser {
public:
    Parser() {
        if (csv_init(&m_parser, CSV_EMPTY_IS_NULL) != 0) throw std::bad_alloc();
        csv_set_space_func(&m_parser, NoSpace);
    }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
    ~Parser() { csv_free(&m_parser); }
    csv_parser* get() { return &m_parser; }

private:
    csv_parser m_parser{};
};

} // namespace

TextSource::TextSource(QString folder) : m_folder(std::move(folder)) {
    if (!QFileInfo(m_folder).isDir())
        RaiseProviderError(provider::Odbc,
                           DriverTag + QStringLiteral("'%1' is not a valid path.  Make sure that the "
                                                      "path name is spelled correctly and that you "
                                                      "are connected to the server on which the file "
                                                      "resides.")
                                           .arg(m_folder));
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

    QFile file(QDir(m_folder).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        RaiseProviderError(provider::Odbc,
                           DriverTag + QStringLiteral("Could not open file '%1'.").arg(file.fileName()));

    Reader reader;
    Parser parser;
    // The byte order mark belongs to the file, not to the first column's name.
    if (file.peek(3) == QByteArrayLiteral("\xEF\xBB\xBF")) file.read(3);
    QByteArray chunk;
    while (!(chunk = file.read(1 << 20)).isEmpty())
        if (csv_parse(parser.get(), chunk.constData(), static_cast<size_t>(chunk.size()), Reader::Field,
                      Reader::Row, &reader) != static_cast<size_t>(chunk.size()))
            throw std::bad_alloc();
    csv_fini(parser.get(), Reader::Field, Reader::Row, &reader);

    if (!reader.table) return SourceTable({SourceColumn{QStringLiteral("F1"), ColumnKind::Text}});
    SourceTable result = std::move(*reader.table);
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Odbc);
    return result;
}

QString TextSource::describe() const {
    return QStringLiteral("text files in '%1'").arg(m_folder);
}

} // namespace quibo
