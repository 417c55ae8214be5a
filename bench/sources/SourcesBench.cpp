// Listing and reading a large table through each source backend: rows per second and the peak
// resident memory of one open-and-read (getrusage ru_maxrss of a forked child that does only that).
//
//   quibo_sources_bench [--benchmark_filter=...]      QUIBO_BENCH_ROWS=100000 by default

#include "sources/Connection.h"
#include "sources/ConnectionString.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace quibo {
namespace {

struct BigSource {
    const char* name;
    QString connection;
    QString table;
};

QTemporaryDir* Folder() {
    static QTemporaryDir dir;
    return &dir;
}

std::vector<BigSource> Sources() {
    const QString f = Folder()->path();
    return {
        {"Xls", ExcelConnectionString(f + QStringLiteral("/big.xls")), QStringLiteral("Vouchers$")},
        {"Xlsx", XlsxConnectionString(f + QStringLiteral("/big.xlsx")), QStringLiteral("Vouchers$")},
        {"Text", TextConnectionString(f + QStringLiteral("/text")), QStringLiteral("big.csv")},
        {"Access", AccessConnectionString(f + QStringLiteral("/big.mdb"), QString()),
         QStringLiteral("Vouchers")},
        {"Odbc", OdbcConnectionString(QStringLiteral("QuiboBench")), QStringLiteral("Vouchers")},
    };
}

bool Generate(int rows) {
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(QUIBO_MAKE_BIG), Folder()->path(),
                                                      QString::number(rows), QStringLiteral(QUIBO_MKMDB)});
    if (!python.waitForFinished(-1) || python.exitCode() != 0) return false;

    QFile inst(Folder()->filePath(QStringLiteral("odbcinst.ini")));
    QFile ini(Folder()->filePath(QStringLiteral("odbc.ini")));
    if (!inst.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly)) return false;
    inst.write("[SQLite3]\nDriver=libsqlite3odbc.so\n");
    ini.write(QStringLiteral("[QuiboBench]\nDriver=SQLite3\nDatabase=%1/big.sqlite\n")
                  .arg(Folder()->path())
                  .toUtf8());
    setenv("ODBCSYSINI", QFile::encodeName(Folder()->path()).constData(), 1);
    setenv("ODBCINI", QFile::encodeName(ini.fileName()).constData(), 1);
    return true;
}

// The peak resident set of a child process that runs `work` and exits, in MiB.
double ChildPeakMiB(const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        try {
            work();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return -1;
    return usage.ru_maxrss / 1024.0;
}

struct Peak {
    double base = 0; // a child that only starts and exits
    double peak = 0; // a child that opens the source and reads the table
};

std::map<std::string, Peak>& Peaks() {
    static std::map<std::string, Peak> peaks;
    return peaks;
}

std::string PeakKey(const BigSource& source, bool ordered) {
    return std::string(source.name) + (ordered ? "+" : "");
}

// Measured before any benchmark runs, while this process is still small: a forked child starts
// with the parent's resident pages, and freed heap it inherits would hide what a read needs.
void MeasurePeaks() {
    for (const BigSource& source : Sources()) {
        for (const bool ordered : {false, true}) {
            Peak& p = Peaks()[PeakKey(source, ordered)];
            p.base = ChildPeakMiB([] {});
            p.peak = ChildPeakMiB([&] {
                auto s = OpenConnection(source.connection, QString(), QString());
                const SourceTable table = s->read(source.table, ordered ? QStringLiteral("SrNo") : QString());
                benchmark::DoNotOptimize(table.recordCount());
            });
        }
    }
}

void List(benchmark::State& state, const BigSource& source) {
    size_t tables = 0;
    for (auto _ : state) {
        auto s = OpenConnection(source.connection, QString(), QString());
        tables = static_cast<size_t>(s->tables().size());
        benchmark::DoNotOptimize(tables);
    }
    state.counters["tables"] = static_cast<double>(tables);
}

void Read(benchmark::State& state, const BigSource& source, bool ordered) {
    const QString order = ordered ? QStringLiteral("SrNo") : QString();
    int rows = 0;
    int fields = 0;
    for (auto _ : state) {
        auto s = OpenConnection(source.connection, QString(), QString());
        const SourceTable table = s->read(source.table, order);
        rows = table.recordCount();
        fields = table.fieldCount();
        benchmark::DoNotOptimize(table.cell(rows - 1, fields - 1));
    }
    state.SetItemsProcessed(static_cast<int64_t>(rows) * state.iterations());
    state.counters["rows"] = rows;
    state.counters["fields"] = fields;
    state.counters["rows/s"] = benchmark::Counter(
        static_cast<double>(rows) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    const Peak& peak = Peaks()[PeakKey(source, ordered)];
    state.counters["peak_MiB"] = peak.peak;
    state.counters["peak_over_base_MiB"] = peak.peak - peak.base;
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    using namespace quibo;
    const char* rowsText = std::getenv("QUIBO_BENCH_ROWS");
    const int rows = rowsText ? std::atoi(rowsText) : 100000;
    std::fprintf(stderr, "generating sources of %d rows in %s ...\n", rows, qPrintable(Folder()->path()));
    if (!Generate(rows)) {
        std::fprintf(stderr, "could not generate the sources (python3 with xlwt/openpyxl, %s)\n",
                     QUIBO_MKMDB);
        return 1;
    }
    MeasurePeaks();
    for (const BigSource& source : Sources()) {
        benchmark::RegisterBenchmark((std::string("List/") + source.name).c_str(), [source](
                                                                                       benchmark::State& s) {
            List(s, source);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Read/") + source.name).c_str(), [source](
                                                                                       benchmark::State& s) {
            Read(s, source, false);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("ReadOrderBySrNo/") + source.name).c_str(),
                                     [source](benchmark::State& s) { Read(s, source, true); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
