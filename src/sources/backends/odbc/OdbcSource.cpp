#include "sources/backends/odbc/OdbcSource.h"

#include "sources/backends/ConnectionString.h"
#include "sources/backends/odbc/BlockCells.h"
#include "sources/backends/odbc/DriverQuirks.h"
#include "sources/backends/odbc/ResultColumn.h"
#include "sources/backends/odbc/Statement.h"
#include "sources/backends/ProviderError.h"

#include <QFileInfo>
#include <QSet>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace quibo {

using namespace odbc;

struct OdbcSource::Impl {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    // Texts are fetched as the driver's UTF-8 bytes rather than wide (see NarrowTexts).
    bool narrow = false;
    // Each value keeps its own type whatever its column declares (SQLite), and statements go as UTF-8,
    // which the driver's wide entry points would cut to a byte a character.
    bool storedTypes = false, utf8Calls = false;
    // The driver reads a cell of any row of the block it fetched last (see PositionsInBlock).
    bool positions = false;
    // The driver fetches a row of the result again by its number (see FetchesRowsAgain).
    bool scrolls = false;
    QString engine;
    // The columns of BlobMarks that follow the table's in the query, and how a BLOB's text reads (SQLite).
    size_t marks = 0;
    BlockCells::Blobs blobs = BlockCells::Blobs::None;
    // The columns of the last reading's result as described, and the C type and bytes each was bound with.
    QStringList described;
    std::vector<std::pair<SQLSMALLINT, SQLLEN>> bound;
    size_t blockRows = 0, executions = 0;
    // PostgreSQL's search path, the schemas a bare table name is looked for in, in order; none for
    // the other engines, whose tables are all the data source's database holds.
    std::optional<QStringList> searchPath;
    ~Impl() {
        if (connected) SQLDisconnect(dbc);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

OdbcSource::OdbcSource(const QString& connection, const QString& user, const QString& password)
    : d(std::make_unique<Impl>()) {
    // A connection without a data source is named by its database.
    const ConnectionString parts(connection);
    m_name =
        parts.value(parts.has(QStringLiteral("DSN")) ? QStringLiteral("DSN") : QStringLiteral("Database"));
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &d->env))) throw std::bad_alloc();
    Check(SQLSetEnvAttr(d->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, d->env);
    Check(SQLAllocHandle(SQL_HANDLE_DBC, d->env, &d->dbc), SQL_HANDLE_ENV, d->env);

    QString text = connection;
    // SQLite's driver would create a database file for a path that names none.
    const bool sqlite = SqliteDriver(d->env, connection);
    if (sqlite) text += QStringLiteral(";NoCreat=1");
    if (!user.isEmpty()) text += QStringLiteral(";UID=") + OdbcValue(user);
    if (!password.isEmpty()) text += QStringLiteral(";PWD=") + OdbcValue(password);
    SQLWCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN connected = SQLDriverConnectW(d->dbc, nullptr, const_cast<SQLWCHAR*>(Wide(text)), SQL_NTS,
                                                  out, 1024, &outLength, SQL_DRIVER_NOPROMPT);
    // Its database file cannot be opened: the source holds no table, and where there is no such file the
    // user is told so rather than that the driver failed to connect.
    if (sqlite && !SQL_SUCCEEDED(connected)) {
        const QString file = SqliteFile(connection);
        if (!file.isEmpty() && !QFileInfo::exists(file))
            raiseNoTable(QStringLiteral("the file ") + file + QStringLiteral(" does not exist."));
        raiseNoTable(Diagnostics(SQL_HANDLE_DBC, d->dbc));
    }
    Check(connected, SQL_HANDLE_DBC, d->dbc);
    d->connected = true;

    SQLWCHAR engineText[64] = {};
    SQLSMALLINT engineLength = 0;
    QString engine;
    if (SQL_SUCCEEDED(SQLGetInfoW(d->dbc, SQL_DBMS_NAME, engineText, sizeof engineText - sizeof(SQLWCHAR),
                                  &engineLength)))
        engine = NameText(engineText, engineLength, 63);
    d->narrow = NarrowTexts(d->dbc, engine);
    d->storedTypes = d->utf8Calls = engine == QLatin1String("SQLite");
    d->positions = PositionsInBlock(engine);
    d->scrolls = FetchesRowsAgain(engine);
    d->engine = engine;
    if (engine == QLatin1String("PostgreSQL"))
        d->searchPath = QueryTexts(d->dbc, "select unnest(current_schemas(false))");
}

