// Staging and building vouchers without the network, as the posting loop does them: each voucher is
// its header and three ledger lines with one bill each, staged in one batch committed per voucher,
// into a local database in a temporary folder that keeps every voucher of the run.
//
//   StageAndBuild   staging, then the VOUCHER message and its text: vouchers per second
//   StageOnly       the staging alone

#include "base/ErrorReporter.h"
#include "base/Services.h"
#include "localdb/LocalDatabase.h"
#include "localdb/LocalTransaction.h"
#include "staging/StagingWriters.h"
#include "staging/VoucherMessage.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace quibo {
namespace {

class SilentBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest&) override { return MsgAnswer::Ok; }
};

const QString Company = QStringLiteral("Kaveri Distributors Pvt Ltd");

bool StageVoucher(ErrorReporter& errors, LocalDatabase& db, const QString& id) {
    VoucherRow header;
    header.Date_ = QStringLiteral("20240401");
    header.GUID_ = QStringLiteral("QB-") + id;
    header.Narration_ = QStringLiteral("Being goods sold on credit, invoice ") + id;
    header.VoucherTypeName_ = QStringLiteral("Sales");
    header.VoucherNumber_ = id;
    header.Reference_ = QStringLiteral("INV/") + id;
    header.PartyLedgerName_ = QStringLiteral("Sharma & Sons, Pune");
    header.EffectiveDate_ = header.Date_;
    header.IsInvoice_ = QStringLiteral("No");

    LocalTransaction batch(db);
    bool staged = SaveVoucher(errors, db, Company, header, id);
    const struct {
        const char* ledger;
        const char* deemedPositive;
        const char* amount;
    } lines[] = {{"Sharma & Sons, Pune", "Yes", "-11800.00"},
                 {"Sales Account", "No", "10000.00"},
                 {"Output GST 18%", "No", "1800.00"}};
    int lineNo = 0;
    for (const auto& l : lines) {
        const QString lineId = QString::number(++lineNo);
        LedgerEntryRow line;
        line.LedgerName_ = QString::fromUtf8(l.ledger);
        line.IsDeemedPositive_ = QString::fromUtf8(l.deemedPositive);
        line.IsPartyLedger_ = lineNo == 1 ? QStringLiteral("Yes") : QStringLiteral("No");
        line.Amount_ = QString::fromUtf8(l.amount);
        BillAllocationRow bill;
        bill.Name_ = QStringLiteral("INV/") + id;
        bill.BillType_ = QStringLiteral("New Ref");
        bill.BillCreditPeriod_ = QStringLiteral("30 Days");
        bill.Amount_ = line.Amount_;
        staged = staged && SaveLedgerEntry(errors, db, Company, line, id, lineId) &&
                 SaveBillAllocation(errors, db, Company, bill, id, lineId, QStringLiteral("1"));
    }
    if (staged) batch.commit();
    return staged;
}

void Run(benchmark::State& state, bool build) {
    QTemporaryDir folder;
    SilentBox boxes;
    SystemClock clock;
    ErrorReporter errors(boxes, clock, folder.path());
    LocalDatabase db(folder.path());

    int next = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString id = QString::number(++next);
        if (!StageVoucher(errors, db, id)) {
            state.SkipWithError("a voucher could not be staged: see the error log");
            break;
        }
        if (build) {
            const std::optional<XmlDocument> message =
                BuildVoucherMessage(errors, db, Company, id, QStringLiteral("Create"));
            if (!message) {
                state.SkipWithError("a message could not be built: see the error log");
                break;
            }
            const QString xml = message->xml();
            bytes = xml.size();
            benchmark::DoNotOptimize(xml);
        }
    }
    state.counters["vouchers/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    if (build) state.counters["message_chars"] = double(bytes);
}

void BM_StageAndBuild(benchmark::State& state) {
    Run(state, true);
}
void BM_StageOnly(benchmark::State& state) {
    Run(state, false);
}

BENCHMARK(BM_StageAndBuild)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_StageOnly)->UseRealTime()->MinTime(2.0);

} // namespace
} // namespace quibo

BENCHMARK_MAIN();
