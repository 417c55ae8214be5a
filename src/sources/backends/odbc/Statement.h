#pragma once

#include <QString>
#include <QStringList>

#include <sql.h>
#include <sqlext.h>

#include <optional>

namespace quibo::odbc {

// The driver manager's wide texts as the program's.
const SQLWCHAR* Wide(const QString& text);
QString FromWide(const SQLWCHAR* text, qsizetype length);
// The units of a wide text in a buffer that holds at most `capacity` of them and its NUL, counted
// from the `stated` length on to that NUL: MariaDB's driver states a wide text one unit short for
// each character whose low byte is D8-DB, though its buffer holds the whole text. A text that fills
// the buffer reads `capacity`.
qsizetype WideLength(const SQLWCHAR* text, qsizetype stated, qsizetype capacity);
// A name the driver wrote into a zeroed buffer of `capacity` units and its NUL.
QString NameText(const SQLWCHAR* name, SQLSMALLINT bytes, qsizetype capacity);

// The driver's messages about the handle, one a line.
QString Diagnostics(SQLSMALLINT type, SQLHANDLE handle);
// Raises the driver's messages when `rc` is a failure.
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle);

// A statement handle of a connection, freed with it.
class Statement {
public:
    explicit Statement(SQLHDBC connection);
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();
    SQLHSTMT get() const { return m_handle; }
    void check(SQLRETURN rc) const { Check(rc, SQL_HANDLE_STMT, m_handle); }

private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

// Runs `sql`: as UTF-8 through the narrow entry point where `utf8` (a driver with no wide ones, whose
// text the driver manager would otherwise cut to a byte a character).
SQLRETURN ExecDirect(const Statement& stmt, const QString& sql, bool utf8);

// Whole text of a column, read with SQLGetData, wide or as the driver's UTF-8 bytes (`narrow`); Null
// when the value is Null.
std::optional<QString> TextData(const Statement& stmt, SQLUSMALLINT column, bool narrow = false);

// The rows of a one-column query about the connection, as texts; none when the query fails, which
// then only leaves the reading as every driver has it.
std::optional<QStringList> QueryTexts(SQLHDBC dbc, const char* sql);

} // namespace quibo::odbc
