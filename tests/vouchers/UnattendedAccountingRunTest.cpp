// End to end: the quibo program run unattended over data/accounting-e2e.xls, the ledgers first, then
// the TDS, service-tax, quick and bank-statement sheets. Each sheet's report file and the vouchers
// the server stored are compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedAccountingVouchers : test::UnattendedRun {
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/accounting-e2e.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedAccountingVouchers, PostsEachSheetAfterTheLedgersAndReportsEachVoucher) {
    const QByteArray ledgers = Post(QStringLiteral("LEDGERS"));
    EXPECT_EQ(ledgers.count("CREATED"), 14) << ledgers.toStdString();
    for (const char* sheet : {"TDSTRANSACTIONS", "SERVICETAXTRANSACTIONS", "QUICKTRANSACTIONS", "BANKSTMT"})
        test::ExpectFile(Post(QString::fromLatin1(sheet)), Data,
                         QString::fromLatin1(sheet).toLower() + QStringLiteral("-report.txt"));
    const QByteArray stored = test::DumpKeeping(StopServer(), [](const pugi::xml_node& child) {
        return std::string_view(child.name()) == "VOUCHER";
    });
    test::ExpectFile(stored, Data, QStringLiteral("accounting-store.xml"));
}

} // namespace
} // namespace quibo
