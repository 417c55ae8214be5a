// Posting 10,000 three-line accounting vouchers (TRANSACTIONS) to the simulated Tally server.
//
//   PostTransaction/InProcess   the poster over a grid filled beforehand, against the simulator in this
//       process: vouchers per second by the wall clock (staging, one committed batch per voucher,
//       building, the exchange), and the posting thread's CPU per voucher.
//
//   quibo_vouchers_bench [--benchmark_filter=...]      QUIBO_BENCH_VOUCHERS=10000 by default

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "base/Services.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"
#include "vouchers/VoucherPosters.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace quibo {
namespace {

const std::string Company = "Kaveri Distributors Pvt Ltd";
const QStringList Fields = {"VCHTYPE", "VCHNO", "VCHDATE", "REFNO", "LEDGER", "DEBIT", "CREDIT", "NARRATION"};

int Vouchers() {
    const char* given = std::getenv("QUIBO_BENCH_VOUCHERS");
    return given ? std::atoi(given) : 10000;
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class SilentBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest&) override { return MsgAnswer::Ok; }
};

class NoFiles final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
};

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
    QTemporaryDir folder;
    SilentBox boxes;
    NoFiles files;
    NoStatusLine status;
    NoYield yield;
    SystemClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors(boxes, clock, folder.path(), ErrorReporter::Platform{});
    FormModel form(FormServices{boxes, files, status, yield, clock, settings, errors, folder.path()});
    form.cmbCurrentCompanyList.AddItem(QString::fromStdString(Company));
    form.cmbCurrentCompanyList.SetListIndex(0);
    form.DecimalPlaces = QStringLiteral("#################0.000");
    CurlTransport transport;
    TallyLink link(settings, errors, transport);
    const int vouchers = Vouchers();
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FillGrid(form, vouchers);
        sim::Options options;
        options.companies = {Company};
        options.keepRequestLog = false;
        sim::Simulator server(options);
        Seed(server);
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(server.start(0)));
        state.ResumeTiming();
        const double before = ThreadCpuSeconds();
        PostTransaction(form, link);
        cpu += ThreadCpuSeconds() - before;
        state.PauseTiming();
        int created = 0;
        for (int row = 1; row <= form.GR1.RowCount(); ++row)
            created +=
                form.GR1.CellText(row, QStringLiteral("PROCESSSTATUS")).contains(QLatin1String("CREATED"));
        if (created != vouchers || errors.reportCount() != 0) {
            state.SkipWithError("not every voucher was created");
            break;
        }
        server.stop();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(vouchers) * state.iterations());
    state.counters["vouchers/s"] =
        benchmark::Counter(double(vouchers) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms/voucher"] = cpu / double(state.iterations()) / double(vouchers) * 1000.0;
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Rates by the clock on the wall: the server's part of each exchange is waited for.
    benchmark::RegisterBenchmark("PostTransaction/InProcess", quibo::InProcess)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
