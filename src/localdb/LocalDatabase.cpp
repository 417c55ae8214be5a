#include "localdb/LocalDatabase.h"

#include "localdb/GatheredJournal.h"
#include "localdb/StagingSchema.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

namespace quibo {

namespace {

// Beyond this many distinct statement texts the cache starts afresh; the
// program's own statements are a few dozen fixed texts.
constexpr size_t StatementCacheLimit = 256;

[[noreturn]] void RaiseDatabaseError(const QString& message) {
    vb::Raise(vb::err::DatabaseError, message);
}

[[noreturn]] void RaiseEngineError(sqlite3* db) {
    RaiseDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

struct ConnectionCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using ConnectionPtr = std::unique_ptr<sqlite3, ConnectionCloser>;

struct StatementDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StatementPtr = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Puts a cached statement back to its unused state however the call ends, so
// no statement keeps a read lock or a bound value after it.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementUse() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Text compares with NOCASE: company names, format names and tag letters match
// whatever their letter case.
QString CreateTableSql(const staging::TableSchema& table) {
    QStringList definitions;
    for (const QString& column : table.columns()) {
        definitions << QuoteIdentifier(column) + (table.isInteger(column)
                                                      ? QStringLiteral(" INTEGER")
                                                      : QStringLiteral(" TEXT COLLATE NOCASE"));
    }
    return QStringLiteral("CREATE TABLE IF NOT EXISTS ") + QuoteIdentifier(table.name) +
           QStringLiteral(" (") + definitions.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QStringList ColumnNames(sqlite3_stmt* stmt) {
    QStringList names;
    const int count = sqlite3_column_count(stmt);
    for (int c = 0; c < count; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt, c));
    return names;
}

// Every removal and read filters on the key columns: without an index each
// removal would scan the whole table.
QString CreateKeyIndexSql(const staging::TableSchema& table) {
    QStringList keys;
    for (const QString& key : table.keyColumns)
        keys << QuoteIdentifier(key);
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ") +
           QuoteIdentifier(table.name + QStringLiteral("_Key")) + QStringLiteral(" ON ") +
           QuoteIdentifier(table.name) + QStringLiteral(" (") + keys.join(QStringLiteral(", ")) +
           QLatin1Char(')');
}

// val(x): the number at the start of a text, as `Val` reads it.
void ValFunction(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const void* text = sqlite3_value_text16(args[0]);
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const qsizetype length = sqlite3_value_bytes16(args[0]) / 2;
    try {
        sqlite3_result_double(context, vb::Val(QStringView(static_cast<const char16_t*>(text), length)));
    } catch (const vb::RuntimeError& e) {
        const QByteArray message = e.description().toUtf8();
        sqlite3_result_error(context, message.constData(), static_cast<int>(message.size()));
    } catch (...) {
        sqlite3_result_error(context, "val failed", -1);
    }
}

bool HasSurrogate(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); });
}

// Empty text is bound as such, never as Null.
int BindText(sqlite3_stmt* stmt, int index, const char* text, qsizetype length) {
    return length == 0 ? sqlite3_bind_text(stmt, index, "", 0, SQLITE_STATIC)
                       : sqlite3_bind_text(stmt, index, text, static_cast<int>(length), SQLITE_STATIC);
}

bool IsBlankTail(const char* tail) {
    for (; tail && *tail; ++tail)
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') return false;
    return true;
}

