#include "core/TextPool.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace quibo::core {
namespace {

TEST(TextPool, EqualTextsShareOneIdAndBlankIsEmpty) {
    TextPool pool;
    const TextPool::Id cash = pool.intern(QStringLiteral("Cash"));
    EXPECT_NE(cash, TextPool::Empty);
    EXPECT_EQ(pool.intern(QStringLiteral("Ca") + QStringLiteral("sh")), cash);
    EXPECT_NE(pool.intern(QStringLiteral("cash")), cash);
    EXPECT_EQ(pool.intern(QString()), TextPool::Empty);
    EXPECT_EQ(pool.intern(QStringLiteral("")), TextPool::Empty);
    EXPECT_EQ(pool.text(TextPool::Empty), QString());
    EXPECT_EQ(pool.size(), 3u);
}

TEST(TextPool, TextsKeepTheirIdsAndPlacesAsThePoolGrows) {
    TextPool pool;
    const QString& first = pool.text(pool.intern(QStringLiteral("0")));
    for (int i = 1; i < 5000; ++i)
        pool.intern(QString::number(i));
    EXPECT_EQ(first, QStringLiteral("0"));
    for (int i = 0; i < 5000; i += 499)
        EXPECT_EQ(pool.text(pool.intern(QString::number(i))), QString::number(i));
    EXPECT_EQ(pool.size(), 5001u);
}

TEST(TextPool, TextsFromBytesFindTheTextsFromStrings) {
    TextPool pool;
    const QString accented = QString::fromUtf8("Caf\xC3\xA9");
    const TextPool::Id cash = pool.intern(QStringLiteral("Cash"));
    const TextPool::Id cafe = pool.intern(accented);
    EXPECT_EQ(pool.internLatin1("Cash", 4), cash);
    EXPECT_EQ(pool.internUtf8("Cash", 4), cash);
    EXPECT_EQ(pool.internUtf8("Caf\xC3\xA9", 5), cafe);
    EXPECT_EQ(pool.internLatin1("Caf\xE9", 4), cafe);
    EXPECT_EQ(pool.intern(QStringView(u"Cash")), cash);
    EXPECT_EQ(pool.internUtf8("", 0), TextPool::Empty);
    const TextPool::Id bank = pool.internUtf8("Bank", 4);
    EXPECT_EQ(pool.text(bank), QStringLiteral("Bank"));
    EXPECT_EQ(pool.intern(QStringLiteral("Bank")), bank);
    EXPECT_EQ(pool.size(), 4u);
    // A row at once: a text without bytes keeps the id given.
    const TextPool::Bytes row[] = {{"Cash", 4}, {nullptr, 0}, {"", 0}, {"Caf\xC3\xA9", 5}, {"New", 3}};
    TextPool::Id ids[5] = {9, 9, 9, 9, 9};
    pool.internUtf8(row, 5, ids);
    EXPECT_EQ(
        std::vector<TextPool::Id>(ids, ids + 5),
        (std::vector<TextPool::Id>{cash, 9, TextPool::Empty, cafe, pool.intern(QStringLiteral("New"))}));
    // A U+FEFF that begins a text is a character of it, alone and in a row.
    EXPECT_EQ(pool.text(pool.internUtf8("\xEF\xBB\xBF"
                                        "Cash",
                                        7)),
              QStringLiteral("\uFEFFCash"));
    const TextPool::Bytes marked[] = {{"\xEF\xBB\xBF", 3}};
    pool.internUtf8(marked, 1, ids);
    EXPECT_EQ(pool.text(ids[0]), QString(QChar(0xFEFF)));
}

// A batch of UTF-16 texts (a driver's buffers) finds and adds as one text at a time would, across
// batches and the pool's growth, a text repeated within the batch once.
TEST(TextPool, TextsFromUtf16BuffersAtOnce) {
    TextPool pool;
    const TextPool::Id cash = pool.intern(QStringLiteral("Cash"));
    std::vector<QString> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(i % 3 == 0   ? QStringLiteral("Cash")
                        : i % 7 == 0 ? QString()
                                     : QStringLiteral("L%1").arg(i / 2));
    std::vector<QStringView> views(texts.begin(), texts.end());
    std::vector<TextPool::Id> ids(views.size());
    pool.intern(views.data(), views.size(), ids.data());
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(pool.text(ids[i]), texts[i]) << i;
        ASSERT_EQ(pool.intern(texts[i]), ids[i]) << i;
    }
    EXPECT_EQ(ids[0], cash);
    EXPECT_EQ(ids[7], TextPool::Empty);
}

// Texts share large arrays: a copy must stay whole, NUL-ended and its own after the pool is gone,
// however it is changed (ASan would report a copy reaching freed or shared memory).
TEST(TextPool, CopiesOfTextsOutliveThePoolAndChangeAlone) {
    QString kept, grown, other;
    {
        TextPool pool;
        for (int i = 0; i < 20000; ++i) // several arrays' worth
            pool.internLatin1(QByteArray::number(i).constData(), QByteArray::number(i).size());
        kept = pool.text(pool.intern(QStringLiteral("12345")));
        grown = pool.text(pool.intern(QStringLiteral("7")));
        other = pool.text(pool.intern(QStringLiteral("8")));
        grown += QStringLiteral(" while pooled");
        EXPECT_EQ(pool.text(pool.intern(QStringLiteral("7"))), QStringLiteral("7"));
    }
    EXPECT_EQ(kept, QStringLiteral("12345"));
    EXPECT_EQ(kept.utf16()[5], u'\0');
    kept += QStringLiteral("-after");
    other.append(QStringLiteral(" and more text than the neighbours had"));
    EXPECT_EQ(kept, QStringLiteral("12345-after"));
    EXPECT_EQ(grown, QStringLiteral("7 while pooled"));
    EXPECT_EQ(other, QStringLiteral("8 and more text than the neighbours had"));
    kept.clear();
    EXPECT_EQ(other.size(), 39);
}

