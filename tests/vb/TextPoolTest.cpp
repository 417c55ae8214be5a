#include "vb/TextPool.h"

#include <gtest/gtest.h>

namespace quibo::vb {
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

} // namespace
} // namespace quibo::vb
