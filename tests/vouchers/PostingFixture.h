#pragma once

// A headless main form over a scratch local database, with a sender that records each voucher as
// the staging tables hold it when it is sent, and answers from a script.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "localdb/LocalDatabase.h"
#include "support/TestServices.h"
#include "tally/HttpTransport.h"
#include "tally/TallyOutcome.h"
#include "vouchers/VoucherRun.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <initializer_list>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

// Readable failure messages for the Qt values these tests compare.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "[\n  " << list.join(QStringLiteral("\n  ")).toStdString() << "\n]";
}

namespace quibo {
class TallyLink;
}

namespace quibo::test {

inline const QString Sharma = QStringLiteral("Sharma Traders");
inline const QString Mehta = QStringLiteral("Mehta Exports");

// A poster, the rows it is run over, and the golden file of the one request it sends.
struct GoldenRun {
    void (*post)(FormModel& form, TallyLink& link);
    QStringList fields;
    QList<QStringList> rows;
    const char* golden;
};

class PostingFixture : public ::testing::Test {
protected:
    PostingFixture();

    // Loads a source as the table loader does: the source grid, GR1 with one column per field keyed
    // by its upper-cased name and "PROCESSSTATUS", one row per record, then the closing empty row
    // (unless asked not to).
    void Load(const QStringList& fields, const QList<QStringList>& records, bool closingRow = true);

    // Records "company/voucher id" and what a second connection reads of the voucher then (so only
    // what was committed): "company/id: line, line" of its LedgerEntry names; answers the next
    // scripted outcome, CREATED when none is left.
    VoucherSender Recorder();

    // The rows of a staging query, each row's values joined by "|".
    QStringList Staged(const QString& sql) const;

    QString Status(int row) const;
    int Icon(int row) const;
    bool Red(int row) const; // every cell of the row is red
    bool Bold(int row) const;
    bool Unmarked(int row) const; // every cell in the grid's default colour, the status not bold
    QStringList Progress() const;
    QStringList Locations() const;

    // Runs each poster over its rows, through the staging writers and the voucher builder, and
    // compares the one request it sends with its golden file.
    void ExpectGoldenRuns(std::initializer_list<GoldenRun> runs);

    TempFolder folder;
    ScriptedMessageBox boxes;
    ScriptedFileDialog files;
    RecordingStatusLine statusLine;
    CountingYield yield;
    FakeClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    FormModel form{FormServices{boxes, files, statusLine, yield, clock, settings, errors, folder.path()}};
    LocalDatabase db{folder.path()};

    QStringList sent;
    std::deque<TallyOutcome> answers;
};

// Keeps the body of every request and answers CREATED.
class RecordingTransport final : public HttpTransport {
public:
    HttpReply post(const QString& url, const QByteArray& body, const QStringList& headers) override;
    HttpReply getWithBody(const QString& url, const QByteArray& body) override;
    std::vector<QByteArray> bodies;
};

// Compares the bytes with tests/vouchers/golden/NAME; QUIBO_UPDATE_GOLDEN=1 writes the file instead.
void ExpectGolden(const QByteArray& bytes, const QString& name);

} // namespace quibo::test
