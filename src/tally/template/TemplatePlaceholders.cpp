#include "tally/template/TemplatePlaceholders.h"

#include "base/WorkGrid.h"
#include "tally/XmlBuilders.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"

namespace quibo {

QString FillPlaceholders(const WorkGrid& grid, int row, const QString& text, PlaceholderUse use,
                         int recordNumber, int setNumber) {
    const bool byKey = use != PlaceholderUse::ValueText;
    const bool byNumber = use != PlaceholderUse::FragmentPiece;
    const bool byDollar = use == PlaceholderUse::GroupCondition;
    QString result = text;
    const int columns = grid.ColumnCount();
    for (int k = 1; k <= columns; ++k) {
        // Most texts name few columns: look before reading or converting a cell.
        if (byKey) {
            const QString placeholder = QLatin1Char('{') + grid.ColumnKey(k) + QLatin1Char('}');
            if (result.contains(placeholder)) {
                const QString& cell = grid.CellText(row, k);
                // A cell pasted into a fragment is data, not markup: "Smith & Sons" must not
                // break the fragment's parse.
                result.replace(placeholder, use == PlaceholderUse::FragmentPiece ? EscapeXml(cell) : cell);
            }
        }
        if (byNumber) {
            const QString placeholder = QStringLiteral("{#%1}").arg(k);
            if (result.contains(placeholder)) {
                const QString& cell = grid.CellText(row, k);
                // A condition compares amounts: "1,25,000" is 125000, not the 1 before its comma.
                result.replace(placeholder, use == PlaceholderUse::GroupCondition
                                                ? vb::NumberText(CellNumber(cell))
                                                : cell);
            }
        }
        if (byDollar) {
            const QString placeholder = QStringLiteral("{$%1}").arg(k);
            if (result.contains(placeholder)) result.replace(placeholder, grid.CellText(row, k));
        }
    }
    if (use == PlaceholderUse::GroupCondition) {
        result.replace(QStringLiteral("{#REC}"), QString::number(recordNumber));
        result.replace(QStringLiteral("{#SET}"), QString::number(setNumber));
    }
    return result;
}

} // namespace quibo
