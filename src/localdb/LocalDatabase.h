#pragma once

#include "localdb/RecordSet.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace quibo {

// One connection to the local database "Quibo20.DAT" in the data folder: the
// voucher staging tables and the custom-format tables. The file and its tables
// are created on first use. Values reach SQL only as bound parameters.
//
// Every failure (file cannot be opened, statement rejected, database locked for
// longer than BusyTimeoutMs) raises vb::RuntimeError with vb::err::DatabaseError
// and the engine's message. Single-threaded, like every caller.
class LocalDatabase {
public:
    static inline const QString FileName = QStringLiteral("Quibo20.DAT");
    static constexpr int SchemaVersion = 1;
    static constexpr int BusyTimeoutMs = 2000;

    explicit LocalDatabase(const QString& folder);
    ~LocalDatabase();
    LocalDatabase(const LocalDatabase&) = delete;
    LocalDatabase& operator=(const LocalDatabase&) = delete;

    QString path() const;

    // One statement with `?` parameters; a null QVariant binds Null, a QString
    // (empty included) binds text. Returns the number of rows changed.
    int execute(const QString& sql, const QVariantList& params = {});
    RecordSet query(const QString& sql, const QVariantList& params = {});
    // One row into a table of the schema; unknown tables and columns are refused.
    void insert(const QString& table, const QStringList& columns, const QVariantList& values);

    // Whether a batch (a LocalTransaction or LocalSnapshot) is open on this connection.
    bool inTransaction() const;

private:
    friend class LocalTransaction;
    friend class LocalSnapshot;

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace quibo
