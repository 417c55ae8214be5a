#pragma once

namespace quibo {

class LocalDatabase;

// One batch of writes (one staged voucher): begun on construction, kept only
// by commit(); any other way out of the scope, an exception included, rolls
// it back. Not nestable on one connection.
class LocalTransaction {
public:
    explicit LocalTransaction(LocalDatabase& db);
    ~LocalTransaction();
    LocalTransaction(const LocalTransaction&) = delete;
    LocalTransaction& operator=(const LocalTransaction&) = delete;

    void commit();

private:
    LocalDatabase& m_db;
    bool m_done = false;
};

// One consistent read made of many queries (a staged voucher being built): the engine takes the
// file's locks once for all of them instead of once per query. Within a transaction already open it
// does nothing. Ended, without writing anything, when the scope is left.
class LocalSnapshot {
public:
    explicit LocalSnapshot(LocalDatabase& db);
    ~LocalSnapshot();
    LocalSnapshot(const LocalSnapshot&) = delete;
    LocalSnapshot& operator=(const LocalSnapshot&) = delete;

private:
    LocalDatabase& m_db;
    bool m_began = false;
};

} // namespace quibo
