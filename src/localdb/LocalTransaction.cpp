#include "localdb/LocalTransaction.h"

#include "localdb/LocalDatabase.h"

namespace quibo {

LocalTransaction::LocalTransaction(LocalDatabase& db) : m_db(db) {
    // Immediate: the write lock is taken (or refused) here, not halfway through the voucher.
    m_db.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

LocalTransaction::~LocalTransaction() {
    if (m_done) return;
    try {
        // Some failures already ended the transaction inside the engine.
        if (m_db.inTransaction()) m_db.execute(QStringLiteral("ROLLBACK"));
    } catch (...) {
        // Nothing more can be done from a destructor; the engine rolls back on close.
    }
}

void LocalTransaction::commit() {
    m_db.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

LocalSnapshot::LocalSnapshot(LocalDatabase& db) : m_db(db) {
    if (m_db.inTransaction()) return;
    m_db.execute(QStringLiteral("BEGIN"));
    m_began = true;
}

LocalSnapshot::~LocalSnapshot() {
    if (!m_began) return;
    try {
        if (m_db.inTransaction()) m_db.execute(QStringLiteral("COMMIT"));
    } catch (...) {
        // A read-only transaction holds nothing to lose; the engine ends it on close.
    }
}

} // namespace quibo
