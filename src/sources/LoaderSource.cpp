#include "sources/LoaderSource.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/SourceGrid.h"
#include "base/WorkGrid.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/SourceTable.h"
#include "vb/Text.h"

#include <QFileInfo>

#include <charconv>

namespace quibo {

LoaderSource LoaderSource::Excel(const QString& path) {
    LoaderSource source;
    source.kind = LoaderKind::Excel;
    const QString extension = vb::UCase(path.right(4));
    if (extension == QLatin1String(".CSV") || extension == QLatin1String(".TXT")) {
        // The directory lookup's name: "" for a file that is not there, which no table matches.
        const QFileInfo info(path);
        source.isTextFile = true;
        source.textFile = info.isFile() ? info.fileName() : QString();
        source.connection = TextConnectionString(TextFileFolder(path));
    } else if (vb::UCase(path.right(5)) == QLatin1String(".XLSX")) {
        // The Jet provider reads no .xlsx; the driver that listed its sheets reads them too.
        source.connection = XlsxConnectionString(path);
    } else {
        source.connection = ExcelConnectionString(path);
    }
    return source;
}

LoaderSource LoaderSource::Access(const QString& path, const QString& /*user*/, const QString& password) {
    // No Access connection carries the user: the Open call gets "" for both.
    LoaderSource source;
    source.kind = LoaderKind::Access;
    source.connection = AccessConnectionString(path, password);
    return source;
}

LoaderSource LoaderSource::Odbc(const QString& dataSourceName, const QString& user, const QString& password) {
    LoaderSource source;
    source.kind = LoaderKind::Odbc;
    source.connection = OdbcConnectionString(dataSourceName);
    source.user = user;
    source.password = password;
    return source;
}

std::unique_ptr<Source> LoaderSource::open(const ConnectionOpener& opener) const {
    return opener(connection, user, password);
}

QString LoaderSource::sheetSuffix() const {
    return kind == LoaderKind::Excel ? QStringLiteral("$") : QString();
}

int CellAlignment(int code) {
    if (code >= 1 && code <= 3) return 0;
    if (code >= 4 && code <= 6) return 1;
    if (code >= 7 && code <= 9) return 2;
    return -1;
}

std::vector<int> CopyAlignments(const SourceGrid& grid, int fieldCount, int records) {
    std::vector<int> alignment(static_cast<size_t>(fieldCount), -1);
    if (records >= 1)
        for (int c = 0; c < fieldCount; ++c)
            alignment[static_cast<size_t>(c)] = CellAlignment(grid.ColAlignment(c));
    return alignment;
}

void BindSourceGrid(SourceGrid& grid, const SourceTable& table) {
    const int records = table.recordCount();
    if (records < 1) {
        // Nothing to bind: the grid keeps its columns and shows two blank rows.
        grid.SetRows(2);
        for (int r = 0; r < grid.Rows(); ++r)
            for (int c = 0; c < grid.Cols(); ++c)
                grid.SetTextMatrix(r, c, QString());
        return;
    }
    // The grid takes the table's texts as they are; only numbers and dates get theirs written.
    grid.Bind(table.columnNames(), table.alignments(), table.texts());
    std::vector<vb::TextPool::Id> ids;
    for (int r = 0; r < records; ++r) {
        table.rowTextIds(r, ids);
        grid.AppendRecord(ids);
    }
}

int BuildWorkColumns(WorkGrid& gr1, const QStringList& fields, bool addId) {
    gr1.Clear(true);
    gr1.SetRedraw(false);
    for (const QString& field : fields)
        gr1.AddColumn(vb::UCase(field), field);
    int idColumn = 0;
    if (addId) {
        gr1.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
        idColumn = gr1.ColumnCount();
    }
    gr1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    return idColumn;
}

VoucherIdColumns VoucherIdColumns::Find(ErrorReporter& errors, const SourceGrid& grid) {
    VoucherIdColumns columns;
    columns.vchType = GetColumnIndex(errors, grid, QStringLiteral("VchType"));
    for (const char* part : {"VchNo", "VchDate", "RefNo"})
        if (const int c = GetColumnIndex(errors, grid, QString::fromLatin1(part)); c >= 0)
            columns.parts.push_back(c);
    return columns;
}

QString VoucherIdColumns::idOf(const SourceGrid& grid, int row) const {
    // Built in one buffer: asked once per loaded row.
    const QString& type = grid.TextMatrix(row, vchType);
    qsizetype length = type.size();
    for (const int c : parts)
        length += 1 + grid.TextMatrix(row, c).size();
    QString id;
    id.reserve(length);
    id += type;
    for (const int c : parts) {
        id += QLatin1Char('-');
        id += grid.TextMatrix(row, c);
    }
    return id;
}

void ShowReadingProgress(FormModel& form, int row, int count) {
    static const QString panel = QStringLiteral("msg");
    // "Reading Records => r/n" in one allocation: it is written once per row.
    static const QString prefix = QStringLiteral("Reading Records => ");
    char digits[2 * 12 + 1];
    char* end = std::to_chars(digits, digits + 12, row).ptr;
    *end++ = '/';
    end = std::to_chars(end, end + 12, count).ptr;
    const qsizetype length = end - digits;
    QString text;
    text.reserve(prefix.size() + length);
    text += prefix;
    text += QLatin1StringView(digits, length);
    form.stat(text, panel);
    form.DoEvents();
}

void FinishLoad(FormModel& form, LoaderKind kind, const QStringList& fields) {
    form.stat(QString(), QStringLiteral("msg"));
    for (const QString& field : fields)
        form.GR1.FitColumn(vb::UCase(field));
    // The Excel loader has always left one more blank row than the others; the posters accept both.
    if (kind == LoaderKind::Excel) form.GR1.AddRow();
    form.GR1.SetRedraw(true);
    form.lstLedgerTree.SetRedraw(true);
}

} // namespace quibo
