// End to end: the quibo program run unattended over the fixture workbook data/e2e.xls, one run per
// sheet as a scheduler would start them. The report file of each run and what the server stored are
// compared with the files in data/expected/.

#include "support/UnattendedRun.h"

#include <pugixml.hpp>

namespace quibo {
namespace {

const QString Data = QStringLiteral(QUIBO_MASTERS_DATA);

// The masters the runs stored, without those every new company holds from the start (they carry
// RESERVEDNAME).
QByteArray PostedMasters(const QByteArray& dump) {
    return test::DumpKeeping(dump,
                             [](const pugi::xml_node& master) { return !master.attribute("RESERVEDNAME"); });
}

struct Unattended : test::UnattendedRun {
    QByteArray Post(const QString& sheet, const QString& reportName) {
        return UnattendedRun::Post(Data + QStringLiteral("/e2e.xls"), sheet, reportName);
    }
};

void ExpectFile(const QByteArray& actual, const QString& name) {
    test::ExpectFile(actual, Data, name);
}

TEST_F(Unattended, PostsEachSheetAndReportsEveryRow) {
    ExpectFile(Post(QStringLiteral("UNITS"), QStringLiteral("units.txt")),
               QStringLiteral("units-report.txt"));
    ExpectFile(Post(QStringLiteral("STOCKITEMS"), QStringLiteral("items.txt")),
               QStringLiteral("stockitems-report.txt"));
    ExpectFile(Post(QStringLiteral("LEDGERS"), QStringLiteral("ledgers.txt")),
               QStringLiteral("ledgers-report.txt"));
    // Posted again, the ledgers the server took are altered, the refused one is refused again.
    ExpectFile(Post(QStringLiteral("LEDGERS"), QStringLiteral("again.txt")),
               QStringLiteral("ledgers-again-report.txt"));
    ExpectFile(PostedMasters(StopServer()), QStringLiteral("store.xml"));
}

} // namespace
} // namespace quibo
