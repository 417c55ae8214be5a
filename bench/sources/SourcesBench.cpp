// Listing and reading a large table through each source backend, reading tables of one long row, and
// loading the large table through the table loader into both grids (with the per-row progress text and
// yield): rows per second and the peak resident memory of one open-and-read or one load (getrusage
// ru_maxrss of a forked child that does only that).
//
//   quibo_sources_bench [--benchmark_filter=...]      QUIBO_BENCH_ROWS=100000 by default
//
// With QUIBO_BENCH_FOLDER set, it reads the sources make_big.py already wrote into that folder (so
// another program can time its own readers on the same files) instead of generating them.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "base/Services.h"
#include "core/LargeBlocks.h"
#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/text/SplitCsv.h"
#include "sources/TableLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <csv.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <regex>
#include <string>

namespace quibo {
namespace {

struct BigSource {
    const char* name;
    QString connection;
    QString table;
};

bool GivenFolder() {
    const char* given = std::getenv("QUIBO_BENCH_FOLDER");
    return given && *given;
}

// The folder the sources are in; also the form's data folder, so the error log lands there too.
const QString& Folder() {
    static const QString path = [] {
        if (GivenFolder()) return QFile::decodeName(std::getenv("QUIBO_BENCH_FOLDER"));
        static QTemporaryDir dir;
        return dir.path();
    }();
    return path;
}

std::vector<BigSource> Sources() {
    const QString f = Folder();
    return {
        {"Xls", ExcelConnectionString(f + QStringLiteral("/big.xls")), QStringLiteral("Transactions$")},
        {"Xlsx", XlsxConnectionString(f + QStringLiteral("/big.xlsx")), QStringLiteral("Transactions$")},
        {"Text", TextConnectionString(f + QStringLiteral("/text")), QStringLiteral("big.csv")},
        {"Access", AccessConnectionString(f + QStringLiteral("/big.mdb"), QString()),
         QStringLiteral("Transactions")},
        {"Odbc", OdbcConnectionString(QStringLiteral("QuiboBench")), QStringLiteral("Transactions")},
        // One long text in 12,000 cells.
        {"XlsShared", ExcelConnectionString(f + QStringLiteral("/shared.xls")),
         QStringLiteral("Transactions$")},
        {"XlsxShared", XlsxConnectionString(f + QStringLiteral("/shared.xlsx")),
         QStringLiteral("Transactions$")},
    };
}

// One row far longer than the others, at two sizes ten times apart: read in time linear in the table.
std::vector<BigSource> LongRowSources() {
    const QString f = Folder();
    const QString text = TextConnectionString(f + QStringLiteral("/long"));
    return {
        {"Text1k", text, QStringLiteral("long1k.csv")},
        {"Text10k", text, QStringLiteral("long10k.csv")},
        {"Xlsx4MiB", XlsxConnectionString(f + QStringLiteral("/long/long4.xlsx")),
         QStringLiteral("Transactions$")},
        {"Xlsx40MiB", XlsxConnectionString(f + QStringLiteral("/long/long40.xlsx")),
         QStringLiteral("Transactions$")},
    };
}

// The files the table loader reads from the Excel tab: the path box's text.
struct LoaderFile {
    const char* name;
    QString path;
};

std::vector<LoaderFile> LoaderFiles() {
    const QString f = Folder();
    return {{"Xls", f + QStringLiteral("/big.xls")},
            {"Xlsx", f + QStringLiteral("/big.xlsx")},
            {"Text", f + QStringLiteral("/text/big.csv")}};
}

// The form's services as a window gives them, without the window: the status text is kept, and the
// yield lets the event loop run at most every 40 ms, as the window throttles its repaints.
class QuietBox final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest& request) override {
        ++shown;
        return DefaultAnswer(request);
    }
    int shown = 0;
};

class NoFiles final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
};

class KeptStatus final : public StatusLineService {
public:
    void panelChanged(const QString&, const QString& text) override { last = text; }
    QString last;
};

class ThrottledYield final : public RowYieldService {
public:
    void yield() override {
        ++count;
        if (m_since.isValid() && m_since.elapsed() < 40) return;
        QCoreApplication::processEvents();
        m_since.restart();
    }
    long count = 0;

private:
    QElapsedTimer m_since;
};

struct LoadResult {
    int rows = 0;    // GR1 rows, the blank ones included
    int columns = 0; // GR1 columns
    long yields = 0;
    int boxes = 0;
};

