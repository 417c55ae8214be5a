#pragma once

#include "sources/backends/odbc/ResultColumn.h"
#include "sources/backends/odbc/Statement.h"
#include "sources/backends/SourceCell.h"

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace quibo::odbc {

// What the program knows of particular drivers and the databases behind them.

// The cell of a value SQLite hands out as text, in a column bound as such (`stored`): its whole numbers
// and reals as the texts SQLite writes for them ("-12", "12.75", "1.0e-07") read as those numbers (a
// Boolean column's as True or False). False for any other text, which is the cell as it stands.
bool StoredCell(std::string_view text, Fetch fetch, SourceCell& cell);
// Whether a text is what SQLite's driver writes for a BLOB ("X'0A1B'"), which a text can be too.
bool BlobText(std::string_view text);
// Columns that mark, for each row of a SQLite result, which of its `columns` (names, quoted) hold a
// BLOB: one whole number for each BlobMarkBits of them, bit k for the k-th; "" for none, else
// ", mark, mark...", to follow the "select *" of the query.
constexpr qsizetype BlobMarkBits = 60;
QString BlobMarks(const QStringList& columns);
// Whether a column's type, as the database names it, is an exact decimal.
bool IsDecimalTypeName(const Statement& stmt, SQLUSMALLINT c);
// Whether a column holds whole numbers without a sign (MariaDB's BIGINT UNSIGNED).
bool IsUnsigned(const Statement& stmt, SQLUSMALLINT c);
// A connection string value as ODBC takes it: in braces, "}" doubled, when it
// holds a character that would end or confuse it.
QString OdbcValue(const QString& value);
// Whether texts are best fetched as the driver's own bytes: SQLite's are the UTF-8 it stores, and
// MariaDB's, on a connection whose results are UTF-8, are exact too, as are PostgreSQL's where its
// driver hands them out unconverted; the wide fetch is slower (MariaDB's several times) and
// MariaDB's counts some texts short.
bool NarrowTexts(SQLHDBC dbc, const QString& engine);
// The database file a SQLite connection names, itself or through its data source's settings; "" when
// it names none.
QString SqliteFile(const QString& connection);
// Whether the driver reads a cell of any row of the block it fetched last, positioned there with
// SQLSetPos: psqlODBC does; SQLite's and MariaDB's drivers say they do but read another row.
bool PositionsInBlock(const QString& engine);
// Whether the driver fetches a row of the result again by its number, with a static cursor: SQLite's
// and MariaDB's do.
bool FetchesRowsAgain(const QString& engine);
// The bytes of the longest value of each column of `sql`'s result, the columns named as the query
// spells them (quoted), as the driver hands the values out (UTF-8 where `narrow`, else UTF-16); none
// where the engine cannot be asked (one but SQLite and MariaDB) or the query fails.
std::optional<std::vector<SQLLEN>> LongestValues(SQLHDBC dbc, const QString& engine, const QString& sql,
                                                 const QStringList& columns, bool narrow);
// Whether the connection reaches its database through SQLite's driver, named by the connection
// itself or by its data source, as the name of the driver's set-up or its library.
bool SqliteDriver(SQLHENV env, const QString& connection);

} // namespace quibo::odbc
