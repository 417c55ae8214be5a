// Posting 10,000 ledgers to the simulated Tally server.
//
//   Unattended/Xls, Unattended/Csv   the quibo program run unattended (POSTSILENT) over a workbook or a
//       text file, as a scheduler runs it: start-up, load, refresh, post, report. Ledgers per second of
//       the whole run, the program's CPU per ledger and its peak resident memory (wait4's rusage of
//       the child; the server runs in this process, so its work is not counted).
//   PostLedgers/InProcess            the ledger poster alone over a grid filled beforehand: ledgers per
//       second and the posting thread's CPU per ledger.
//
//   quibo_masters_bench [--benchmark_filter=...]      QUIBO_BENCH_LEDGERS=10000 by default

#include "bench/tally/InProcessPosting.h"
#include "masters/MasterPosters.h"

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

int Ledgers() {
    const char* given = std::getenv("QUIBO_BENCH_LEDGERS");
    return given ? std::atoi(given) : 10000;
}

bool Generate() {
    return bench::Generate(QStringLiteral(QUIBO_MAKE_LEDGERS), {QString::number(Ledgers())});
}

void Unattended(benchmark::State& state, const char* source) {
    bench::PrepareHome();
    const std::string report = Folder()->filePath(QStringLiteral("report.txt")).toStdString();
    const std::string path = Folder()->filePath(QString::fromLatin1(source)).toStdString();
    const int ledgers = Ledgers();
    ChildRun last;
    double cpu = 0;
    double wall = 0;
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sim::Simulator server(ServerOptions()); // a fresh store: every ledger is created
        const int port = server.start(0);
        QFile::remove(QString::fromStdString(report));
        state.ResumeTiming();
        last = RunProgram({QUIBO_EXE, "XLS", path, "LEDGERS", Company, report, "127.0.0.1",
                           std::to_string(port), "POSTSILENT"});
        state.SetIterationTime(last.wallSeconds);
        state.PauseTiming();
        if (!last.ok) {
            state.SkipWithError("the unattended run failed");
            break;
        }
        const int created = CreatedInReport(report);
        if (created != ledgers) {
            state.SkipWithError(("the report holds " + std::to_string(created) + " created ledgers").c_str());
            break;
        }
        cpu += last.cpuSeconds;
        wall += last.wallSeconds;
        peak = std::max(peak, last.peakMiB);
        server.stop();
        state.ResumeTiming();
    }
    bench::SetUnattendedCounters(state, "ledgers", "ledger", ledgers, wall, cpu, peak);
}

// The grid the table loader makes of the generated text file (no cell of it is quoted): the same
// cells, the closing empty row.
void FillGrid(FormModel& form) {
    QFile file(Folder()->filePath(QStringLiteral("text/LEDGERS.csv")));
    file.open(QIODevice::ReadOnly);
    QList<QStringList> rows;
    while (!file.atEnd()) {
        QStringList cells = QString::fromUtf8(file.readLine()).trimmed().split(QLatin1Char(','));
        rows.append(cells);
    }
    const QStringList fields = rows.takeFirst();
    form.lstLedgerTree.Bind(fields, QList<int>(fields.size(), 0));
    form.GR1.Clear(true);
    for (const QString& field : fields)
        form.GR1.AddColumn(field, field);
    form.GR1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    for (const QStringList& row : std::as_const(rows)) {
        form.GR1.AddRow();
        for (int c = 0; c < row.size(); ++c)
            form.GR1.SetCellText(form.GR1.RowCount(), c + 1, row[c]);
    }
    form.GR1.AddRow();
}

void InProcess(benchmark::State& state) {
    bench::PostInProcess(state, {"ledgers", "ledger", Ledgers(), FillGrid, {}, PostLedgers});
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!quibo::Generate()) return 1;
    benchmark::RegisterBenchmark("Unattended/Xls", quibo::Unattended, "ledgers.xls")
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("Unattended/Csv", quibo::Unattended, "text/LEDGERS.csv")
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(3);
    benchmark::RegisterBenchmark("PostLedgers/InProcess", quibo::InProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
