#pragma once

// Rows with every column filled, so that a golden file shows which column each element carries and
// which columns are not read.

#include "localdb/StagingSchema.h"
#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

namespace quibo::test {

// What a filled column holds: its name without the "_", and with `Named` the last key's value too
// ("BatchName 9"), where rows of one table stand side by side.
enum class Filled { Plain, Named };

// Stages a row of the table with the keys and every other column filled; `cells` give other values
// (null QVariant: Null).
inline void StageFilled(VoucherTest& test, const char* table, VoucherTest::Cells keys,
                        VoucherTest::Cells cells = {}, Filled filled = Filled::Named) {
    const staging::TableSchema* schema = staging::FindTable(QString::fromLatin1(table));
    ASSERT_NE(schema, nullptr) << table;
    QStringList columns{staging::CompanyNameColumn};
    QVariantList values{QStringLiteral("Acme Traders")};
    for (const auto& [column, value] : keys) {
        columns.append(QString::fromLatin1(column));
        values.append(value);
    }
    const QString id = filled == Filled::Named ? QLatin1Char(' ') + values.last().toString() : QString();
    for (const QString& column : schema->dataColumns + schema->unwrittenColumns) {
        columns.append(column);
        values.append(column.chopped(1) + id);
    }
    for (const auto& [column, value] : cells) {
        const qsizetype at = columns.indexOf(QString::fromLatin1(column));
        if (at < 0) {
            columns.append(QString::fromLatin1(column));
            values.append(value);
        } else {
            values[at] = value;
        }
    }
    test.db.insert(schema->name, columns, values);
}

} // namespace quibo::test
