#include "app/commands/Report.h"

#include "base/FormModel.h"
#include "base/Trap.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"

#include <QFile>

namespace quibo {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr int KeyWidth = 75;
const QString IdKey = QStringLiteral("ID");

// A cell's text on one line of the report: each line break (CR LF, a lone CR, a lone LF) becomes one
// blank, so a reader pairing lines with rows finds every row on its own line. The grid keeps the text.
QString OneLine(QString text) {
    if (!text.contains(u'\r') && !text.contains(u'\n')) return text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

QString PadString(const QString& text, const QString& fill, int side, int width, bool enabled) {
    if (!enabled) return text;
    if (text.size() > width) {
        if (width < 0)
            vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
        return text.left(width);
    }
    const qsizetype k = width - text.size();
    switch (side) {
    case 0:
        return text + fill.repeated(k);
    case 1:
        return fill.repeated(k) + text;
    default:
        return {};
    }
}

bool SaveReport(FormModel& form, const QString& fileName) {
    bool written = false;
    Trap(form.errors(), "F01-0045", [&] {
        WorkGrid& grid = form.GR1;
        QString keyName = QStringLiteral("Name");
        for (int i = 1; i <= grid.ColumnCount(); ++i) {
            if (grid.ColumnHeader(i) == QLatin1String("ID")) {
                keyName = QStringLiteral("ID");
                break;
            }
        }
        // Where that names a column the grid lacks, a column keyed "ID" (headed "Id", say) keys the
        // report: vouchers posted under that key never end with their report lost.
        QString key = vb::UCase(keyName);
        if (grid.FindColumn(key) < 0 && grid.FindColumn(IdKey) >= 0) key = IdKey;

        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            vb::Raise(vb::err::PathFileAccess, QStringLiteral("Path/File access error"));
        for (int r = 1; r <= grid.RowCount(); ++r) {
            const int keyColumn = grid.ColumnIndex(key);
            const QString line =
                PadString(OneLine(grid.CellText(r, keyColumn)), QStringLiteral(" "), 0, KeyWidth, true) +
                OneLine(grid.CellText(r, grid.ColumnCount())) + CrLf;
            const QByteArray bytes = line.toLocal8Bit();
            if (file.write(bytes) != bytes.size())
                vb::Raise(vb::err::PathFileAccess, QStringLiteral("Path/File access error"));
        }
        file.close();
        if (file.error() != QFileDevice::NoError)
            vb::Raise(vb::err::PathFileAccess, QStringLiteral("Path/File access error"));
        written = true;
    });
    return written;
}

QString GeneralDateText(const QDateTime& when, const QLocale& locale) {
    QString datePattern = locale.dateFormat(QLocale::ShortFormat);
    if (!datePattern.contains(QLatin1String("yyyy")))
        datePattern.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QString timePattern = locale.timeFormat(QLocale::LongFormat);
    timePattern.remove(QLatin1Char('t'));
    timePattern = timePattern.trimmed();

    const QString date = locale.toString(when.date(), datePattern);
    if (when.time() == QTime(0, 0)) return date;
    return date + QLatin1Char(' ') + locale.toString(when.time(), timePattern);
}

QString ReportFileName(const QString& folder, const QString& company, const QDateTime& when,
                       const QLocale& locale) {
    QString stamp = GeneralDateText(when, locale);
    stamp.replace(QLatin1Char('/'), QLatin1Char('-'));
    stamp.replace(QLatin1Char(':'), QLatin1Char('.'));
    return folder + QLatin1Char('/') + company + QLatin1Char(' ') + stamp + QStringLiteral(".txt");
}

} // namespace quibo
