// End to end: the quibo program run unattended over data/cost-tax-e2e.xls, the ledgers and cost
// centres first, then the debit/credit notes, the cost-centre and the service-tax/TDS transactions.
// Each sheet's report file and the vouchers the server stored are compared with data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedCostTax : test::UnattendedRun {
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/cost-tax-e2e.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedCostTax, PostsNotesCostCentreAndTaxVouchersAndReportsEach) {
    EXPECT_EQ(Post(QStringLiteral("LEDGERS")).count("CREATED"), 10);
    EXPECT_EQ(Post(QStringLiteral("COSTCENTRES")).count("CREATED"), 2);
    for (const char* sheet : {"CRDRNOTES", "COSTTRANSACTIONS", "STTDSTRANSACTIONS"}) {
        const QString name = QString::fromLatin1(sheet);
        test::ExpectFile(Post(name), Data, name.toLower() + QStringLiteral("-report.txt"));
    }
    test::ExpectFile(test::DumpKeeping(StopServer(),
                                       [](const pugi::xml_node& child) {
                                           return std::string_view(child.name()) == "VOUCHER";
                                       }),
                     Data, QStringLiteral("cost-tax-store.xml"));
}

} // namespace
} // namespace quibo
