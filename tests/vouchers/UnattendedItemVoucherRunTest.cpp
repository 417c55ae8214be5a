// End to end: the quibo program run unattended over data/e2e-items.xls, the units, stock items and
// ledgers first, then the VATTRANSACTIONSMC, ORDERS and NOTES sheets. Their report files and the
// vouchers the server stored are compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedItemVouchers : test::UnattendedRun {
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/e2e-items.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedItemVouchers, PostsInvoicesOrdersAndNotesAfterTheirMastersAndReportsEachVoucher) {
    for (const char* masters : {"UNITS", "STOCKITEMS", "LEDGERS"}) {
        const QByteArray report = Post(QString::fromLatin1(masters));
        EXPECT_FALSE(report.contains("ERROR")) << report.toStdString();
    }
    for (const char* sheet : {"VATTRANSACTIONSMC", "ORDERS", "NOTES"}) {
        const QString name = QString::fromLatin1(sheet);
        test::ExpectFile(Post(name), Data, name.toLower() + QStringLiteral("-report.txt"));
    }
    test::ExpectFile(test::DumpKeeping(StopServer(),
                                       [](const pugi::xml_node& child) {
                                           return std::string_view(child.name()) == "VOUCHER";
                                       }),
                     Data, QStringLiteral("items-store.xml"));
}

} // namespace
} // namespace quibo
