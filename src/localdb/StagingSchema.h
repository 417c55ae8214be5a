#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace quibo::staging {

// One table of "Quibo20.DAT". Names are written as the design spells them; the
// database matches table and column names without regard to case.
struct TableSchema {
    QString name;
    // Staging tables: `CompanyName`, then the keys in the order the removal
    // statement names them. Format tables have none.
    QStringList keyColumns;
    // In the order the writers fill them (format tables: as the readers use them).
    QStringList dataColumns;
    // Read back by the voucher builder but filled by no writer: always Null.
    QStringList unwrittenColumns;
    // Columns holding whole numbers; every other column holds text.
    QStringList integerColumns;

    // Every column, in table order: keys, data, unwritten.
    QStringList columns() const;
    // The column as the schema spells it, matched without regard to case; empty when absent.
    QString column(QStringView name) const;
    bool hasColumn(QStringView name) const { return !column(name).isEmpty(); }
    bool isInteger(QStringView name) const;
};

inline const QString CompanyNameColumn = QStringLiteral("CompanyName");

// The voucher staging tables (`EXCISEITEMGODOWN` last: it is only ever emptied).
const std::vector<TableSchema>& StagingTables();
// The custom-format tables `QuiboMst_`, `QuiboDet_`, `QuiboGrp_`.
const std::vector<TableSchema>& FormatTables();
// A staging or format table by name, matched without regard to case; nullptr when unknown.
const TableSchema* FindTable(QStringView name);

} // namespace quibo::staging
