// End to end: the quibo program run unattended over data/formats-e2e.xls after the formats
// "TRANSACTIONSGST" and "PETTYCASH" were written into its local database: the ledgers first, then
// the GST transactions and the user's own voucher format. The reports and the vouchers the server
// stored are compared with the files in data/expected/.

#include "localdb/LocalDatabase.h"
#include "support/UnattendedRun.h"
#include "vouchers/VoucherFormats.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedFormatVouchers : test::UnattendedRun {
    void SetUp() override {
        UnattendedRun::SetUp();
        LocalDatabase db(folder.file(QStringLiteral("home")));
        test::StoreGstFormat(db);
        test::StorePettyCashFormat(db);
    }
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/formats-e2e.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedFormatVouchers, PostsGstAndOwnFormatVouchersUnderTheCompaniesOfTheirRows) {
    EXPECT_EQ(Post(QStringLiteral("LEDGERS")).count("CREATED"), 12);
    test::ExpectFile(Post(QStringLiteral("TRANSACTIONSGST")), Data, QStringLiteral("formats-gst-report.txt"));
    test::ExpectFile(Post(QStringLiteral("PETTYCASH")), Data, QStringLiteral("formats-pettycash-report.txt"));
    const QByteArray vouchers = test::DumpKeeping(StopServer(), [](const pugi::xml_node& child) {
        return std::string_view(child.name()) == "VOUCHER";
    });
    test::ExpectFile(vouchers, Data, QStringLiteral("formats-store.xml"));
}

} // namespace
} // namespace quibo