// One pick of TRANSACTIONS on the Excel tab, from a fresh form: the table into lstLedgerTree and GR1.
LoadResult LoadOnce(const QString& path) {
    QuietBox boxes;
    NoFiles files;
    KeptStatus status;
    ThrottledYield yield;
    SystemClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors(boxes, clock, Folder(), ErrorReporter::Platform{});
    FormModel form(FormServices{boxes, files, status, yield, clock, settings, errors, Folder()});
    form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")};
    form.tabSourceIndex = 0;
    form.DateFormat = QStringLiteral("dd-MMM-yyyy");
    form.DecimalPlaces = QStringLiteral("#################0.000");
    form.txtFilePath = path;
    form.cmbTableName.AddItem(QStringLiteral(">>Select Import Type<<"));
    form.cmbTableName.AddItem(QStringLiteral("TRANSACTIONS"));
    form.cmbTableName.SetListIndex(1);
    TableLoader loader(form);
    loader.cmbTableName_Click();
    return LoadResult{form.GR1.RowCount(), form.GR1.ColumnCount(), yield.count, boxes.shown};
}

// Writes the sources (unless a folder of them was given) and the ODBC set-up that reaches big.sqlite.
bool Generate(int rows) {
    if (!GivenFolder()) {
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        python.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(QUIBO_MAKE_BIG), Folder(), QString::number(rows), QStringLiteral(QUIBO_MKMDB)});
        if (!python.waitForFinished(-1) || python.exitCode() != 0) return false;
    }

    QFile inst(Folder() + QStringLiteral("/odbcinst.ini"));
    QFile ini(Folder() + QStringLiteral("/odbc.ini"));
    if (!inst.open(QIODevice::WriteOnly) || !ini.open(QIODevice::WriteOnly)) return false;
    inst.write("[SQLite3]\nDriver=libsqlite3odbc.so\n");
    ini.write(
        QStringLiteral("[QuiboBench]\nDriver=SQLite3\nDatabase=%1/big.sqlite\n").arg(Folder()).toUtf8());
    setenv("ODBCSYSINI", QFile::encodeName(Folder()).constData(), 1);
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1; // the work failed: no figure
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

std::string LongRowName(const BigSource& source) {
    return std::string("ReadLongRow/") + source.name;
}

// Whether the run's --benchmark_filter selects the case (a filter it cannot tell, such as a negative
// one, selects every case): the peaks of cases that do not run are not measured.
bool Selected(const std::string& name, const std::string& filter) {
    if (filter.empty() || filter == "all" || filter[0] == '-') return true;
    try {
        return std::regex_search(name, std::regex(filter, std::regex::extended));
    } catch (const std::regex_error&) {
        return true;
    }
}

// Measured before any benchmark runs, while this process is still small: a forked child starts
// with the parent's resident pages, and freed heap it inherits would hide what a read needs.
void MeasurePeaks(const std::string& filter) {
    auto measure = [](const BigSource& source, const std::string& key, const QString& order) {
        Peak& p = Peaks()[key];
        p.base = ChildPeakMiB([] {});
        p.peak = ChildPeakMiB([&] {
            auto s = OpenConnection(source.connection, QString(), QString());
            const SourceTable table = s->read(source.table, order);
            benchmark::DoNotOptimize(table.recordCount());
        });
    };
    for (const BigSource& source : Sources()) {
        for (const bool ordered : {false, true}) {
            const std::string name = std::string(ordered ? "ReadOrderBySrNo/" : "Read/") + source.name;
            if (Selected(name, filter))
                measure(source, PeakKey(source, ordered), ordered ? QStringLiteral("SrNo") : QString());
        }
    }
    for (const BigSource& source : LongRowSources())
        if (Selected(LongRowName(source), filter)) measure(source, LongRowName(source), QString());
    for (const LoaderFile& file : LoaderFiles()) {
        const std::string name = std::string("Load/") + file.name;
        if (!Selected(name, filter)) continue;
        Peak& p = Peaks()[name];
        p.base = ChildPeakMiB([] {});
        p.peak = ChildPeakMiB([&] {
            const LoadResult result = LoadOnce(file.path);
            if (result.boxes != 0) _exit(2);
        });
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

void Read(benchmark::State& state, const BigSource& source, bool ordered, const std::string& peakKey) {
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
    const Peak& peak = Peaks()[peakKey];
    state.counters["peak_MiB"] = peak.peak;
    state.counters["peak_over_base_MiB"] = peak.peak - peak.base;
}

// libcsv alone on the text source's file, read whole and parsed with the text reader's options and
// nothing done with the fields: the floor the text reader had when it parsed with libcsv.
void BareLibcsv(benchmark::State& state) {
    const QString path = Folder() + QStringLiteral("/text/big.csv");
    struct Count {
        long fields = 0;
        long rows = 0;
    } count;
    for (auto _ : state) {
        count = {};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read big.csv");
            return;
        }
        const QByteArray text = file.readAll();
        csv_parser parser;
        if (csv_init(&parser, CSV_EMPTY_IS_NULL) != 0) {
            state.SkipWithError("csv_init failed");
            return;
        }
        csv_set_space_func(&parser, [](unsigned char) { return 0; });
        auto field = [](void*, size_t, void* c) { ++static_cast<Count*>(c)->fields; };
        auto row = [](int, void* c) { ++static_cast<Count*>(c)->rows; };
        csv_parse(&parser, text.constData(), static_cast<size_t>(text.size()), field, row, &count);
        csv_fini(&parser, field, row, &count);
        csv_free(&parser);
        benchmark::DoNotOptimize(count.fields);
    }
    state.counters["rows"] = static_cast<double>(count.rows - 1);
    state.counters["fields"] = static_cast<double>(count.fields);
}

// The text reader's own splitter alone on the same file, for the same count of fields.
void BareSplitter(benchmark::State& state) {
    const QString path = Folder() + QStringLiteral("/text/big.csv");
    long fields = 0, rows = 0;
    for (auto _ : state) {
        fields = rows = 0;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read big.csv");
            return;
        }
        const QByteArray text = file.readAll();
        SplitCsv(
            text.constData(), text.constData() + text.size(), [&](const char*, size_t) { ++fields; },
            [&] { ++rows; });
        benchmark::DoNotOptimize(fields);
    }
    state.counters["rows"] = static_cast<double>(rows - 1);
    state.counters["fields"] = static_cast<double>(fields);
}

