#pragma once

// A staged row with a value in every column, each value its column's name without the underscore,
// so that a golden file shows which column every element comes from, and which are not read.

#include "localdb/StagingSchema.h"
#include "staging/VoucherFixture.h"

namespace quibo::test {

inline void StageFullRow(VoucherTest& test, const char* table, VoucherTest::Cells keys) {
    const staging::TableSchema* schema = staging::FindTable(QString::fromLatin1(table));
    QStringList columns{staging::CompanyNameColumn};
    QVariantList values{QStringLiteral("Acme Traders")};
    for (const auto& [column, value] : keys)
        columns.append(QString::fromLatin1(column)), values.append(value);
    for (const QString& column : schema->dataColumns + schema->unwrittenColumns)
        columns.append(column), values.append(column.chopped(1));
    test.db.insert(QString::fromLatin1(table), columns, values);
}

} // namespace quibo::test
