#include "sources/backends/odbc/Statement.h"

#include "core/Utf8Text.h"
#include "sources/backends/ProviderError.h"

#include <algorithm>
#include <vector>

namespace quibo::odbc {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager speaks UTF-16");

const SQLWCHAR* Wide(const QString& text) {
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

QString FromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

qsizetype WideLength(const SQLWCHAR* text, qsizetype stated, qsizetype capacity) {
    qsizetype length = std::clamp<qsizetype>(stated, 0, capacity);
    while (length < capacity && text[length] != 0)
        ++length;
    return length;
}

QString NameText(const SQLWCHAR* name, SQLSMALLINT bytes, qsizetype capacity) {
    return FromWide(name, WideLength(name, bytes / qsizetype(sizeof(SQLWCHAR)), capacity));
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

Statement::Statement(SQLHDBC connection) {
    Check(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle), SQL_HANDLE_DBC, connection);
}

Statement::~Statement() {
    SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
}

SQLRETURN ExecDirect(const Statement& stmt, const QString& sql, bool utf8) {
    if (!utf8) return SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(Wide(sql)), SQL_NTS);
    QByteArray bytes = sql.toUtf8();
    return SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(bytes.data()), SQL_NTS);
}

// After a first piece the rest is read at the length the driver states, or in
// pieces twice as long as the last: a driver that measures the whole value at each call (SQLite's)
// then costs a few calls, never one per 4 KiB.
std::optional<QString> TextData(const Statement& stmt, SQLUSMALLINT column, bool narrow) {
    const qsizetype unit = narrow ? 1 : qsizetype(sizeof(SQLWCHAR));
    std::vector<char> data;
    qsizetype used = 0, piece = 4096; // bytes read, and the bytes of the next call's buffer
    for (;;) {
        data.resize(size_t(used + piece));
        char* at = data.data() + used;
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(stmt.get(), column, narrow ? SQL_C_CHAR : SQL_C_WCHAR, at, SQLLEN(piece), &indicator);
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        // A character cut between pieces is whole once they are joined.
        const qsizetype capacity = piece / unit - 1;
        const qsizetype stated = indicator == SQL_NO_TOTAL ? capacity : qsizetype(indicator) / unit;
        used += unit * (narrow ? std::min(stated, capacity)
                               : WideLength(reinterpret_cast<const SQLWCHAR*>(at), stated, capacity));
        if (rc == SQL_SUCCESS) break;
        piece = indicator != SQL_NO_TOTAL && stated > capacity ? (stated - capacity + 1) * unit : 2 * piece;
    }
    if (narrow) return core::Utf8Text(data.data(), size_t(used));
    return FromWide(reinterpret_cast<const SQLWCHAR*>(data.data()), used / unit);
}

std::optional<QStringList> QueryTexts(SQLHDBC dbc, const char* sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) return std::nullopt;
    std::optional<QStringList> texts;
    if (SQL_SUCCEEDED(SQLExecDirectW(stmt, const_cast<SQLWCHAR*>(Wide(QString::fromLatin1(sql))), SQL_NTS))) {
        texts.emplace();
        SQLRETURN rc;
        while (SQL_SUCCEEDED(rc = SQLFetch(stmt))) {
            SQLWCHAR text[256] = {};
            SQLLEN length = 0;
            if (!SQL_SUCCEEDED(
                    SQLGetData(stmt, 1, SQL_C_WCHAR, text, sizeof text - sizeof(SQLWCHAR), &length)))
                break;
            texts->append(length == SQL_NULL_DATA ? QString() : FromWide(text, WideLength(text, 0, 255)));
        }
        if (rc != SQL_NO_DATA) texts.reset();
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return texts;
}

} // namespace quibo::odbc
