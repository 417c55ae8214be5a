#include "sources/backends/SourceCell.h"

#include "vb/Date.h"
#include "vb/Number.h"

namespace quibo {

namespace {

struct TextOf {
    QString operator()(std::monostate) const { return {}; }
    QString operator()(const QString& text) const { return text; }
    QString operator()(double number) const { return vb::NumberText(number); }
    QString operator()(qint64 number) const { return QString::number(number); }
    QString operator()(bool value) const { return value ? QStringLiteral("True") : QStringLiteral("False"); }
    QString operator()(const QDateTime& value) const {
        if (!value.isValid()) return {};
        // A time of day is held on VB's zero date, which VB leaves out when it shows one.
        if (value.date() == QDate(1899, 12, 30)) return vb::FormatDate(value, u"hh:nn:ss");
        if (value.time() == QTime(0, 0)) return vb::FormatDate(value, u"dd-mmm-yyyy");
        return vb::FormatDate(value, u"dd-mmm-yyyy hh:nn:ss");
    }
};

} // namespace

QString CellText(const SourceCell& cell) {
    return std::visit(TextOf{}, cell);
}

QString ColumnNameFromHeader(const SourceCell& header, int columnNumber) {
    const QString text = CellText(header);
    return text.isEmpty() ? QStringLiteral("F") + QString::number(columnNumber) : text;
}

} // namespace quibo
