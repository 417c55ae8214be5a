// End to end: the quibo program run unattended over data/invoices.xls, the masters first, then the
// "ITEM TRANSACTIONS" and "VATTRANSACTIONS" sheets. Their report files and the invoices the server
// stored are compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedInvoices : test::UnattendedRun {
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/invoices.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedInvoices, PostsBothInvoiceKindsAfterTheirMastersAndReportsEachInvoice) {
    for (const char* masters : {"LEDGERS", "UNITS", "GODOWNS", "STOCKITEMS"}) {
        const QByteArray report = Post(QString::fromLatin1(masters));
        EXPECT_FALSE(report.contains("ERROR")) << report.toStdString();
    }
    test::ExpectFile(Post(QStringLiteral("ITEMTRANSACTIONS")), Data,
                     QStringLiteral("item-transactions-report.txt"));
    test::ExpectFile(Post(QStringLiteral("VATTRANSACTIONS")), Data,
                     QStringLiteral("vat-transactions-report.txt"));
    const QByteArray stored = test::DumpKeeping(StopServer(), [](const pugi::xml_node& child) {
        return std::string_view(child.name()) == "VOUCHER";
    });
    test::ExpectFile(stored, Data, QStringLiteral("invoices-store.xml"));
}

} // namespace
} // namespace quibo
