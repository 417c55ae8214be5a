#pragma once

// A headless main form over a scratch local database, with a sender that records each voucher as
// the staging tables hold it when it is sent, and answers from a script.

#include "base/FormFixture.h"
#include "localdb/LocalDatabase.h"
#include "tally/HttpTransport.h"
#include "tally/TallyOutcome.h"
#include "vouchers/VoucherRun.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace quibo {
class TallyLink;
}

namespace quibo::test {

// A poster, the rows it is run over, and the golden file of the one request it sends.
struct GoldenRun {
    void (*post)(FormModel& form, TallyLink& link);
    QStringList fields;
    QList<QStringList> rows;
    const char* golden;
};

class PostingFixture : public ::testing::Test, public PostingHarness {
protected:
    PostingFixture();

    // Records "company/voucher id" and what a second connection reads of the voucher then (so only
    // what was committed): "company/id: line, line" of its LedgerEntry names; answers the next
    // scripted outcome, CREATED when none is left.
    VoucherSender Recorder();

    // The rows of a staging query, each row's values joined by "|".
    QStringList Staged(const QString& sql) const;

    bool Red(int row) const;      // every cell of the row is red
    bool Unmarked(int row) const; // every cell in the grid's default colour, the status not bold

    // Runs each poster over its rows, through the staging writers and the voucher builder, and
    // compares the one request it sends with its golden file.
    void ExpectGoldenRuns(std::initializer_list<GoldenRun> runs);

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
