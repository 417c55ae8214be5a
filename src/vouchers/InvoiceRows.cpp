#include "vouchers/InvoiceRows.h"

#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vouchers/PosterCells.h"
#include "vouchers/VoucherRun.h"

namespace quibo {

using posting::C;

InvoiceCells::InvoiceCells(const VoucherRun& run, int row) : m_run(run), m_row(row) {}

QString InvoiceCells::Text(const char* column) const {
    return m_run.CellIfPresent(m_row, C(column));
}

QString InvoiceCells::Amount(const char* column) const {
    if (!m_run.Has(C(column))) return {};
    return vb::FormatNumber(CellNumber(m_run.Cell(m_row, C(column))), Pattern());
}

QString InvoiceCells::Quantity(const char* column) const {
    const QString cell = Text(column);
    const std::optional<double> number = vb::ToNumber(cell);
    return number ? vb::FormatNumber(*number, Pattern()) : cell;
}

QString InvoiceCells::TaxRate(const char* column) const {
    if (!m_run.Has(C(column))) return {};
    return vb::FormatNumber(CellNumber(QString(Text(column)).remove(QLatin1Char('%'))), Pattern());
}

double InvoiceCells::Value(const QString& amount) {
    return CellNumber(amount);
}

const QString& InvoiceCells::Pattern() const {
    return m_run.DecimalPlaces();
}

QStringList TildePieces(const QString& cell) {
    return cell.split(QLatin1Char('~'), Qt::SkipEmptyParts);
}

bool InvoiceLists::Stage(const VoucherPlace& at, const InvoiceCells& cells, bool wholeAddresses) {
    const auto next = [](int& id) { return QString::number(++id); };
    const QString noteNos = cells.Text("DELNOTENOS");
    const QString noteDates = cells.Text("DELNOTEDATES");
    if (!noteNos.isEmpty() && !noteDates.isEmpty()) {
        InvoiceDelNotesRow note;
        note.BasicShippingDate_ = noteDates;
        note.BasicShipDeliveryNote_ = noteNos;
        if (!SaveInvoiceDelNote(at.errors, at.db, at.company, note, at.voucherId, next(noteId))) return false;
    }
    const QString orderNos = cells.Text("ORDERNOS");
    const QString orderDates = cells.Text("ORDERDATES");
    if (!orderNos.isEmpty() && !orderDates.isEmpty()) {
        InvoiceOrderListRow order;
        order.BasicOrderDate_ = orderDates;
        order.BasicPurchaseOrderNo_ = orderNos;
        if (!SaveInvoiceOrder(at.errors, at.db, at.company, order, at.voucherId, next(orderId))) return false;
    }
    const QString terms = cells.Text("TERMSOFDELIVERY");
    if (!terms.isEmpty() &&
        !SaveBasicOrderTerms(at.errors, at.db, at.company, terms, at.voucherId, next(termsId)))
        return false;
    const auto pieces = [wholeAddresses](const QString& cell) {
        if (wholeAddresses) return cell.isEmpty() ? QStringList() : QStringList{cell};
        return TildePieces(cell);
    };
    for (const QString& piece : pieces(cells.Text("CONSIGNEEADDRESS")))
        if (!SaveBasicBuyerAddress(at.errors, at.db, at.company, piece, at.voucherId, next(consigneeId)))
            return false;
    for (const QString& piece : pieces(cells.Text("BUYERADDRESS")))
        if (!SaveAddress(at.errors, at.db, at.company, piece, at.voucherId, next(buyerId))) return false;
    return true;
}

} // namespace quibo
