#include "vouchers/VoucherRun.h"

#include "base/ColumnLookup.h"
#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/OutcomeMarks.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "localdb/LocalTransaction.h"
#include "localdb/StagingSchema.h"
#include "staging/StagingWriters.h"
#include "staging/VoucherMessage.h"
#include "tally/TallyLink.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"
#include "vouchers/ReportErrorByVID.h"

#include <memory>
#include <optional>

namespace quibo {

namespace {

const QString IdColumn = QStringLiteral("ID");
const QString CompanyColumn = QStringLiteral("COMPANYNAME");
const QString StatusColumn = QStringLiteral("PROCESSSTATUS");
const QString MessagePanel = QStringLiteral("msg");
const QString Create = QStringLiteral("Create");

// The voucher being staged.
struct OpenVoucher {
    QString company;
    bool failed = false; // nothing of it is sent
    std::unique_ptr<LocalTransaction> batch;
    QString failure;  // its outcome: the poster's own, or "" for a writer's failure
    QString location; // the location code the failing writer reported under
};

} // namespace

VoucherSender TallyVoucherSender(TallyLink& link, LocalDatabase& db) {
    return [&link, &db](const QString& company, const QString& voucherId) {
        return PostRecord(link, [&] { return SendVoucher(link, db, company, voucherId, Create); });
    };
}

void PostStaged(FormModel& form, TallyLink& link, const char* location, VoucherKindOf kindOf) {
    Trap(form.errors(), location, [&] {
        LocalDatabase db(form.services().dataFolder);
        VoucherRun run(form, db);
        run.Run(kindOf(run), TallyVoucherSender(link, db));
    });
}

VoucherRun::VoucherRun(FormModel& form, LocalDatabase& db) : m_form(form), m_db(db) {
    m_form.tabDataIndex = 1;
}

bool VoucherRun::Has(const QString& column) const {
    const auto known = m_present.constFind(column);
    if (known != m_present.cend()) return *known;
    const bool present = GetColumnIndex(m_form.errors(), m_form.lstLedgerTree, column) >= 0;
    m_present.insert(column, present);
    return present;
}

const QString& VoucherRun::Cell(int row, const QString& column) const {
    return m_form.GR1.CellText(row, column);
}

QString VoucherRun::CellIfPresent(int row, const QString& column) const {
    return Has(column) ? Cell(row, column) : QString();
}

const QString& VoucherRun::DecimalPlaces() const {
    return m_form.DecimalPlaces;
}

void VoucherRun::Require(const QStringList& columns) const {
    // A grid without rows reads no cell, so it lacks nothing.
    if (m_form.GR1.RowCount() == 0) return;
    for (const QString& column : columns)
        m_form.GR1.ColumnIndex(column);
}

void EmptyStagingTables(FormModel& form, LocalDatabase& db) {
    // One transaction: one write to the disk instead of one per table, and never half emptied.
    LocalTransaction emptying(db);
    for (const staging::TableSchema& table : staging::StagingTables())
        if (!ExecuteStagingSql(form.errors(), db, QStringLiteral("Delete from ") + table.name))
            vb::Raise(vb::err::DatabaseError, QStringLiteral("The staging tables could not be emptied"));
    emptying.commit();
}

void VoucherRun::Empty() {
    EmptyStagingTables(m_form, m_db);
}

void WalkVoucherRows(FormModel& form, bool keyedById, bool hasCompany, const VoucherRows& walk) {
    std::optional<QString> open;
    int firstRow = 0;
    QString refusal; // of the open voucher
    const int rows = form.GR1.RowCount();
    for (int row = 1; row <= rows; ++row) {
        const QString key = walk.key(row, open ? &*open : nullptr);
        const QString company = hasCompany ? form.GR1.CellText(row, CompanyColumn) : QString();
        form.CurrentCompany = vb::Trim(company).isEmpty() ? form.cmbCurrentCompanyList.Text() : company;
        const bool empty = form.IsEmptyRow(row);
        const bool noId = !empty && keyedById && vb::Trim(key).isEmpty();
        if (open && (empty || noId || key != *open)) {
            walk.finish(firstRow, row - 1, *open);
            open.reset();
        }
        if (noId) MarkVoucherOutcome(form, row, row, form.GR1.CellText(row, IdColumn), {}, marks::EmptyId);
        if (!empty && !noId) {
            const bool first = !open;
            if (first) {
                open = key;
                firstRow = row;
                refusal.clear();
            }
            if (refusal.isEmpty()) refusal = form.NulRefusal(row);
            walk.add(row, first, key, refusal);
        }
        form.DoEvents();
    }
    if (open) walk.finish(firstRow, rows, *open);
}

void VoucherRun::Run(const VoucherKind& kind, const VoucherSender& send) {
    m_form.stat(progress::Deleting, MessagePanel);
    Empty();
    m_form.stat(QString(), MessagePanel);

    const bool keyedById = Has(IdColumn);
    QStringList required{StatusColumn};
    if (keyedById)
        required << IdColumn;
    else
        required << QStringLiteral("VCHTYPE") << QStringLiteral("VCHNO") << QStringLiteral("VCHDATE");
    Require(required + kind.required);

    int voucherNumber = kind.firstVoucherNumber ? kind.firstVoucherNumber() - 1 : 0;
    QString voucherId;
    std::optional<OpenVoucher> open;
    VoucherRows walk;
    walk.key = [&](int row, const QString* openKey) {
        return kind.key ? kind.key(row, openKey) : m_form.VoucherKey(row);
    };
    walk.add = [&](int row, bool firstRow, const QString& key, const QString& refusal) {
        if (firstRow) {
            voucherId = QString::number(++voucherNumber);
            if (kind.startVoucher) kind.startVoucher();
            open.emplace(
                OpenVoucher{m_form.CurrentCompany, false, std::make_unique<LocalTransaction>(m_db), {}, {}});
        }
        if (open->failed) return;
        if (!refusal.isEmpty()) {
            open->failed = true;
            open->failure = refusal;
            return;
        }
        const int reports = m_form.errors().reportCount();
        if (!kind.stageRow(VoucherPlace{m_form.errors(), m_db, open->company, voucherId, key, row, firstRow,
                                        open->failure})) {
            open->failed = true;
            if (m_form.errors().reportCount() != reports) open->location = m_form.errors().lastLocation();
        }
    };
    walk.finish = [&](int firstRow, int lastRow, const QString& key) {
        if (!open->failed && kind.endVoucher) {
            open->failure = kind.endVoucher();
            open->failed = !open->failure.isEmpty();
        }
        TallyOutcome outcome;
        if (!open->failed) {
            // Committed first: the builder reads what the batch wrote.
            open->batch->commit();
            outcome = send(open->company, voucherId);
        }
        open->batch.reset();
        const QString notStaged = !open->failed             ? QString()
                                  : open->failure.isEmpty() ? marks::NotStaged(open->location)
                                                            : open->failure;
        MarkVoucherOutcome(m_form, firstRow, lastRow, key, outcome, notStaged);
        m_form.GR1.SetSelectedRow(lastRow);
        m_form.stat(progress::Processed + voucherId, MessagePanel);
        open.reset();
    };
    WalkVoucherRows(m_form, keyedById, Has(CompanyColumn), walk);
    m_form.stat(progress::Finished, MessagePanel);
}

bool WriteVoucherOutcome(FormModel& form, int firstRow, int lastRow, const TallyOutcome& outcome,
                         const QString& notStaged) {
    WorkGrid& grid = form.GR1;
    const int statusColumn = grid.ColumnIndex(StatusColumn);
    for (int row = firstRow; row <= lastRow; ++row) {
        grid.SetRowColor(row, marks::Black);
        grid.SetCellFont(row, statusColumn, GridFont{});
    }
    // A request that never went out, or got nothing back, was reported: the row says so.
    const bool answered = outcome.sent && !vb::Trim(outcome.text).isEmpty();
    const QString status = !notStaged.isEmpty() ? notStaged
                           : answered           ? outcome.text
                           : outcome.sent       ? marks::NoReply
                                                : marks::NotSent;
    const QString upper = vb::UCase(status);
    int icon = -1; // an outcome no test knows gets no icon
    if (upper.contains(QLatin1String("ERROR")))
        icon = marks::ErrorIcon;
    else if (upper.contains(QLatin1String("CREATED")) || upper.contains(QLatin1String("ALTERED")) ||
             upper.contains(QLatin1String("COMBINED")))
        icon = marks::DoneIcon;
    grid.SetCellText(lastRow, statusColumn, status);
    grid.SetCellIcon(lastRow, 1, icon);
    return icon == marks::ErrorIcon;
}

void MarkVoucherOutcome(FormModel& form, int firstRow, int lastRow, const QString& key,
                        const TallyOutcome& outcome, const QString& notStaged) {
    if (WriteVoucherOutcome(form, firstRow, lastRow, outcome, notStaged))
        ReportErrorByVID(form, key, IdColumn, firstRow, lastRow);
}

} // namespace quibo
