// End to end: the quibo program run unattended over data/e2e.xls (and e2e-by-id.xls, whose vouchers
// are keyed by an ID column), the ledgers first, then the TRANSACTIONS sheet. The transactions' report file
// and the vouchers the server stored are compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

QByteArray StoredVouchers(const QByteArray& dump) {
    return test::DumpKeeping(
        dump, [](const pugi::xml_node& child) { return std::string_view(child.name()) == "VOUCHER"; });
}

struct UnattendedVouchers : test::UnattendedRun {
    QByteArray Post(const QString& sheet, const QString& workbook = QStringLiteral("e2e.xls")) {
        return UnattendedRun::Post(Data + QLatin1Char('/') + workbook, sheet, sheet + QStringLiteral(".txt"));
    }
};

void ExpectFile(const QByteArray& actual, const QString& name) {
    test::ExpectFile(actual, Data, name);
}

TEST_F(UnattendedVouchers, PostsTheTransactionsAfterTheirLedgersAndReportsEachVoucher) {
    const QByteArray ledgers = Post(QStringLiteral("LEDGERS"));
    EXPECT_EQ(ledgers.count("CREATED"), 4) << ledgers.toStdString();
    ExpectFile(Post(QStringLiteral("TRANSACTIONS")), QStringLiteral("transactions-report.txt"));
    ExpectFile(StoredVouchers(StopServer()), QStringLiteral("store.xml"));
}

TEST_F(UnattendedVouchers, VouchersKeyedByAnIdReportUnderTheirIds) {
    const QString workbook = QStringLiteral("e2e-by-id.xls");
    Post(QStringLiteral("LEDGERS"), workbook);
    ExpectFile(Post(QStringLiteral("TRANSACTIONS"), workbook), QStringLiteral("by-id-report.txt"));
}

} // namespace
} // namespace quibo
