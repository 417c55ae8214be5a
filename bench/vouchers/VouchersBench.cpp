// Posting 10,000 three-line accounting vouchers (TRANSACTIONS) to the simulated Tally server.
//
//   PostTransaction/Unattended  the quibo program run unattended (POSTSILENT) over the TRANSACTIONS
//       sheet of a workbook (make_vouchers.py, generated at start into a temporary folder), as a
//       scheduler runs it: start-up, load, refresh, post, report. The sheet's ledgers are posted from
//       its LEDGERS sheet first, by a run that is not timed. Vouchers per second of the whole run, the
//       program's CPU per voucher and its peak resident memory (wait4's rusage of the child; the
//       server runs in this process, so its work is not counted).
//   PostTransaction/InProcess   the poster over a grid filled beforehand, against the simulator in this
//       process: vouchers per second by the wall clock (staging, one committed batch per voucher,
//       building, the exchange), and the posting thread's CPU per voucher.
//
//   quibo_vouchers_bench [--benchmark_filter=...]      QUIBO_BENCH_VOUCHERS=10000 by default

#include "bench/tally/InProcessPosting.h"
#include "vouchers/VoucherPosters.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace quibo {
namespace {

using bench::ChildRun;
using bench::Company;
using bench::CreatedInReport;
using bench::Folder;
using bench::RunProgram;
using bench::ServerOptions;

const QStringList Fields = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};

int Vouchers() {
    const char* given = std::getenv("QUIBO_BENCH_VOUCHERS");
    return given ? std::atoi(given) : 10000;
}

bool Generate() {
    return bench::Generate(QStringLiteral(QUIBO_MAKE_VOUCHERS), {QString::number(Vouchers())});
}

// The unattended run over one sheet of the workbook; "" when it exited 0 and its report holds
// `created` created items, else what went wrong.
std::string PostSheet(const char* sheet, int port, int created, ChildRun& run) {
    const std::string report =
        Folder()->filePath(QString::fromLatin1(sheet) + QStringLiteral(".txt")).toStdString();
    const std::string workbook = Folder()->filePath(QStringLiteral("vouchers.xls")).toStdString();
    QFile::remove(QString::fromStdString(report));
    run = RunProgram({QUIBO_EXE, "XLS", workbook, sheet, Company, report, "127.0.0.1", std::to_string(port),
                      "POSTSILENT"});
    if (!run.ok) return std::string("the unattended run over ") + sheet + " failed";
    const int found = CreatedInReport(report);
    if (found != created)
        return std::string("the report of ") + sheet + " holds " + std::to_string(found) + " created, not " +
               std::to_string(created);
    return {};
}

void Unattended(benchmark::State& state) {
    bench::PrepareHome();
    const int vouchers = Vouchers();
    double cpu = 0;
    double wall = 0;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sim::Simulator server(ServerOptions()); // a fresh store: every voucher is created
        const int port = server.start(0);
        ChildRun run;
        std::string failure = PostSheet("LEDGERS", port, 2, run);
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            break;
        }
        state.ResumeTiming();
        failure = PostSheet("TRANSACTIONS", port, vouchers, run);
        state.SetIterationTime(run.wallSeconds);
        state.PauseTiming();
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            break;
        }
        cpu += run.cpuSeconds;
        wall += run.wallSeconds;
        peak = std::max(peak, run.peakMiB);
        server.stop();
        state.ResumeTiming();
    }
    if (wall <= 0) return;
    bench::SetUnattendedCounters(state, "vouchers", "voucher", vouchers, wall, cpu, peak);
}

// A payment of two expense lines against the bank: three rows per voucher, then the closing row.
void FillGrid(FormModel& form, int vouchers) {
    form.lstLedgerTree.Bind(Fields, QList<int>(Fields.size(), 0));
    WorkGrid& grid = form.GR1;
    grid.Clear(true);
    for (const QString& field : Fields)
        grid.AddColumn(field, field);
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    const auto add = [&](const QStringList& cells) {
        form.lstLedgerTree.AppendRecord(cells);
        grid.AddRow();
        for (int c = 0; c < cells.size(); ++c)
            grid.SetCellText(grid.RowCount(), c + 1, cells[c]);
    };
    for (int v = 1; v <= vouchers; ++v) {
        const QString number = QString::number(v);
        const QString date = QStringLiteral("%1-Apr-2024").arg(v % 28 + 1);
        const QString amount = QString::number(100 + v % 900);
        add({"Payment", number, date, "", "Freight Inward", amount, "", "Freight"});
        add({"Payment", number, date, "", "Packing Material", amount, "", ""});
        add({"Payment", number, date, "", "Cash", "", QString::number(2 * amount.toInt()), ""});
    }
    grid.AddRow();
}

void Seed(sim::Simulator& server) {
    for (const char* ledger : {"Freight Inward", "Packing Material"})
        server.answer("<ENVELOPE><HEADER><TALLYREQUEST>Import Data</TALLYREQUEST></HEADER><BODY><IMPORTDATA>"
                      "<REQUESTDESC><REPORTNAME>All Masters</REPORTNAME><STATICVARIABLES><SVCURRENTCOMPANY>" +
                      Company +
                      "</SVCURRENTCOMPANY></STATICVARIABLES></REQUESTDESC><REQUESTDATA><TALLYMESSAGE>"
                      "<LEDGER NAME=\"" +
                      ledger +
                      "\" ACTION=\"Create\"><PARENT>Indirect Expenses</PARENT></LEDGER></TALLYMESSAGE>"
                      "</REQUESTDATA></IMPORTDATA></BODY></ENVELOPE>");
}

void InProcess(benchmark::State& state) {
    const int vouchers = Vouchers();
    const auto fill = [vouchers](FormModel& form) {
        form.DecimalPlaces = QStringLiteral("#################0.000");
        FillGrid(form, vouchers);
    };
    bench::PostInProcess(state, {"vouchers", "voucher", vouchers, fill, Seed, PostTransaction});
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!quibo::Generate()) return 1;
    benchmark::RegisterBenchmark("PostTransaction/Unattended", quibo::Unattended)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("PostTransaction/InProcess", quibo::InProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