void Load(benchmark::State& state, const LoaderFile& file) {
    LoadResult result;
    for (auto _ : state)
        result = LoadOnce(file.path);
    if (result.boxes != 0) state.SkipWithError("the load showed a message box");
    // Source rows: every data row of GR1, without the Excel loader's two blank rows.
    const int rows = result.rows - 2;
    state.SetItemsProcessed(static_cast<int64_t>(rows) * state.iterations());
    state.counters["rows"] = rows;
    state.counters["columns"] = result.columns;
    state.counters["yields"] = static_cast<double>(result.yields);
    state.counters["rows/s"] = benchmark::Counter(
        static_cast<double>(rows) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    const Peak& peak = Peaks()[std::string("Load/") + file.name];
    state.counters["peak_MiB"] = peak.peak;
    state.counters["peak_over_base_MiB"] = peak.peak - peak.base;
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    using namespace quibo;
    // As the program's start-up does.
    core::PutHeapOnLargePages(size_t(256) << 20);
    // The loader's yield runs the event loop now and then, as the window's does.
    QCoreApplication app(argc, argv);
    const char* rowsText = std::getenv("QUIBO_BENCH_ROWS");
    const int rows = rowsText ? std::atoi(rowsText) : 100000;
    if (GivenFolder())
        std::fprintf(stderr, "reading the sources in %s\n", qPrintable(Folder()));
    else
        std::fprintf(stderr, "generating sources of %d rows in %s ...\n", rows, qPrintable(Folder()));
    if (!Generate(rows)) {
        std::fprintf(stderr, "could not generate the sources (python3 with xlwt/openpyxl, %s)\n",
                     QUIBO_MKMDB);
        return 1;
    }
    std::string filter;
    for (int i = 1; i < argc; ++i)
        if (const std::string arg = argv[i]; arg.rfind("--benchmark_filter=", 0) == 0)
            filter = arg.substr(std::strlen("--benchmark_filter="));
    MeasurePeaks(filter);
    for (const BigSource& source : Sources()) {
        benchmark::RegisterBenchmark((std::string("List/") + source.name).c_str(), [source](
                                                                                       benchmark::State& s) {
            List(s, source);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Read/") + source.name).c_str(), [source](
                                                                                       benchmark::State& s) {
            Read(s, source, false, PeakKey(source, false));
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            (std::string("ReadOrderBySrNo/") + source.name).c_str(),
            [source](benchmark::State& s) { Read(s, source, true, PeakKey(source, true)); })
            ->Unit(benchmark::kMillisecond);
    }
    for (const BigSource& source : LongRowSources())
        benchmark::RegisterBenchmark(LongRowName(source).c_str(), [source](benchmark::State& s) {
            Read(s, source, false, LongRowName(source));
        })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Parse/TextBareLibcsv", BareLibcsv)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Parse/TextBareSplitter", BareSplitter)->Unit(benchmark::kMillisecond);
    for (const LoaderFile& file : LoaderFiles()) {
        benchmark::RegisterBenchmark((std::string("Load/") + file.name).c_str(), [file](benchmark::State& s) {
            Load(s, file);
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
