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

} // namespace quibo
