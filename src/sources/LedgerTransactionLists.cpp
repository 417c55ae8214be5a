#include "sources/LedgerTransactionLists.h"

#include "base/FormModel.h"
#include "base/Services.h"
#include "base/SourceGrid.h"
#include "base/Trap.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceTable.h"
#include "sources/LoaderSource.h"
#include "vb/Text.h"

#include <QStringList>

#include <vector>

namespace quibo {

namespace {

// "select <columns> from" the table read: the named columns in the order named,
// each found as the engine finds it; a column the table lacks raises.
SourceTable SelectColumns(const SourceTable& table, const QStringList& names, const QString& provider) {
    std::vector<int> picked;
    std::vector<SourceColumn> columns;
    for (const QString& name : names) {
        const int c = table.columnIndex(name);
        if (c < 0) RaiseColumnNotFound(provider, name);
        picked.push_back(c);
        columns.push_back(table.columns()[static_cast<size_t>(c)]);
    }
    SourceTable selected(std::move(columns));
    for (int r = 0; r < table.recordCount(); ++r) {
        std::vector<SourceCell> cells;
        for (const int c : picked)
            cells.push_back(table.cell(r, c));
        selected.appendRow(std::move(cells));
    }
    return selected;
}

} // namespace

void LoadRec(SourceGrid& grid, const SourceTable& records) {
    const int fields = records.fieldCount();
    grid.SetCols(fields);
    grid.SetRows(records.recordCount() + 1);
    for (int c = 0; c < fields; ++c)
        grid.SetTextMatrix(0, c, records.columns()[static_cast<size_t>(c)].name);
    for (int r = 0; r < records.recordCount(); ++r)
        for (int c = 0; c < fields; ++c)
            grid.SetTextMatrix(r + 1, c, records.text(r, c));
}

void LoadLedgerTransactionLists(FormModel& form, const ConnectionOpener& open) {
    Trap(form.errors(), "F01-0028", [&] {
        const QString& path = form.txtFilePath;
        if (path.isEmpty()) {
            form.services().messages.show(MessageBoxRequest{QStringLiteral("File Path not entered"),
                                                            QStringLiteral("Excel to Tally"),
                                                            MsgIcon::Critical, MsgButtons::OkOnly, 0});
            return;
        }
        // An .xlsx workbook is read through the Excel driver, like the table loader reads it.
        const LoaderSource source = LoaderSource::Excel(path);
        const QString provider =
            vb::UCase(path.right(5)) == QLatin1String(".XLSX") ? provider::Odbc : provider::Jet;
        const std::unique_ptr<Source> connection = source.open(open);
        LoadRec(form.lstLedgerTree, connection->read(QStringLiteral("Ledgers$")));
        static const QStringList transactionColumns = {QStringLiteral("ID"),      QStringLiteral("VchType"),
                                                       QStringLiteral("VchNo"),   QStringLiteral("RefNo"),
                                                       QStringLiteral("VchDate"), QStringLiteral("Narration"),
                                                       QStringLiteral("Ledger"),  QStringLiteral("Debit"),
                                                       QStringLiteral("Credit"),  QStringLiteral("Remark")};
        LoadRec(form.lstTransactions, SelectColumns(connection->read(QStringLiteral("Transactions$")),
                                                    transactionColumns, provider));
    });
}

} // namespace quibo
