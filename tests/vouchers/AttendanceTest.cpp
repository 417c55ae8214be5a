// What PostAttendance stages, where its voucher ids start, and the bytes one voucher goes out as.

#include "vouchers/PostingFixture.h"
#include "vouchers/VoucherPosters.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

const QStringList Fields = {"VCHTYPE",   "VCHNO",    "VCHDATE",        "REFNO",
                            "NARRATION", "EMPLOYEE", "ATTENDANCETYPE", "VALUE"};

QStringList A(const char* number, const char* employee, const char* value) {
    return {"Attendance", number, "d", "R", "N", employee, "Present", value};
}

struct Attendance : test::PostingFixture {};

TEST_F(Attendance, OneLinePerEmployeeNumberedWithinItsVoucher) {
    Load(Fields, {A("1", "E1", "7.5"), A("1", "", "3"), A("1", "E2", ""), A("2", "E3", "1,000")});
    VoucherRun run(form, db);
    run.Run(AttendanceKind(run, form, db), Recorder());
    EXPECT_EQ(
        Staged(QStringLiteral("Select FK_VchID, AttID, Employee_, AttendanceType_, Value_ from Attendance "
                              "order by FK_VchID, AttID")),
        QStringList({"1|1|E1|Present|7.500", "1|2|E2|Present|0.000", "2|1|E3|Present|1000.000"}));
    EXPECT_EQ(
        Staged(QStringLiteral("Select VchID, GUID_, Reference_, HasCashFlow_, IsInvoice_, PersistedView_, "
                              "PartyLedgerName_ from Voucher order by VchID")),
        QStringList({"1|Attendance-1-d|R|Yes|No|Accounting Voucher View|",
                     "2|Attendance-2-d|R|Yes|No|Accounting Voucher View|"}));
    EXPECT_EQ(Status(3), QStringLiteral("CREATED"));
}

TEST_F(Attendance, TheFirstIdFollowsTheGreatestStagedOne) {
    const auto stage = [&](const char* id) {
        db.execute(QStringLiteral("Insert into Voucher (CompanyName, VchID) values (?, ?)"),
                   {test::Sharma, QString::fromLatin1(id)});
    };
    EXPECT_EQ(FirstAttendanceVoucher(errors, db, test::Sharma), 1);
    stage("1");
    EXPECT_EQ(FirstAttendanceVoucher(errors, db, test::Sharma), 2);
    EXPECT_EQ(FirstAttendanceVoucher(errors, db, test::Mehta), 1);
    stage("9");
    stage("10");
    EXPECT_EQ(FirstAttendanceVoucher(errors, db, test::Sharma), 11);
    EXPECT_EQ(Locations(), QStringList());
    db.execute(QStringLiteral("Drop table Voucher"));
    EXPECT_EQ(FirstAttendanceVoucher(errors, db, test::Sharma), 1);
    EXPECT_EQ(Locations(), QStringList({"C01--0022"}));
}

// Through the staging writers and the voucher builder, as the server gets it.
TEST_F(Attendance, AVoucherGoesOutWithItsAttendanceLines) {
    ExpectGoldenRuns({{&PostAttendance,
                       Fields,
                       {A("4", "Ravi Kumar", "26"), A("4", "Meena Iyer", "24.5")},
                       "attendance.xml"}});
}

} // namespace
} // namespace quibo
