#pragma once

#include "sources/backends/Source.h"

#include <memory>
#include <optional>
#include <vector>

namespace quibo {

// A named ODBC data source reached through the unixODBC driver manager's
// wide-character API. Tables are listed then views, each name once, of the
// connection's own database; names in queries are quoted with the driver's own
// identifier quote, so "Order By" is the database's own ordering. Rows are
// fetched a block at a time into bound buffers; exact decimals keep every digit
// (as text), single-precision values read as a Single shows them.
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

private:
    QStringList list(const QString& type);
    // One reading of `sql`; none when a bound column's value was cut short, which is then marked
    // in `unbound` to be read with SQLGetData next time.
    std::optional<SourceTable> readOnce(const QString& sql, std::vector<bool>& unbound);

    struct Impl;
    std::unique_ptr<Impl> d;
    QString m_name;
};

} // namespace quibo
