#include "vouchers/VoucherPosters.h"

namespace quibo {

const std::vector<VoucherPoster>& VoucherPosters() {
    // One line per poster, in the order of the import types.
    static const std::vector<VoucherPoster> posters = {
        {QStringLiteral("PostTransaction"), &PostTransaction},
        {QStringLiteral("PostTransactionGST"), &PostTransactionGST},
        {QStringLiteral("PostCustomFormat"), &PostCustomFormat},
        {QStringLiteral("PostQuickTransaction"), &PostQuickTransaction},
        {QStringLiteral("PostBankStmt"), &PostBankStmt},
        {QStringLiteral("PostServTaxTransaction"), &PostServTaxTransaction},
        {QStringLiteral("PostTDSTransaction"), &PostTDSTransaction},
        {QStringLiteral("PostVATTransactionMC"), &PostVATTransactionMC},
        {QStringLiteral("PostOrders"), &PostOrders},
        {QStringLiteral("PostNotes"), &PostNotes},
        {QStringLiteral("PostStockJV"), &PostStockJV},
        {QStringLiteral("PostPhysicalStock"), &PostPhysicalStock},
        {QStringLiteral("PostAttendance"), &PostAttendance},
        {QStringLiteral("PostVoucherRegister"), qOverload<FormModel&, TallyLink&>(&PostVoucherRegister)},
        {QStringLiteral("PostItemizedTransaction"), &PostItemizedTransaction},
        {QStringLiteral("PostVATTransaction"), &PostVATTransaction},
        {QStringLiteral("PostCostTransaction"), &PostCostTransaction},
        {QStringLiteral("PostSTTDSTransaction"), &PostSTTDSTransaction},
        {QStringLiteral("PostCrDrNotes"), &PostCrDrNotes},
    };
    return posters;
}

} // namespace quibo
