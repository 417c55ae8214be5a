// The resident memory of one form across loads from the Excel tab, as a window left open after a
// big import holds it: before any load; after a load of ROWS rows that fails at the file's last
// line (a NUL byte), as the window's first load; with ROWS rows of TRANSACTIONS in both grids; after
// a table of ten rows has taken their place; and the process's peak. Each size runs in a process of
// its own, so that one size's heap does not carry into the next.
//
//   quibo_memory_bench [ROWS]      100000, 300000 and 1000000 when not given

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "base/Services.h"
#include "core/LargeBlocks.h"
#include "sources/TableLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace quibo {
namespace {

class CountedBoxes final : public MessageBoxService {
public:
    MsgAnswer show(const MessageBoxRequest& request) override {
        ++shown;
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return DefaultAnswer(request);
    }
    int shown = 0;
};

class NoFiles final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
};

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / double(1 << 20);
}

// A voucher table of 20 columns: serial number, texts, a date, numbers, a flag, and eight columns of
// texts that differ from row to row.
bool WriteTable(const QString& path, int rows) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write("SrNo,VchType,VchNo,VchDate,Ledger,Debit,Credit,Quantity,Rate,Amount,Narration,Posted,"
               "Extra1,Extra2,Extra3,Extra4,Extra5,Extra6,Extra7,Extra8\n");
    static const char* const types[] = {"Receipt", "Payment", "Journal", "Sales"};
    static const char* const ledgers[] = {"Cash", "Bank", "Sales", "Purchase", "Freight"};
    for (int i = 1; i <= rows; ++i) {
        const double amount = double((i * 37) % 100000) / 7.0;
        QByteArray line = QByteArray::number(i) + ',' + types[i % 4] + ",V" + QByteArray::number(i / 2) +
                          ',' + QByteArray::number(1 + i % 28) + "-04-2024," + ledgers[i % 5] + ',';
        const QByteArray money = QByteArray::number(amount, 'f', 2);
        line += (i % 2 ? money + ',' : ',' + money) + ',' + QByteArray::number(i % 50) + ",12.5," + money +
                ",Being the amount of voucher " + QByteArray::number(i) + " against the bills of the month," +
                (i % 3 == 0 ? "True" : "False");
        // Texts that seldom repeat, as addresses, references and notes do: most of a large table's memory.
        for (int k = 0; k < 8; ++k)
            line += ",Reference " + QByteArray::number(i) + '/' + QByteArray::number(k) +
                    " of ledger account " + QByteArray::number(i % 977);
        file.write(line + '\n');
    }
    return true;
}

// A table of `rows` rows whose last line holds a NUL byte: the reader refuses it once it has read
// every row before.
bool WriteBrokenTable(const QString& path, int rows) {
    if (!WriteTable(path, rows)) return false;
    QFile file(path);
    QByteArray line("0,Receipt,V0,1-04-2024,Cash");
    line += '\0';
    line += ",1\n";
    return file.open(QIODevice::Append) && file.write(line) == line.size();
}

// One pick of TRANSACTIONS on the Excel tab: the file into lstLedgerTree and GR1. False when the load
// showed a message box or left GR1 without the table's rows.
bool Load(FormModel& form, CountedBoxes& boxes, const QString& path, int rows) {
    form.txtFilePath = path;
    form.cmbTableName.SetListIndex(1);
    TableLoader(form).cmbTableName_Click();
    return boxes.shown == 0 && form.GR1.RowCount() >= rows;
}

// One size in this process: false when a table could not be written or a load did not go as meant.
bool Run(int argc, char** argv, int rows) {
    // As the program's start-up does.
    core::PutHeapOnLargePages(size_t(256) << 20);
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString big = folder.filePath(QStringLiteral("big.csv"));
    const QString broken = folder.filePath(QStringLiteral("broken.csv"));
    const QString small = folder.filePath(QStringLiteral("small.csv"));
    if (!WriteTable(big, rows) || !WriteBrokenTable(broken, rows) || !WriteTable(small, 10)) {
        std::fprintf(stderr, "could not write the tables into %s\n", qPrintable(folder.path()));
        return false;
    }

    CountedBoxes boxes;
    NoFiles files;
    NoStatusLine status;
    NoYield yield;
    SystemClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors(boxes, clock, folder.path(), ErrorReporter::Platform{});
    FormModel form(FormServices{boxes, files, status, yield, clock, settings, errors, folder.path()});
    form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")};
    form.tabSourceIndex = 0;
    form.DateFormat = QStringLiteral("dd-MMM-yyyy");
    form.DecimalPlaces = QStringLiteral("#################0.000");
    form.cmbTableName.AddItem(QStringLiteral(">>Select Import Type<<"));
    form.cmbTableName.AddItem(QStringLiteral("TRANSACTIONS"));

    const double before = ResidentMiB();
    // The refused file must show its one box and leave GR1 empty.
    if (Load(form, boxes, broken, 1) || boxes.shown != 1) return false;
    const double failed = ResidentMiB();
    boxes.shown = 0;
    if (!Load(form, boxes, big, rows)) return false;
    const double loaded = ResidentMiB(), peak = PeakMiB();
    if (!Load(form, boxes, small, 10)) return false;
    const double after = ResidentMiB();
    std::printf("%d rows, resident MiB: before %.1f; after the refused load %.1f (%+.1f over before); "
                "with the rows %.1f (peak %.1f); after a table of 10 rows took their place %.1f "
                "(%+.1f over before)\n",
                rows, before, failed, failed - before, loaded, peak, after, after - before);
    return true;
}

} // namespace
} // namespace quibo

int main(int argc, char** argv) {
    if (argc > 1) {
        const int rows = std::atoi(argv[1]);
        return rows >= 1 && quibo::Run(argc, argv, rows) ? 0 : 1;
    }
    for (const int rows : {100000, 300000, 1000000}) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child < 0) return 1;
        if (child == 0) {
            const bool ran = quibo::Run(argc, argv, rows);
            std::fflush(stdout);
            _exit(ran ? 0 : 1);
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    }
    return 0;
}
