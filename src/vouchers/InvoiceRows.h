#pragma once

// What the invoice posters share: how their cells read, the header and lists of a VAT invoice, and
// the one outcome of a voucher whose allocations come before any ledger line.

#include <QString>
#include <QStringList>

namespace quibo {

class VoucherRun;
struct VoucherPlace;

inline const QString ItemBeforeLedgerLine =
    QStringLiteral("ERROR: item or allocation before the first ledger line");

// One grid row of an invoice sheet, read as the invoice posters read it.
class InvoiceCells {
public:
    InvoiceCells(const VoucherRun& run, int row);
    // The cell as it stands; "" when the source lacks the column.
    QString Text(const char* column) const;
    // An amount cell formatted by the number pattern; "" when the source lacks the column.
    QString Amount(const char* column) const;
    // A quantity or rate cell: a number formatted by the pattern, any other text as it stands.
    QString Quantity(const char* column) const;
    // A tax rate: every "%" removed, then formatted as an amount ("12.5%" gives 12.500).
    QString TaxRate(const char* column) const;
    // The number an amount text (one of the above) stands for.
    static double Value(const QString& amount);
    const QString& Pattern() const;

private:
    const VoucherRun& m_run;
    int m_row;
};

// The pieces of a cell cut at every "~", empty ones left out, each as it stands.
QStringList TildePieces(const QString& cell);

// The voucher-level lists of a VAT invoice row: delivery note, order, order terms, consignee and
// buyer addresses, each with its own counter (advanced before its row). Addresses are cut at "~"
// into one row per piece, or, `wholeAddresses`, stored as whole cells.
struct InvoiceLists {
    int noteId = 1;
    int orderId = 1;
    int termsId = 1;
    int consigneeId = 1;
    int buyerId = 1;
    bool Stage(const VoucherPlace& at, const InvoiceCells& cells, bool wholeAddresses);
};

} // namespace quibo