size_t OdbcSource::blockRows() const {
    return d->blockRows;
}

bool OdbcSource::narrowTexts() const {
    return d->narrow;
}

size_t OdbcSource::executions() const {
    return d->executions;
}

OdbcSource::~OdbcSource() = default;

QStringList OdbcSource::list(const QString& type) {
    // The data source's own database: with no catalog named, MariaDB's driver lists the tables of
    // every database the user may see.
    SQLWCHAR catalogText[256] = {};
    SQLINTEGER catalogLength = 0;
    QString catalog;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(d->dbc, SQL_ATTR_CURRENT_CATALOG, catalogText,
                                         SQLINTEGER(sizeof catalogText - sizeof(SQLWCHAR)),
                                         &catalogLength)) &&
        catalogLength > 0)
        catalog =
            FromWide(catalogText, WideLength(catalogText, catalogLength / qsizetype(sizeof(SQLWCHAR)), 255));
    Statement stmt(d->dbc);
    stmt.check(SQLTablesW(stmt.get(), catalog.isEmpty() ? nullptr : const_cast<SQLWCHAR*>(Wide(catalog)),
                          catalog.isEmpty() ? 0 : SQL_NTS, nullptr, 0, nullptr, 0,
                          const_cast<SQLWCHAR*>(Wide(type)), SQL_NTS));
    // A bare name reads the table of the first schema on PostgreSQL's search path that holds it: the
    // names of those schemas are listed, in that order, and no other, which the program could not read.
    std::vector<std::pair<qsizetype, QString>> names;
    while (true) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        qsizetype schema = 0;
        if (d->searchPath) {
            schema = d->searchPath->indexOf(TextData(stmt, 2).value_or(QString()));
            if (schema < 0) continue;
        }
        if (const auto name = TextData(stmt, 3, d->narrow)) names.emplace_back(schema, *name);
    }
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList listed;
    for (auto& [schema, name] : names)
        listed.append(std::move(name));
    return listed;
}

QStringList OdbcSource::tables() {
    // A name that two schemas of the database hold is one table to the program.
    QStringList names = list(QStringLiteral("TABLE")) + views();
    names.removeDuplicates();
    if (names.isEmpty()) {
        // SQLite's driver lists a file that is not a database, or a damaged one, as empty: reading its
        // schema says which.
        QString reason;
        if (d->storedTypes) {
            Statement probe(d->dbc);
            if (!SQL_SUCCEEDED(ExecDirect(probe, QStringLiteral("select count(*) from sqlite_master"), true)))
                reason = Diagnostics(SQL_HANDLE_STMT, probe.get());
        }
        raiseNoTable(reason);
    }
    return names;
}

void OdbcSource::raiseNoTable(const QString& reason) const {
    QString message = QStringLiteral("The ") + describe() + QStringLiteral(" lists no table");
    RaiseProviderError(provider::Odbc, reason.isEmpty() ? message + QLatin1Char('.')
                                                        : message + QStringLiteral(": ") + reason);
}

QStringList OdbcSource::views() {
    QStringList names = list(QStringLiteral("VIEW"));
    names.removeDuplicates();
    return names;
}

