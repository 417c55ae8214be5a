// Attendance vouchers: a header, and per row one attendance line of an employee.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "localdb/RecordSet.h"
#include "staging/StagingWriters.h"
#include "vb/CellNumber.h"
#include "vb/Number.h"
#include "vouchers/PosterCells.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <memory>

namespace quibo {

using posting::C;
using posting::No;
using posting::Yes;

namespace {

const QString No = QStringLiteral("No");

bool StageAttendanceRow(const VoucherRun& run, int& attendanceId, const VoucherPlace& at) {
    const int row = at.row;
    if (at.firstRow) {
        VoucherRow header;
        header.Date_ = header.EffectiveDate_ = run.Cell(row, C("VCHDATE"));
        header.GUID_ = at.key;
        header.VoucherTypeName_ = run.Cell(row, C("VCHTYPE"));
        header.VoucherNumber_ = run.Cell(row, C("VCHNO"));
        header.Reference_ = run.Cell(row, C("REFNO"));
        header.Narration_ = run.Cell(row, C("NARRATION"));
        header.HasCashFlow_ = QStringLiteral("Yes");
        header.PersistedView_ = QStringLiteral("Accounting Voucher View");
        for (StagedText* flag :
             {&header.DiffActualQty_, &header.Audited_, &header.ForJobCosting_, &header.IsOptional_,
              &header.UseForCompound_, &header.UseForGainLoss_, &header.UseForGodownTransfer_,
              &header.UseForInterest_, &header.UseTrackingNumber_, &header.IsCancelled_, &header.IsPostDated_,
              &header.MFGJournal_, &header.HasDiscounts_, &header.AsPayslip_, &header.IsDeleted_,
              &header.IsInvoice_})
            *flag = No;
        if (!SaveVoucher(at.errors, at.db, at.company, header, at.voucherId)) return false;
    }
    const QString& employee = run.Cell(row, C("EMPLOYEE"));
    if (employee.isEmpty()) return true;
    AttendanceRow line;
    line.Employee_ = employee;
    line.AttendanceType_ = run.Cell(row, C("ATTENDANCETYPE"));
    line.Value_ = vb::FormatNumber(CellNumber(run.Cell(row, C("VALUE"))), run.DecimalPlaces());
    return SaveAttendance(at.errors, at.db, at.company, line, at.voucherId, QString::number(++attendanceId));
}

} // namespace

int FirstAttendanceVoucher(ErrorReporter& errors, LocalDatabase& db, const QString& company) {
    const QString greatest = GetMaxVoucherId(errors, db, company);
    if (greatest.isEmpty()) return 1;
    // "1" is also the answer when nothing is staged: only a staged "1" is taken.
    if (greatest == QLatin1String("1") &&
        db.query(QStringLiteral("Select VchID from Voucher where CompanyName=? and VchID=?"),
                 {company, greatest})
            .isEmpty())
        return 1;
    return static_cast<int>(vb::Val(greatest)) + 1;
}

VoucherKind AttendanceKind(const VoucherRun& run, FormModel& form, LocalDatabase& db) {
    auto attendanceId = std::make_shared<int>(0);
    VoucherKind kind;
    kind.required = {C("VCHTYPE"),   C("VCHNO"),    C("VCHDATE"),        C("REFNO"),
                     C("NARRATION"), C("EMPLOYEE"), C("ATTENDANCETYPE"), C("VALUE")};
    kind.startVoucher = [attendanceId] { *attendanceId = 0; };
    kind.stageRow = [&run, attendanceId](const VoucherPlace& at) {
        return StageAttendanceRow(run, *attendanceId, at);
    };
    kind.firstVoucherNumber = [&form, &db] {
        return FirstAttendanceVoucher(form.errors(), db, form.cmbCurrentCompanyList.Text());
    };
    return kind;
}

void PostAttendance(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0055", [&] {
        LocalDatabase db(form.services().dataFolder);
        VoucherRun run(form, db);
        run.Run(AttendanceKind(run, form, db), TallyVoucherSender(link, db));
    });
}

} // namespace quibo
