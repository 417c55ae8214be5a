// What a load leaves resident once the next one has taken its place, as a window left open after a
// big import holds it. Each case runs in a child process whose heap is set up as the program's
// start-up sets it up (it keeps freed pages unless given back), and loads text files from the Excel
// tab as the user's pick of an import type does.

#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"
#include "core/LargeBlocks.h"
#include "support/ChildPeak.h"

#include <QFile>

#include <sys/prctl.h>

#include <gtest/gtest.h>

namespace quibo {
namespace {

// Rows enough that what a fault keeps stands well clear of the heap's own noise (a few hundred KiB),
// few enough that a case takes about a second.
constexpr int LargeRows = 60000;
constexpr int Columns = 20;

class LoadResidueTest : public ::testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "the sanitizer's own memory is counted with the loads'";
#endif
        form.tabSourceCaptions = {QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")};
        form.tabSourceIndex = 0;
        form.DateFormat = QStringLiteral("dd-MMM-yyyy");
        form.DecimalPlaces = QStringLiteral("#################0.000");
        form.cmbTableName.AddItem(QStringLiteral(">>Select Import Type<<"));
        form.cmbTableName.AddItem(QStringLiteral("TRANSACTIONS"));
    }

    // A voucher table of `rows` rows whose cells are nearly all texts of their own, as addresses,
    // references and notes are; a table's texts are most of what it holds. With `nulAtTheEnd` a last
    // line holds a NUL byte: the reader refuses the file once it has read every row before.
    QString Table(const char* name, int rows, bool nulAtTheEnd = false) {
        const QString path = folder.file(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray header("SrNo,VchType,VchNo,VchDate,Ledger,Amount");
        for (int c = 6; c < Columns; ++c)
            header += ",Note" + QByteArray::number(c);
        file.write(header + '\n');
        for (int r = 1; r <= rows; ++r) {
            QByteArray line = QByteArray::number(r) + ",Receipt,V" + QByteArray::number(r) +
                              ",1-04-2024,Cash," + QByteArray::number(r % 1000) + ".50";
            for (int c = 6; c < Columns; ++c)
                line += ",Note " + QByteArray::number(r) + '/' + QByteArray::number(c);
            file.write(line + '\n');
        }
        if (nulAtTheEnd) file.write(QByteArray("0,Receipt,V0,1-04-2024,Cash\0,1\n", 32));
        return path;
    }

    // The user picks TRANSACTIONS for the file: true when it loaded without a box, with its rows.
    bool Load(const QString& path, int rows) {
        const size_t shown = boxes.shown.size();
        form.txtFilePath = path;
        form.cmbTableName.SetListIndex(1);
        commands.cmbTableName_Click();
        return boxes.shown.size() == shown && form.GR1.RowCount() >= rows;
    }

    // The same for a file the reader refuses: one box, and GR1 left empty.
    bool LoadRefused(const QString& path) {
        const size_t shown = boxes.shown.size();
        form.txtFilePath = path;
        form.cmbTableName.SetListIndex(1);
        commands.cmbTableName_Click();
        return boxes.shown.size() == shown + 1 && form.GR1.RowCount() <= 1;
    }

    // The form and its commands over services that keep nothing per row (a recording status line
    // would hold a text for every row read).
    test::TempFolder folder;
    test::ScriptedMessageBox boxes;
    test::ScriptedFileDialog files;
    NoStatusLine statusLine;
    NoYield yield;
    test::FakeClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    FormModel form{FormServices{boxes, files, statusLine, yield, clock, settings, errors, folder.path()}};
    CurlTransport transport{HttpTimeouts{5, 5}};
    test::ScriptedDialogs dialogs;
    MainCommands commands{form, transport, dialogs};

    // In the child, before anything is measured: the heap as the program's start-up leaves it, and
    // `warmUp` done so that what a first load sets up once is not counted.
    template <class WarmUp> auto Prepared(WarmUp warmUp) {
        return [this, warmUp] {
            // Without 2 MiB pages: one touched byte would make a whole one resident, and the measure
            // move in steps of 2 MiB. The heap keeps and gives back its pages all the same.
            ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
            core::PutHeapOnLargePages(size_t(256) << 20);
            return warmUp();
        };
    }
};

// A large table replaced by a small one leaves nothing of its cells: the source grid's cell numbers
// (4 bytes a cell) would stay resident if binding the small table kept the large one's buffer.
TEST_F(LoadResidueTest, ASmallTableAfterALargeOneKeepsNoneOfItsCells) {
    const QString large = Table("large.csv", LargeRows), small = Table("small.csv", 10);
    const long residue = test::ResidueInChild(Prepared([&] { return Load(small, 10); }), [&](bool warm) {
        return warm && Load(large, LargeRows) && Load(small, 10);
    });
    ASSERT_NE(residue, test::ChildFailed);
    ASSERT_NE(residue, test::StepWentWrong);
    // Here about 360 KiB; some 5,000 KiB when the large table's cell buffer is kept (4 bytes a cell).
    EXPECT_LT(residue, 1024) << "KiB left resident";
}

// A load refused at the file's last line, as the window's first load, gives back all it had read:
// the heap's set-up would keep those pages, and no earlier table's rows are there to be given back.
TEST_F(LoadResidueTest, ARefusedFirstLoadGivesBackWhatItRead) {
    const QString refused = Table("refused.csv", LargeRows, true), first = Table("first.csv", 10, true);
    // A small refused file first: GR1 still holds no rows, and the error report's first use is not counted.
    const long residue = test::ResidueInChild(Prepared([&] { return LoadRefused(first); }),
                                              [&](bool warm) { return warm && LoadRefused(refused); });
    ASSERT_NE(residue, test::ChildFailed);
    ASSERT_NE(residue, test::StepWentWrong);
    // Here about 150 KiB; some 50,000 KiB when the heap keeps the pages of what was read.
    EXPECT_LT(residue, 2048) << "KiB left resident";
}

// An empty sheet after a table: the blank grid rebinds no rows, so nothing asks about row blankness
// again, and the answers kept for the table's texts (a byte a text) must go with the table.
TEST_F(LoadResidueTest, AnEmptySheetAfterATableKeepsNothingOfIt) {
    const QString large = Table("large.csv", 3 * LargeRows), small = Table("small.csv", 10),
                  empty = Table("empty.csv", 0);
    const long residue =
        test::ResidueInChild(Prepared([&] { return Load(small, 10) && Load(empty, 1); }),
                             [&](bool warm) { return warm && Load(large, 3 * LargeRows) && Load(empty, 1); });
    ASSERT_NE(residue, test::ChildFailed);
    ASSERT_NE(residue, test::StepWentWrong);
    // Here about 380 KiB; some 4,100 KiB when the answers for the table's 2,500,000 texts are kept.
    EXPECT_LT(residue, 1024) << "KiB left resident";
}

} // namespace
} // namespace quibo