SourceTable OdbcSource::read(const QString& table, const QString& orderBy) {
    SQLWCHAR quoteChars[8] = {};
    SQLSMALLINT quoteLength = 0;
    QString quote;
    if (SQL_SUCCEEDED(
            SQLGetInfoW(d->dbc, SQL_IDENTIFIER_QUOTE_CHAR, quoteChars, sizeof quoteChars, &quoteLength)))
        quote = NameText(quoteChars, quoteLength, 7).trimmed();
    auto quoted = [&](const QString& name) {
        if (quote.isEmpty()) return name;
        QString inner = name;
        inner.replace(quote, quote + quote);
        return quote + inner + quote;
    };
    const QString from = QStringLiteral(" from ") + quoted(table);
    // The columns as the table spells them, where they are needed.
    QStringList names;
    if (!orderBy.isEmpty() || d->storedTypes) names = columnNames(QStringLiteral("select *") + from);
    QString order;
    if (!orderBy.isEmpty()) {
        // The order column as the table spells it: a quoted name is matched with regard to case by
        // servers that fold unquoted names (PostgreSQL's srno is not "SrNo"). Some engines (SQLite
        // among them) would also take an unknown quoted name for a text constant and order by nothing.
        qsizetype at = names.indexOf(orderBy);
        for (qsizetype i = 0; at < 0 && i < names.size(); ++i)
            if (names[i].compare(orderBy, Qt::CaseInsensitive) == 0) at = i;
        if (at < 0) RaiseColumnNotFound(provider::Odbc, orderBy);
        order = QStringLiteral(" Order By ") + quoted(names[at]);
    }
    // SQLite's driver writes a BLOB as the text X'…' that a text can also be: where one is met, the query
    // runs again with columns that say, for each row, which of its cells are BLOBs. Names a view repeats
    // cannot be told apart, and a text of that form then stands, but in a column read as stored.
    QString marks;
    if (d->storedTypes && QSet<QString>(names.begin(), names.end()).size() == names.size()) {
        QStringList columns;
        for (const QString& name : names)
            columns.append(quoted(name));
        marks = BlobMarks(columns);
    }
    d->marks = 0;
    d->blobs = !d->storedTypes   ? BlockCells::Blobs::None
               : marks.isEmpty() ? BlockCells::Blobs::AsStored
                                 : BlockCells::Blobs::ToMark;
    QString sql = QStringLiteral("select *") + from + order;
    // A value that outgrows its buffer is read whole where it stands, or once its block is read by
    // fetching its row again alone, and its column bound wider for the blocks that follow. Where the
    // driver can do neither, the query runs once more, its columns bound to fit the longest values the
    // database reports, or else a row at a time, where any value reads in place.
    std::vector<SQLLEN> widths;
    d->executions = 0;
    if (auto result = readOnce(sql, widths, false)) return std::move(*result);
    if (d->blobs == BlockCells::Blobs::ToMark) {
        sql = QStringLiteral("select *") + marks + from + order;
        d->marks = size_t((names.size() + BlobMarkBits - 1) / BlobMarkBits);
        d->blobs = BlockCells::Blobs::Marked;
    }
    QStringList quotedNames;
    for (const QString& name : d->described)
        quotedNames.append(quoted(name));
    const auto longest = LongestValues(d->dbc, d->engine, sql, quotedNames, d->narrow);
    if (longest) {
        const SQLLEN unit = d->narrow ? 1 : SQLLEN(sizeof(SQLWCHAR));
        for (size_t c = 0; c < widths.size() && c < longest->size(); ++c) {
            const auto [cType, width] = d->bound[c];
            if ((cType == SQL_C_CHAR || cType == SQL_C_WCHAR) && widths[c] >= 0 &&
                (*longest)[c] + unit > width) {
                const SQLLEN fit = Wider(width, (*longest)[c], unit);
                widths[c] = fit < 0 ? fit : std::max(widths[c], fit);
            }
        }
    }
    for (bool oneRow = !longest;; oneRow = true) {
        if (auto result = readOnce(sql, widths, oneRow)) return std::move(*result);
    }
}

