#include "sources/LoaderSource.h"

#include "app/form/FormModel.h"
#include "app/grid/SourceGrid.h"
#include "sources/ConnectionString.h"
#include "sources/SourceTable.h"
#include "vb/Text.h"

#include <QFileInfo>

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
    grid.Bind(table.columnNames(), table.alignments());
    for (int r = 0; r < records; ++r)
        grid.AppendRecord(table.rowTexts(r));
}

void ShowReadingProgress(FormModel& form, int row, int count) {
    static const QString prefix = QStringLiteral("Reading Records => ");
    static const QString panel = QStringLiteral("msg");
    form.stat(prefix + QString::number(row) + QLatin1Char('/') + QString::number(count), panel);
    form.DoEvents();
}

} // namespace quibo
