#pragma once

// Rows with every data column filled, so that a golden file shows which column each element carries.

#include "localdb/StagingSchema.h"
#include "staging/VoucherFixture.h"

#include <gtest/gtest.h>

namespace quibo::test {

// Stages a row of the table with the keys and every data column holding its own name without the
// "_" and the last key's value ("BatchName 9"); `cells` give other values (null QVariant: Null).
inline void StageFilled(VoucherTest& test, const char* table, VoucherTest::Cells keys,
                        VoucherTest::Cells cells = {}) {
    const staging::TableSchema* schema = staging::FindTable(QString::fromLatin1(table));
    ASSERT_NE(schema, nullptr) << table;
    QStringList columns{staging::CompanyNameColumn};
    QVariantList values{QStringLiteral("Acme Traders")};
    for (const auto& [column, value] : keys) {
        columns.append(QString::fromLatin1(column));
        values.append(value);
    }
    const QString id = values.last().toString();
    for (const QString& column : schema->dataColumns) {
        columns.append(column);
        values.append(QStringLiteral("%1 %2").arg(column.chopped(1), id));
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
