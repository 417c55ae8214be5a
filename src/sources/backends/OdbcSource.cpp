#include "sources/backends/OdbcSource.h"

#include "sources/backends/ConnectionString.h"
#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace quibo {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager speaks UTF-16");

const SQLWCHAR* Wide(const QString& text) {
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

QString FromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

QString Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    QStringList messages;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLWCHAR text[1024] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, text, 1024, &length);
        if (!SQL_SUCCEEDED(rc)) break;
        messages.append(FromWide(text, std::min<qsizetype>(length, 1023)));
    }
    return messages.isEmpty() ? QStringLiteral("[unixODBC]Unknown error") : messages.join(QLatin1Char('\n'));
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
    if (!SQL_SUCCEEDED(rc)) RaiseProviderError(provider::Odbc, Diagnostics(type, handle));
}

class Statement {
public:
    explicit Statement(SQLHDBC connection) {
        Check(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle), SQL_HANDLE_DBC, connection);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_handle); }
    SQLHSTMT get() const { return m_handle; }
    void check(SQLRETURN rc) const { Check(rc, SQL_HANDLE_STMT, m_handle); }

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

enum class Fetch { Text, Integer, Number, Boolean, Date, Skip };

Fetch FetchFor(SQLSMALLINT type) {
    switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return Fetch::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return Fetch::Number;
    case SQL_BIT:
        return Fetch::Boolean;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
        return Fetch::Date;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return Fetch::Skip;
    default:
        return Fetch::Text;
    }
}

ColumnKind KindOf(Fetch fetch) {
    switch (fetch) {
    case Fetch::Integer:
    case Fetch::Number:
        return ColumnKind::Number;
    case Fetch::Boolean:
        return ColumnKind::Boolean;
    case Fetch::Date:
        return ColumnKind::Date;
    default:
        return ColumnKind::Text;
    }
}

// Whole text of a column, read in pieces; Null when the value is Null.
std::optional<QString> TextData(const Statement& stmt, SQLUSMALLINT column) {
    QString text;
    SQLWCHAR buffer[2048];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt.get(), column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        const qsizetype capacity = qsizetype(sizeof buffer / sizeof(SQLWCHAR)) - 1;
        const qsizetype got =
            (indicator == SQL_NO_TOTAL || indicator / qsizetype(sizeof(SQLWCHAR)) > capacity)
                ? capacity
                : indicator / qsizetype(sizeof(SQLWCHAR));
        text.append(FromWide(buffer, got));
        if (rc == SQL_SUCCESS) break;
    }
    return text;
}

// Drivers hand dates out as "yyyy-mm-dd hh:mm:ss[.fff]", a date or a time alone.
SourceCell DateCell(const QString& text) {
    const QDateTime value = ParseDateText(text);
    if (value.isValid()) return value;
    return text;
}

// A connection string value as ODBC takes it: in braces, "}" doubled, when it
// holds a character that would end or confuse it.
QString OdbcValue(const QString& value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
                       !value.contains(QLatin1Char('}')) && !value.contains(QLatin1Char('=')) &&
                       value.trimmed() == value;
    if (plain) return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

} // namespace

struct OdbcSource::Impl {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    ~Impl() {
        if (connected) SQLDisconnect(dbc);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

OdbcSource::OdbcSource(const QString& connection, const QString& user, const QString& password)
    : d(std::make_unique<Impl>()) {
    m_name = ConnectionString(connection).value(QStringLiteral("DSN"));
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &d->env))) throw std::bad_alloc();
    Check(SQLSetEnvAttr(d->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, d->env);
    Check(SQLAllocHandle(SQL_HANDLE_DBC, d->env, &d->dbc), SQL_HANDLE_ENV, d->env);

    QString text = connection;
    if (!user.isEmpty()) text += QStringLiteral(";UID=") + OdbcValue(user);
    if (!password.isEmpty()) text += QStringLiteral(";PWD=") + OdbcValue(password);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    Check(SQLDriverConnectW(d->dbc, nullptr, const_cast<SQLWCHAR*>(Wide(text)), SQL_NTS, out, 1024,
                            &outLength, SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, d->dbc);
    d->connected = true;
}

OdbcSource::~OdbcSource() = default;

QStringList OdbcSource::list(const QString& type) {
    Statement stmt(d->dbc);
    stmt.check(SQLTablesW(stmt.get(), nullptr, 0, nullptr, 0, nullptr, 0, const_cast<SQLWCHAR*>(Wide(type)),
                          SQL_NTS));
    QStringList names;
    while (true) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        if (const auto name = TextData(stmt, 3)) names.append(*name);
    }
    return names;
}