// A long text that another string holds too (a shared string in each cell showing it) is kept in
// that string's array, not copied, and found again by it; it stays whole after the pool is gone and
// a copy changes alone.
TEST(TextPool, ALongSharedTextIsKeptInItsOwnArray) {
    std::vector<QString> texts, holders, kept;
    for (int i = 0; i < 40; ++i) // enough to grow the look-up by place
        texts.push_back(QString(200, QChar(u'a' + i % 26)) + QString::number(i));
    holders = texts;
    {
        TextPool pool;
        for (const QString& text : texts) {
            const TextPool::Id id = pool.intern(text);
            EXPECT_EQ(pool.text(id).constData(), text.constData());
            EXPECT_EQ(pool.intern(QString(text)), id);
            EXPECT_EQ(pool.intern(QString(text.constData(), text.size())), id); // the same text elsewhere
            kept.push_back(pool.text(id));
        }
        const TextPool::Id alone = pool.intern(QString(200, u'z')); // held by no other string: copied
        EXPECT_EQ(pool.text(alone), QString(200, u'z'));
        EXPECT_EQ(pool.size(), texts.size() + 2);
        holders.clear();
        texts[0] += QStringLiteral(" changed");
        EXPECT_EQ(pool.text(pool.intern(kept[0])), QString(200, u'a') + QStringLiteral("0"));
    }
    EXPECT_EQ(kept[39], QString(200, u'n') + QStringLiteral("39"));
    kept[39] += QStringLiteral(" after");
    EXPECT_EQ(kept[39].size(), 208);
}

// A text longer than the pool notes lengths for (65,535 characters and more) is still pooled and
// found again, and each text's QString, made only when asked for, is the same one every time.
TEST(TextPool, AVeryLongTextAndTheStringsMadeLater) {
    const QString huge = QString(70000, u'x') + QStringLiteral("y");
    QString copy;
    {
        TextPool pool;
        std::vector<TextPool::Id> ids;
        for (int i = 0; i < 1500; ++i) // several segments of made strings
            ids.push_back(pool.intern(QStringView(QString::number(i))));
        const TextPool::Id id = pool.intern(QStringView(huge));
        EXPECT_EQ(pool.intern(QStringView(huge)), id);
        EXPECT_EQ(pool.view(id), huge);
        const QString& made = pool.text(ids[700]);
        EXPECT_EQ(made, QStringLiteral("700"));
        EXPECT_EQ(pool.view(ids[701]), QStringLiteral("701"));
        pool.intern(QStringLiteral("more"));
        EXPECT_EQ(&pool.text(ids[700]), &made);
        copy = pool.text(id);
        EXPECT_EQ(pool.text(ids[1499]), QStringLiteral("1499"));
    }
    EXPECT_EQ(copy, huge);
}

// Texts are compared a word at a time: two texts of any length up to a few words that differ in any
// one place, or only in length, are not the same.
TEST(SameText, EveryDifferenceAtAnyLength) {
    for (int length = 0; length <= 20; ++length) {
        const QString text = QStringLiteral("abcdefghijklmnopqrstu").left(length);
        EXPECT_TRUE(SameText(text, QString(text))) << length;
        EXPECT_FALSE(SameText(text, text + u'v')) << length;
        for (int at = 0; at < length; ++at) {
            QString other = text;
            other[at] = QChar(0x20AC);
            EXPECT_FALSE(SameText(text, other)) << length << " " << at;
        }
    }
}

// Texts are hashed a word at a time: texts of every length up to a few words, with a character
// beyond ASCII at the start, inside or at the end, find one id from every form they come in.
TEST(TextPool, EveryFormOfATextFindsItsIdAtAnyLength) {
    TextPool pool;
    std::set<QString> distinct;
    for (int length = 1; length <= 20; ++length) {
        for (const int accent : {-1, 0, length / 2, length - 1}) {
            QString text;
            for (int i = 0; i < length; ++i)
                text.append(i == accent ? QChar(0xE9) : QChar(u'a' + i % 26));
            const QString wide = text + QChar(0x20AC); // a character beyond Latin-1
            distinct.insert({text, wide});
            const QByteArray latin1 = text.toLatin1();
            const QByteArray utf8 = text.toUtf8();
            const QByteArray wideUtf8 = wide.toUtf8();
            const TextPool::Id id = pool.internLatin1(latin1.constData(), latin1.size());
            EXPECT_EQ(pool.intern(text), id) << length << " " << accent;
            EXPECT_EQ(pool.internUtf8(utf8.constData(), utf8.size()), id) << length << " " << accent;
            EXPECT_EQ(pool.text(id), text);
            EXPECT_EQ(pool.internUtf8(wideUtf8.constData(), wideUtf8.size()), pool.intern(wide));
        }
    }
    EXPECT_EQ(pool.size(), distinct.size() + 1);
    // Room made for more keeps every text where it was.
    const TextPool::Id abc = pool.internLatin1("abc", 3);
    pool.reserve(100000);
    EXPECT_EQ(pool.intern(QStringLiteral("abc")), abc);
    EXPECT_EQ(pool.size(), distinct.size() + 1);
}

} // namespace
} // namespace quibo::core