std::optional<SourceTable> OdbcSource::readOnce(const QString& sql, std::vector<SQLLEN>& widths,
                                                bool oneRow) {
    Statement stmt(d->dbc);
    ++d->executions;
    const bool scrolls =
        d->scrolls &&
        SQL_SUCCEEDED(SQLSetStmtAttr(stmt.get(), SQL_ATTR_CURSOR_TYPE,
                                     reinterpret_cast<SQLPOINTER>(SQLULEN(SQL_CURSOR_STATIC)), 0));
    stmt.check(ExecDirect(stmt, sql, d->utf8Calls));
    SQLSMALLINT count = 0;
    stmt.check(SQLNumResultCols(stmt.get(), &count));
    widths.resize(size_t(count), 0);

    std::vector<SourceColumn> names;
    std::vector<ResultColumn> columns(static_cast<size_t>(count));
    DescribeColumns(stmt, widths, d->narrow, d->storedTypes, d->utf8Calls, names, columns);
    // The table's columns, then the marks of its BLOBs, each a whole number.
    const size_t width = columns.size() - std::min(d->marks, columns.size());
    for (size_t c = width; c < columns.size(); ++c) {
        columns[c].fetch = Fetch::Integer;
        columns[c].stored = false;
        columns[c].cType = SQL_C_SBIGINT;
        columns[c].width = SQLLEN(sizeof(SQLBIGINT));
    }
    names.resize(width);
    d->described.clear();
    d->bound.clear();
    for (size_t c = 0; c < width; ++c) {
        d->described.append(names[c].name);
        d->bound.emplace_back(columns[c].cType, columns[c].width);
    }
    const SQLULEN rows = ChooseBlockRows(stmt, d->dbc, columns, oneRow);
    d->blockRows = rows;
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(rows, SQL_ROW_SUCCESS);
    stmt.check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
    stmt.check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_STATUS_PTR, status.data(), 0));
    BindColumns(stmt, rows, columns);

    SourceTable result(std::move(names));
    for (size_t c = 0; c < width; ++c)
        if (columns[c].fetch == Fetch::Single && !columns[c].stored) result.setSingles(int(c));
    BlockCells block(columns, width, rows, d->narrow, rows == 1 || d->positions, scrolls, d->blobs,
                     *result.texts());
    // The rows of the result before the block; where a row was fetched again alone, the next block is
    // fetched by its place.
    SQLULEN start = 0;
    bool scrolled = false;
    while (true) {
        if (scrolled)
            stmt.check(
                SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0));
        const SQLRETURN rc = scrolled ? SQLFetchScroll(stmt.get(), SQL_FETCH_ABSOLUTE, SQLLEN(start + 1))
                                      : SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        const SQLULEN inBlock = fetched;
        if (!block.read(stmt, fetched, status, widths, start, scrolled)) return std::nullopt;
        start += inBlock;
        block.appendTo(result);
        BindWider(stmt, rows, widths, columns);
    }
    return result;
}

QStringList OdbcSource::columnNames(const QString& select) {
    Statement probe(d->dbc);
    probe.check(ExecDirect(probe, select + QStringLiteral(" where 1=0"), d->utf8Calls));
    SQLSMALLINT count = 0;
    probe.check(SQLNumResultCols(probe.get(), &count));
    std::vector<ResultColumn> columns(static_cast<size_t>(count));
    std::vector<SourceColumn> described;
    DescribeColumns(probe, std::vector<SQLLEN>(size_t(count), -1), d->narrow, d->storedTypes, d->utf8Calls,
                    described, columns);
    QStringList names;
    for (const SourceColumn& column : described)
        names.append(column.name);
    return names;
}

QString OdbcSource::describe() const {
    return QStringLiteral("ODBC data source '%1'").arg(m_name);
}

} // namespace quibo