ConnectionPtr Open(const QString& filePath) {
    sqlite3* raw = nullptr;
    // A connection serves one thread, like the whole program: it needs no lock of its own per call.
    const int rc = sqlite3_open_v2(QFile::encodeName(filePath).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   localdb::GatheredJournalVfs());
    ConnectionPtr connection(raw);
    if (!connection) RaiseDatabaseError(QString::fromLatin1(sqlite3_errstr(rc)));
    if (rc != SQLITE_OK) RaiseEngineError(connection.get());
    sqlite3_busy_timeout(connection.get(), LocalDatabase::BusyTimeoutMs);
    // Every Post stages its rows afresh, so a power cut may cost the vouchers staged since the last
    // checkpoint but must never cost the file: a write-ahead journal synced at checkpoints gives
    // that, and spares each voucher's commit a sync of its own. Where the file system cannot hold the journal
    // the engine keeps its rollback journal, which is as safe; and a file that is no database is refused
    // below with the engine's reason.
    sqlite3_exec(connection.get(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(connection.get(), "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    // A checkpoint every 10000 pages (about 40 MB of journal, some thousand vouchers) instead of every
    // 1000: each one costs two syncs, and pages rewritten by many vouchers are copied to the file once.
    // The journal's syncs stay where they were, at checkpoints, so a power cut may cost more staged
    // vouchers but still never the file; the next Post stages them afresh anyway. The journal is
    // checkpointed and removed when the last connection closes.
    sqlite3_exec(connection.get(), "PRAGMA wal_autocheckpoint=10000", nullptr, nullptr, nullptr);
    if (sqlite3_create_function_v2(connection.get(), "val", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                   &ValFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        RaiseEngineError(connection.get());
    return connection;
}

} // namespace

struct LocalDatabase::Impl {
    QString path;
    ConnectionPtr connection;
    // Declared after the connection: statements are finalized before it closes.
    struct Prepared {
        StatementPtr stmt;
        QStringList columnNames; // read once: every result of the statement shares them
        QString key;             // the text it is cached under, sharing its characters
    };
    std::unordered_map<QString, Prepared> statements;
    // The statements used last, by where their text's characters lie.
    struct Recent {
        const QChar* text = nullptr;
        qsizetype length = 0;
        Prepared* prepared = nullptr;
    };
    std::array<Recent, 32> recentStatements{};
    size_t nextRecent = 0;
    void clearStatements() {
        recentStatements.fill({});
        statements.clear();
    }
    // The texts bound to the statement being run (reserved up front: the engine keeps pointers):
    // QStrings as UTF-8 one after the other, other values as text each of its own.
    QStringEncoder utf8{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    std::vector<char> boundBytes;
    std::vector<QByteArray> boundTexts;

    explicit Impl(const QString& filePath) : path(filePath), connection(Open(filePath)) {}

    sqlite3* handle() const { return connection.get(); }

    Prepared& prepare(const QString& sql);
    Prepared& lookUp(const QString& sql);
    void bind(sqlite3_stmt* stmt, const QVariantList& params);
    int step(sqlite3_stmt* stmt);
    int run(const QString& sql, const QVariantList& params);
    RecordSet read(const QString& sql, const QVariantList& params);
    void createSchema();

    // The statement text of an insert, checked against the schema once per
    // table and column list: a loop of inserts finds it without building it.
    struct InsertShape {
        QString table;
        QStringList columns;
        QString sql;
    };
    std::vector<InsertShape> insertShapes;
    const QString& insertStatement(const QString& table, const QStringList& columns);
};

const QString& LocalDatabase::Impl::insertStatement(const QString& table, const QStringList& columns) {
    for (const InsertShape& shape : insertShapes)
        if (shape.columns == columns && shape.table == table) return shape.sql;

    const staging::TableSchema* schema = staging::FindTable(table);
    if (!schema) RaiseDatabaseError(QStringLiteral("no such table: ") + table);
    if (columns.isEmpty()) RaiseDatabaseError(QStringLiteral("no columns given for table ") + table);
    QString names;
    QString marks;
    for (const QString& column : columns) {
        if (!schema->hasColumn(column))
            RaiseDatabaseError(QStringLiteral("table %1 has no column named %2").arg(table, column));
        if (!names.isEmpty()) {
            names += QStringLiteral(", ");
            marks += QStringLiteral(", ");
        }
        names += QuoteIdentifier(column);
        marks += QLatin1Char('?');
    }
    if (insertShapes.size() >= StatementCacheLimit) insertShapes.clear();
    insertShapes.push_back({table, columns,
                            QStringLiteral("INSERT INTO ") + QuoteIdentifier(table) + QStringLiteral(" (") +
                                names + QStringLiteral(") VALUES (") + marks + QLatin1Char(')')});
    return insertShapes.back().sql;
}

LocalDatabase::Impl::Prepared& LocalDatabase::Impl::prepare(const QString& sql) {
    // The writers and sections pass the same few texts again and again: a text whose characters lie
    // where a cached one's do is that text (the cache's copy keeps them from changing or going),
    // found without hashing it.
    for (const Recent& recent : recentStatements)
        if (recent.text == sql.constData() && recent.length == sql.size()) return *recent.prepared;
    Prepared& found = lookUp(sql);
    recentStatements[nextRecent] = {found.key.constData(), found.key.size(), &found};
    nextRecent = (nextRecent + 1) % recentStatements.size();
    return found;
}

LocalDatabase::Impl::Prepared& LocalDatabase::Impl::lookUp(const QString& sql) {
    if (auto it = statements.find(sql); it != statements.end()) return it->second;

    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(handle(), text.constData(), static_cast<int>(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &raw, &tail);
    StatementPtr stmt(raw);
    if (rc != SQLITE_OK) RaiseEngineError(handle());
    // Access's texts for these two mistakes, which users know.
    if (!stmt)
        RaiseDatabaseError(QStringLiteral(
            "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."));
    if (!IsBlankTail(tail))
        RaiseDatabaseError(QStringLiteral("Characters found after end of SQL statement."));

    QStringList names = ColumnNames(stmt.get());
    if (statements.size() >= StatementCacheLimit) clearStatements();
    return statements.emplace(sql, Prepared{std::move(stmt), std::move(names), sql}).first->second;
}

void LocalDatabase::Impl::bind(sqlite3_stmt* stmt, const QVariantList& params) {
    if (params.size() < sqlite3_bind_parameter_count(stmt))
        RaiseDatabaseError(QStringLiteral("No value given for one or more required parameters."));
    boundTexts.clear();
    boundTexts.reserve(size_t(params.size()));
    // The texts go into one buffer sized for all of them first, so that it never moves while the
    // engine holds pointers into it.
    qsizetype space = 0;
    for (const QVariant& value : params)
        if (value.typeId() == QMetaType::QString)
            space += utf8.requiredSpace(static_cast<const QString*>(value.constData())->size());
    boundBytes.resize(size_t(space));
    char* next = boundBytes.data();
    for (qsizetype i = 0; i < params.size(); ++i) {
        const QVariant& value = params[i];
        const int index = static_cast<int>(i) + 1;
        int rc = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            rc = sqlite3_bind_null(stmt, index);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()),
                                   SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QString:
            // A null or empty QString is empty text: only a null QVariant is Null. The engine reads
            // the text where it lies: it stays until the statement has been reset and unbound.
            if (const QString& text = *static_cast<const QString*>(value.constData()); !HasSurrogate(text)) {
                char* const start = next;
                next = utf8.appendToBuffer(start, text);
                rc = BindText(stmt, index, start, next - start);
                break;
            }
            // A text with surrogates goes the general way: a lone one becomes '?' there, as always.
            [[fallthrough]];
        default: {
            const QByteArray& text = boundTexts.emplace_back(value.toString().toUtf8());
            rc = BindText(stmt, index, text.constData(), text.size());
            break;
        }
        }
        if (rc != SQLITE_OK) RaiseEngineError(handle());
    }
}

int LocalDatabase::Impl::step(sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) RaiseEngineError(handle());
    return rc;
}

int LocalDatabase::Impl::run(const QString& sql, const QVariantList& params) {
    sqlite3_stmt* stmt = prepare(sql).stmt.get();
    StatementUse use(stmt);
    bind(stmt, params);
    const sqlite3_int64 before = sqlite3_total_changes64(handle());
    while (step(stmt) == SQLITE_ROW) {
    }
    return static_cast<int>(sqlite3_total_changes64(handle()) - before);
}

RecordSet LocalDatabase::Impl::read(const QString& sql, const QVariantList& params) {
    Prepared& prepared = prepare(sql);
    sqlite3_stmt* stmt = prepared.stmt.get();
    StatementUse use(stmt);
    bind(stmt, params);
    int count = static_cast<int>(prepared.columnNames.size());
    // A schema change makes the engine prepare the statement again, perhaps with other columns.
    const auto checkColumns = [&] {
        if (sqlite3_column_count(stmt) == count) return;
        prepared.columnNames = ColumnNames(stmt);
        count = static_cast<int>(prepared.columnNames.size());
    };

    std::vector<QVariant> values;
    bool first = true;
    while (step(stmt) == SQLITE_ROW) {
        if (first) checkColumns();
        first = false;
        for (int c = 0; c < count; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_NULL:
                values.emplace_back();
                break;
            case SQLITE_INTEGER:
                values.emplace_back(static_cast<qlonglong>(sqlite3_column_int64(stmt, c)));
                break;
            case SQLITE_FLOAT:
                values.emplace_back(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_BLOB: {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, c));
                values.emplace_back(QByteArray(data, sqlite3_column_bytes(stmt, c)));
                break;
            }
            default: {
                // Read as stored (UTF-8): the engine would otherwise convert into a buffer of its own.
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
                if (!text) RaiseEngineError(handle());
                values.emplace_back(QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)));
                break;
            }
            }
        }
    }
    if (first) checkColumns();
    return RecordSet(prepared.columnNames, std::move(values));
}

