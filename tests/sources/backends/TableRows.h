// What the backend tests expect of a table's rows, written as texts.
#pragma once

#include "core/Utf8Text.h"
#include "sources/backends/SourceTable.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace quibo::test {

// Marks a Null cell among the expected texts.
inline const char* const Null = "<Null>";

inline QStringList L(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list.append(core::Utf8Text(t, std::strlen(t))); // a leading U+FEFF is a character
    return list;
}

// Every cell as expected: its text, or Null where `Null` stands (an empty text is not Null).
inline void ExpectRows(const SourceTable& table, const std::vector<QStringList>& expected) {
    ASSERT_EQ(table.recordCount(), int(expected.size()));
    for (int r = 0; r < table.recordCount(); ++r) {
        for (int c = 0; c < table.fieldCount(); ++c) {
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
            if (expected[r][c] == QLatin1String(Null)) {
                EXPECT_TRUE(IsNull(table.cell(r, c))) << table.text(r, c).toStdString();
            } else {
                EXPECT_FALSE(IsNull(table.cell(r, c)));
                EXPECT_EQ(table.text(r, c), expected[r][c]);
            }
        }
    }
}

} // namespace quibo::test
