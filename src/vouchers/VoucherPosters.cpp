#include "vouchers/VoucherPosters.h"

namespace quibo {

const std::vector<VoucherPoster>& VoucherPosters() {
    // One line per poster, in the order of the import types.
    static const std::vector<VoucherPoster> posters = {
        {QStringLiteral("PostTransaction"), &PostTransaction},
        {QStringLiteral("PostCostTransaction"), &PostCostTransaction},
        {QStringLiteral("PostSTTDSTransaction"), &PostSTTDSTransaction},
        {QStringLiteral("PostCrDrNotes"), &PostCrDrNotes},
    };
    return posters;
}

} // namespace quibo
