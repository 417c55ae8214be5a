// Every voucher poster reports a run-time error under its own location code.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct PosterLocations : test::PostingFixture {};

TEST_F(PosterLocations, ASourceWithoutTheRequiredColumnsEndsEachRunUnderItsPostersCode) {
    CurlTransport transport;
    TallyLink link{settings, errors, transport};
    const std::pair<void (*)(FormModel&, TallyLink&), const char*> posters[] = {
        {&PostTransaction, "F01-0023"},
        {&PostTransactionGST, "F01-0023"},
        {&PostCustomFormat, "F01-0023"},
        {&PostTDSTransaction, "F01-0023A"},
        {&PostServTaxTransaction, "F01-0023B"},
        {&PostQuickTransaction, "F01-0023C"},
        {&PostBankStmt, "F01-0023D"},
        {&PostVATTransactionOOO, "F01-0023000"},
        {&PostItemizedTransaction, "F01-0024"},
        {&PostVATTransaction, "F01-0024A"},
        {&PostVATTransactionXX, "F01-0024A"},
        {&PostVATTransactionMC, "F01-0024MC"},
        {&PostCostTransaction, "F01-0025"},
        {&PostSTTDSTransaction, "F01-0025A"},
        {qOverload<FormModel&, TallyLink&>(&PostVoucherRegister), "F01-0026"},
        {&PostOrders, "F01-0047"},
        {&PostNotes, "F01-0048"},
        {&PostStockJV, "F01-0049"},
        {&PostCrDrNotes, "F01-0050"},
        {&PostPhysicalStock, "F01-0051"},
        {&PostAttendance, "F01-0055"},
    };
    for (const auto& [post, code] : posters) {
        boxes.shown.clear();
        Load({QStringLiteral("REMARKS")}, {{QStringLiteral("x")}});
        post(form, link);
        EXPECT_EQ(Locations(), QStringList({QString::fromLatin1(code)})) << code;
    }
    EXPECT_EQ(link.RequestsPosted(), 0u);
}

} // namespace
} // namespace quibo
