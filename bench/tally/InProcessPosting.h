#pragma once

// What the posting benchmarks share: the program's home for their unattended runs, and one posting
// loop in this process over a grid filled beforehand, against a fresh simulated server each time.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "base/Services.h"
#include "bench/support/ProgramRun.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"
#include "tally/TallyLink.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <functional>
#include <optional>
#include <string>

namespace quibo::bench {

const std::string Company = "Kaveri Distributors Pvt Ltd";

inline sim::Options ServerOptions() {
    sim::Options options;
    options.companies = {Company};
    options.keepRequestLog = false;
    return options;
}

// The folders the unattended program is given as its home, config and private runtime folder.
inline void PrepareHome() {
    const QString home = Folder()->filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/config"));
    QDir().mkpath(home + QStringLiteral("/runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The unattended runs' figures: items per second of the whole run, the program's CPU per item and its
// peak resident memory.
inline void SetUnattendedCounters(benchmark::State& state, const std::string& items, const std::string& item,
                                  int count, double wall, double cpu, double peak) {
    const double runs = double(state.iterations());
    state.counters[items] = count;
    state.counters[items + "/s"] = double(count) * runs / wall;
    state.counters["cpu_ms/" + item] = cpu / runs / double(count) * 1000.0;
    state.counters["peak_MiB"] = peak;
}

struct InProcessPosting {
    std::string items; // "ledgers": the counters' names
    std::string item;  // "ledger"
    int count = 0;     // records the grid holds, each to be created
    std::function<void(FormModel&)> fill;
    std::function<void(sim::Simulator&)> seed; // what the server must know first; may be empty
    std::function<void(FormModel&, TallyLink&)> post;
};

// Rates by the clock on the wall (the server's part of each exchange is waited for), and the posting
// thread's CPU per record.
inline void PostInProcess(benchmark::State& state, const InProcessPosting& run) {
    class SilentBox final : public MessageBoxService {
    public:
        MsgAnswer show(const MessageBoxRequest&) override { return MsgAnswer::Ok; }
    };
    class NoFiles final : public FileDialogService {
    public:
        std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
    };
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
    CurlTransport transport;
    TallyLink link(settings, errors, transport);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        run.fill(form);
        sim::Simulator server(ServerOptions()); // a fresh store: every record is created
        if (run.seed) run.seed(server);
        settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
        settings.set(settings::PortNo, QString::number(server.start(0)));
        state.ResumeTiming();
        const double before = ThreadCpuSeconds();
        run.post(form, link);
        cpu += ThreadCpuSeconds() - before;
        state.PauseTiming();
        int created = 0;
        for (int row = 1; row <= form.GR1.RowCount(); ++row)
            created +=
                form.GR1.CellText(row, QStringLiteral("PROCESSSTATUS")).contains(QLatin1String("CREATED"));
        if (created != run.count || errors.reportCount() != 0) {
            state.SkipWithError(("not every " + run.item + " was created").c_str());
            break;
        }
        server.stop();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(run.count) * state.iterations());
    state.counters[run.items + "/s"] =
        benchmark::Counter(double(run.count) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms/" + run.item] = cpu / double(state.iterations()) / double(run.count) * 1000.0;
}

} // namespace quibo::bench