QStringList OdbcSource::tables() {
    return list(QStringLiteral("TABLE")) + views();
}

QStringList OdbcSource::views() {
    return list(QStringLiteral("VIEW"));
}

SourceTable OdbcSource::read(const QString& table, const QString& orderBy) {
    SQLWCHAR quoteChars[8] = {};
    SQLSMALLINT quoteLength = 0;
    QString quote;
    if (SQL_SUCCEEDED(
            SQLGetInfoW(d->dbc, SQL_IDENTIFIER_QUOTE_CHAR, quoteChars, sizeof quoteChars, &quoteLength)))
        quote = FromWide(quoteChars, quoteLength / qsizetype(sizeof(SQLWCHAR))).trimmed();
    auto quoted = [&](const QString& name) {
        if (quote.isEmpty()) return name;
        QString inner = name;
        inner.replace(quote, quote + quote);
        return quote + inner + quote;
    };
    QString sql = QStringLiteral("select * from ") + quoted(table);
    if (!orderBy.isEmpty()) sql += QStringLiteral(" Order By ") + quoted(orderBy);

    Statement stmt(d->dbc);
    stmt.check(SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(Wide(sql)), SQL_NTS));
    SQLSMALLINT count = 0;
    stmt.check(SQLNumResultCols(stmt.get(), &count));

    std::vector<SourceColumn> columns;
    std::vector<Fetch> fetches;
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        stmt.check(SQLDescribeColW(stmt.get(), c, name, 512, &nameLength, &type, &size, &digits, &nullable));
        const Fetch fetch = FetchFor(type);
        columns.push_back({FromWide(name, std::min<qsizetype>(nameLength, 511)), KindOf(fetch)});
        fetches.push_back(fetch);
    }
    // Some engines (SQLite among them) take an unknown quoted name for a text
    // constant and order by nothing; the order column must be a column of the table.
    if (!orderBy.isEmpty() && std::none_of(columns.begin(), columns.end(), [&](const SourceColumn& c) {
            return c.name.compare(orderBy, Qt::CaseInsensitive) == 0;
        }))
        RaiseColumnNotFound(provider::Odbc, orderBy);

    SourceTable result(std::move(columns));
    while (true) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        std::vector<SourceCell> row(fetches.size());
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
            SourceCell& cell = row[c - 1];
            SQLLEN indicator = 0;
            switch (fetches[c - 1]) {
            case Fetch::Integer: {
                SQLBIGINT v = 0;
                stmt.check(SQLGetData(stmt.get(), c, SQL_C_SBIGINT, &v, sizeof v, &indicator));
                if (indicator != SQL_NULL_DATA) cell = static_cast<qint64>(v);
                break;
            }
            case Fetch::Number: {
                double v = 0;
                stmt.check(SQLGetData(stmt.get(), c, SQL_C_DOUBLE, &v, sizeof v, &indicator));
                if (indicator != SQL_NULL_DATA) cell = v;
                break;
            }
            case Fetch::Boolean: {
                unsigned char v = 0;
                stmt.check(SQLGetData(stmt.get(), c, SQL_C_BIT, &v, sizeof v, &indicator));
                if (indicator != SQL_NULL_DATA) cell = v != 0;
                break;
            }
            case Fetch::Date:
                if (const auto text = TextData(stmt, c)) cell = DateCell(*text);
                break;
            case Fetch::Text:
                if (auto text = TextData(stmt, c)) cell = std::move(*text);
                break;
            case Fetch::Skip:
                break;
            }
        }
        result.appendRow(std::move(row));
    }
    return result;
}

QString OdbcSource::describe() const {
    return QStringLiteral("ODBC data source '%1'").arg(m_name);
}

} // namespace quibo
