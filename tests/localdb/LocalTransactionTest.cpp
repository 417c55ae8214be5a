#include "localdb/LocalTransaction.h"

#include "localdb/LocalDatabase.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include "localdb/QtPrinters.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quibo {
namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

class LocalTransactionTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    LocalDatabase db{folder.path()};

    void stageVoucher(const char* id) {
        db.insert(S("Voucher"), {S("CompanyName"), S("VchID")}, {S("Acme"), S(id)});
        db.insert(S("LedgerEntry"), {S("CompanyName"), S("FK_VchID"), S("LdEID")},
                  {S("Acme"), S(id), S("1")});
    }
    int staged() {
        return db.query(S("Select Count(*) from Voucher")).value(0, 0).toInt() +
               db.query(S("Select Count(*) from LedgerEntry")).value(0, 0).toInt();
    }
};

TEST_F(LocalTransactionTest, CommittedWritesStay) {
    {
        LocalTransaction batch(db);
        stageVoucher("1");
        batch.commit();
    }
    EXPECT_EQ(staged(), 2);
    // Seen by a second connection too: really written to the file.
    LocalDatabase other(folder.path());
    EXPECT_EQ(other.query(S("Select VchID from Voucher")).value(0, 0), QVariant(S("1")));
}

TEST_F(LocalTransactionTest, AnExceptionLeavingTheScopeRollsBack) {
    stageVoucher("1");
    try {
        LocalTransaction batch(db);
        stageVoucher("2");
        db.insert(S("Voucher"), {S("Nope_")}, {S("x")}); // raises halfway through the voucher
        batch.commit();
        FAIL() << "no error raised";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), vb::err::DatabaseError);
    }
    EXPECT_EQ(staged(), 2);
    EXPECT_TRUE(db.query(S("Select * from Voucher where VchID=?"), {S("2")}).isEmpty());

    // Any other exception too.
    EXPECT_THROW(
        {
            LocalTransaction batch(db);
            stageVoucher("3");
            throw std::runtime_error("posting failed");
        },
        std::runtime_error);
    EXPECT_EQ(staged(), 2);
}

TEST_F(LocalTransactionTest, LeavingWithoutCommitRollsBack) {
    {
        LocalTransaction batch(db);
        stageVoucher("1");
        EXPECT_EQ(staged(), 2);
    }
    EXPECT_EQ(staged(), 0);
    // The connection is free for the next batch.
    LocalTransaction next(db);
    stageVoucher("2");
    next.commit();
    EXPECT_EQ(staged(), 2);
}

TEST_F(LocalTransactionTest, OneBatchAtATimePerConnection) {
    LocalTransaction batch(db);
    try {
        LocalTransaction inner(db);
        FAIL() << "a second batch began";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), vb::err::DatabaseError);
        EXPECT_EQ(e.description(), S("cannot start a transaction within a transaction"));
    }
    stageVoucher("1");
    batch.commit();
    EXPECT_EQ(staged(), 2);
}

TEST_F(LocalTransactionTest, ABatchCannotBeginWhileAnotherProgramWrites) {
    LocalDatabase other(folder.path());
    LocalTransaction theirs(other);
    other.insert(S("Voucher"), {S("CompanyName"), S("VchID")}, {S("Them"), S("1")});
    try {
        LocalTransaction ours(db);
        FAIL() << "the batch began";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), vb::err::DatabaseError);
        EXPECT_EQ(e.description(), S("database is locked"));
    }
    theirs.commit();
    LocalTransaction ours(db);
    stageVoucher("1");
    ours.commit();
    EXPECT_EQ(db.query(S("Select Count(*) from Voucher")).value(0, 0).toInt(), 2);
}

} // namespace
} // namespace quibo

namespace quibo {
namespace {

// A snapshot reads what is staged, leaves a batch open around it alone, and leaves nothing open.
TEST(LocalSnapshotTest, ReadsWithinABatchOrAloneAndReleasesTheFile) {
    test::TempFolder folder;
    LocalDatabase db{folder.path()};
    {
        LocalTransaction batch(db);
        db.insert(S("Voucher"), {S("CompanyName"), S("VchID")}, {S("Acme"), S("1")});
        { const LocalSnapshot snapshot(db); }
        batch.commit(); // still open after the snapshot ended
    }
    {
        const LocalSnapshot snapshot(db);
        EXPECT_EQ(db.query(S("Select Count(*) from Voucher")).value(0, 0).toInt(), 1);
    }
    LocalTransaction next(db); // refused while the snapshot's transaction stayed open
    next.commit();
}

} // namespace
} // namespace quibo