void LocalDatabase::Impl::createSchema() {
    const auto version = [this] {
        return read(QStringLiteral("PRAGMA user_version"), {}).value(0, 0).toInt();
    };
    if (version() == SchemaVersion) return;

    // Two programs may open a new file at once: the second waits for the first
    // to finish and then finds the tables there.
    run(QStringLiteral("BEGIN IMMEDIATE"), {});
    try {
        const int found = version();
        if (found != 0 && found != SchemaVersion)
            RaiseDatabaseError(QStringLiteral("%1 has schema version %2; this program knows version %3.")
                                   .arg(path)
                                   .arg(found)
                                   .arg(SchemaVersion));
        if (found == 0) {
            for (const auto* tables : {&staging::StagingTables(), &staging::FormatTables()}) {
                for (const staging::TableSchema& table : *tables) {
                    run(CreateTableSql(table), {});
                    if (!table.keyColumns.isEmpty()) run(CreateKeyIndexSql(table), {});
                }
            }
            run(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion), {});
        }
        run(QStringLiteral("COMMIT"), {});
    } catch (...) {
        if (!sqlite3_get_autocommit(handle())) sqlite3_exec(handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    // The schema statements are used once; keep the cache for the caller's own.
    clearStatements();
}

LocalDatabase::LocalDatabase(const QString& folder) {
    d = std::make_unique<Impl>(QDir(folder).filePath(FileName));
    d->createSchema();
}

LocalDatabase::~LocalDatabase() = default;

QString LocalDatabase::path() const {
    return d->path;
}

int LocalDatabase::execute(const QString& sql, const QVariantList& params) {
    return d->run(sql, params);
}

RecordSet LocalDatabase::query(const QString& sql, const QVariantList& params) {
    return d->read(sql, params);
}

void LocalDatabase::insert(const QString& table, const QStringList& columns, const QVariantList& values) {
    if (columns.size() != values.size())
        RaiseDatabaseError(QStringLiteral("Number of query values and destination fields are not the same."));
    d->run(d->insertStatement(table, columns), values);
}

bool LocalDatabase::inTransaction() const {
    return !sqlite3_get_autocommit(d->handle());
}

} // namespace quibo
