// End to end: the quibo program run unattended over data/stock-e2e.xls: the masters first, then stock
// journals, physical stock, two voucher registers (one in a foreign currency) and attendance. The
// vouchers' report files and what the server stored are compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

#include <string_view>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_VOUCHERS_DATA);

struct UnattendedStock : test::UnattendedRun {
    QByteArray Post(const QString& sheet) {
        return UnattendedRun::Post(Data + QStringLiteral("/stock-e2e.xls"), sheet,
                                   sheet + QStringLiteral(".txt"));
    }
};

TEST_F(UnattendedStock, PostsEachKindAfterItsMastersAndReportsEachVoucher) {
    for (const char* masters : {"UNITS", "GODOWNS", "STOCKITEMS", "LEDGERS"}) {
        const QByteArray report = Post(QString::fromLatin1(masters));
        EXPECT_EQ(report.count("ERROR"), 0) << report.toStdString();
    }
    QByteArray reports;
    for (const char* sheet : {"STOCKJV", "PHYSICALSTOCK", "VOUCHERREGISTER", "SALEREGISTER", "ATTENDANCE"})
        reports += QByteArray("== ") + sheet + "\r\n" + Post(QString::fromLatin1(sheet));
    test::ExpectFile(reports, Data, QStringLiteral("stock-reports.txt"));
    test::ExpectFile(test::DumpKeeping(StopServer(),
                                       [](const pugi::xml_node& child) {
                                           return std::string_view(child.name()) == "VOUCHER";
                                       }),
                     Data, QStringLiteral("stock-store.xml"));
}

} // namespace
} // namespace quibo
