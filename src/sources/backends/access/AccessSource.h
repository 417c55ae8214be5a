#pragma once

#include "sources/backends/Source.h"

#include <memory>

namespace quibo {

// An Access database (Jet 3/4) read with libmdb, standing in for the Jet
// provider. Its user tables are the tables; system tables and queries are not
// listed. libmdb opens Jet files without a database password, so a password
// in the connection string is neither needed nor checked.
class AccessSource final : public Source {
public:
    // Raises when the file is missing or not a Jet database.
    explicit AccessSource(QString path);
    ~AccessSource() override;

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    struct Impl;
    QString m_path;
    std::unique_ptr<Impl> d;
};

} // namespace quibo
