#pragma once

#include "sources/backends/Source.h"

#include <sqltypes.h> // SQLLEN

#include <memory>
#include <optional>
#include <vector>

namespace quibo {

// A named ODBC data source reached through the unixODBC driver manager's
// wide-character API. Tables are listed then views, each name once, of the
// connection's own database (on PostgreSQL, of the schemas on its search path,
// which a bare name reads); names in queries are quoted with the driver's own
// identifier quote, so "Order By" is the database's own ordering. Rows are
// fetched a block at a time into bound buffers, long texts too, each buffer
// widened as the data needs; texts wide, or as UTF-8 where the driver's own
// bytes are UTF-8 and faster (SQLite, MariaDB, PostgreSQL under a UTF-8 locale). Exact decimals keep every
// digit (as text), single-precision values read as a Single shows them, an unsigned BIGINT its digits.
class OdbcSource final : public Source {
public:
    // `connection` is the program's "DSN=..." string; user and password are
    // passed as UID and PWD when not empty. Raises with the driver's message.
    OdbcSource(const QString& connection, const QString& user, const QString& password);
    ~OdbcSource() override;

    QStringList tables() override;
    QStringList views() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

    // The rows of each block the last read fetched: more than one unless a value too long for any
    // buffer made its column be read piece by piece, a row at a time.
    size_t blockRows() const;
    // How many times the last read ran its query: once, and where a block's buffers cut a value short
    // that the driver cannot read again in its block (SQLite's, MariaDB's), twice.
    size_t executions() const;
    // Whether texts are fetched as the driver's UTF-8 bytes rather than wide.
    bool narrowTexts() const;

private:
    QStringList list(const QString& type);
    // The names of the columns `select` gives, as the database spells them.
    QStringList columnNames(const QString& select);
    // Raises that the data source lists no table, naming it, with the driver's `reason` where it gave one.
    [[noreturn]] void raiseNoTable(const QString& reason) const;
    // One reading of `sql`, a row at a time where `oneRow`; none when a bound column's value was cut
    // short where the driver cannot read it again. `widths` holds by column the bytes a cell is bound
    // with (0 as the column's description asks, -1 read with SQLGetData), and is widened for each
    // column cut.
    std::optional<SourceTable> readOnce(const QString& sql, std::vector<SQLLEN>& widths, bool oneRow);

    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_name;
};

} // namespace quibo
