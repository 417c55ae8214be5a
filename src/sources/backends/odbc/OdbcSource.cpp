#include "sources/backends/odbc/OdbcSource.h"

#include "core/TextPool.h"
#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
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

// The units of a wide text in a buffer that holds at most `capacity` of them and its NUL, counted
// from the `stated` length on to that NUL: MariaDB's driver states a wide text one unit short for
// each character whose low byte is D8-DB, though its buffer holds the whole text. A text that fills
// the buffer reads `capacity`.
qsizetype WideLength(const SQLWCHAR* text, qsizetype stated, qsizetype capacity) {
    qsizetype length = std::clamp<qsizetype>(stated, 0, capacity);
    while (length < capacity && text[length] != 0)
        ++length;
    return length;
}

// A name the driver wrote into a zeroed buffer of `capacity` units and its NUL.
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

// Runs `sql`: as UTF-8 through the narrow entry point where `utf8` (a driver with no wide ones, whose
// text the driver manager would otherwise cut to a byte a character).
SQLRETURN ExecDirect(const Statement& stmt, const QString& sql, bool utf8) {
    if (!utf8) return SQLExecDirectW(stmt.get(), const_cast<SQLWCHAR*>(Wide(sql)), SQL_NTS);
    QByteArray bytes = sql.toUtf8();
    return SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(bytes.data()), SQL_NTS);
}

enum class Fetch { Text, Integer, Unsigned, Single, Double, Decimal, Boolean, Date, Skip };

Fetch FetchFor(SQLSMALLINT type) {
    switch (type) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return Fetch::Integer;
    case SQL_REAL:
        return Fetch::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return Fetch::Double;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
        return Fetch::Decimal;
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
    case Fetch::Unsigned:
    case Fetch::Single:
    case Fetch::Double:
    case Fetch::Decimal:
        return ColumnKind::Number;
    case Fetch::Boolean:
        return ColumnKind::Boolean;
    case Fetch::Date:
        return ColumnKind::Date;
    default:
        return ColumnKind::Text;
    }
}

// Whole text of a column, read with SQLGetData, wide or as the driver's UTF-8 bytes (`narrow`); Null
// when the value is Null. After a first piece the rest is read at the length the driver states, or in
// pieces twice as long as the last: a driver that measures the whole value at each call (SQLite's)
// then costs a few calls, never one per 4 KiB.
std::optional<QString> TextData(const Statement& stmt, SQLUSMALLINT column, bool narrow = false) {
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
    if (narrow) return QString::fromUtf8(data.data(), used);
    return FromWide(reinterpret_cast<const SQLWCHAR*>(data.data()), used / unit);
}

// Drivers hand dates out as "yyyy-mm-dd hh:mm:ss[.fff]", a date or a time alone.
SourceCell DateCell(QStringView text) {
    QDateTime value = ParseDateText(text);
    if (value.isValid()) return value;
    return text.toString();
}

// A text or decimal is bound at its stated length up to these; a longer one, a long (TEXT) one and
// one of no stated length start at the Start length, and a column whose value is cut is read again
// wider, up to MaxFittedBytes a cell. Only a value beyond that is read piece by piece with
// SQLGetData.
constexpr SQLULEN MaxBoundChars = 4000;
constexpr SQLULEN MaxBoundDigits = 1000;
constexpr SQLULEN StartChars = 128;
constexpr SQLULEN StartDigits = 64;
constexpr SQLLEN MaxFittedBytes = SQLLEN(1) << 16;
// The bytes the bound cells of one block take at most; a block holds at most MaxBlockRows rows.
constexpr size_t BlockBytes = size_t(1) << 18;
constexpr SQLULEN MaxBlockRows = 1024;
constexpr SQLULEN MaxBlockCells = 16384;

// One column of a result, and its cells of the current block when it is bound.
struct ResultColumn {
    Fetch fetch = Fetch::Text;
    // Fetched as the text the database holds and read back as the number, text or binary each value
    // is (see StoredCell): a number column of a database whose values keep their own types.
    bool stored = false;
    SQLSMALLINT cType = 0; // the C type bound; 0 when read with SQLGetData
    SQLLEN width = 0;      // the bytes of one bound cell
    std::vector<char> data;
    std::vector<SQLLEN> indicators;
};

// How a column is bound at first: its C type and the bytes of one cell, or {0, 0} to read it with
// SQLGetData. Texts are bound wide, or as the driver's UTF-8 bytes where `narrow`.
std::pair<SQLSMALLINT, SQLLEN> Binding(Fetch fetch, bool stored, SQLSMALLINT type, SQLULEN size,
                                       bool narrow) {
    if (stored) return {SQL_C_CHAR, SQLLEN(StartDigits + 4)};
    switch (fetch) {
    case Fetch::Integer:
        return {SQL_C_SBIGINT, SQLLEN(sizeof(SQLBIGINT))};
    case Fetch::Unsigned:
        return {SQL_C_UBIGINT, SQLLEN(sizeof(SQLUBIGINT))};
    case Fetch::Single: // as a double, which holds a single exactly: MariaDB's driver fills a bound
                        // SQL_C_FLOAT array with the stride of a double
    case Fetch::Double:
        return {SQL_C_DOUBLE, SQLLEN(sizeof(double))};
    case Fetch::Boolean:
        return {SQL_C_BIT, 1};
    case Fetch::Decimal:
        // Digits, a sign, a point and a leading zero, and the terminating NUL.
        return {SQL_C_CHAR, SQLLEN((size > 0 && size <= MaxBoundDigits ? size : StartDigits) + 4)};
    case Fetch::Date:
        return {SQL_C_WCHAR, SQLLEN(64 * sizeof(SQLWCHAR))};
    case Fetch::Text: {
        const bool stated =
            type != SQL_LONGVARCHAR && type != SQL_WLONGVARCHAR && size > 0 && size <= MaxBoundChars;
        const SQLULEN chars = stated ? size : StartChars;
        // A character takes up to four UTF-8 bytes, or two UTF-16 units beyond the BMP.
        if (narrow) return {SQL_C_CHAR, SQLLEN(4 * chars + 1)};
        return {SQL_C_WCHAR, SQLLEN((2 * chars + 1) * sizeof(SQLWCHAR))};
    }
    case Fetch::Skip:
        return {0, 0};
    }
    return {0, 0};
}

// The cell of a bound column in row `row` of the block; false when the driver had to cut the
// value short, which the column's buffer was then too small for.
bool BoundCell(const ResultColumn& column, size_t row, SourceCell& cell) {
    const SQLLEN indicator = column.indicators[row];
    if (indicator == SQL_NULL_DATA) return true;
    const char* p = column.data.data() + row * size_t(column.width);
    switch (column.fetch) {
    case Fetch::Integer: {
        SQLBIGINT v;
        std::memcpy(&v, p, sizeof v);
        cell = static_cast<qint64>(v);
        return true;
    }
    case Fetch::Unsigned: { // one past a qint64 reads as its digits
        SQLUBIGINT v;
        std::memcpy(&v, p, sizeof v);
        if (v <= SQLUBIGINT(INT64_MAX))
            cell = static_cast<qint64>(v);
        else
            cell = QString::number(quint64(v));
        return true;
    }
    case Fetch::Single: {
        double v;
        std::memcpy(&v, p, sizeof v);
        // The single's own value: the table's singles column keeps it so and shows it as a Single.
        cell = static_cast<double>(static_cast<float>(v));
        return true;
    }
    case Fetch::Double: {
        double v;
        std::memcpy(&v, p, sizeof v);
        cell = v;
        return true;
    }
    case Fetch::Boolean:
        cell = *p != 0;
        return true;
    case Fetch::Date: {
        const SQLLEN unit = SQLLEN(sizeof(SQLWCHAR));
        if (indicator == SQL_NO_TOTAL || indicator > column.width - unit) return false;
        cell = DateCell(QStringView(reinterpret_cast<const char16_t*>(p), qsizetype(indicator / unit)));
        return true;
    }
    case Fetch::Decimal: // read into the table's pool by the caller, as texts are
    case Fetch::Text:
    case Fetch::Skip:
        return true;
    }
    return true;
}

// Whether `text` is all digits, at least one.
bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The cell of a value SQLite hands out as text, in a column bound as such (`stored`): its whole numbers
// and reals as the texts SQLite writes for them ("-12", "12.75", "1.0e-07") read as those numbers (a
// Boolean column's as True or False), a BLOB ("X'0A1B'") as every driver's binary (Null). False for
// any other text, which is the cell as it stands.
bool StoredCell(std::string_view text, Fetch fetch, SourceCell& cell) {
    const std::string_view digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    if (Digits(digits) && (digits.size() == 1 || digits[0] != '0')) {
        qint64 whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
        if (error != std::errc() || end != text.data() + text.size()) return false;
        if (fetch == Fetch::Boolean)
            cell = whole != 0;
        else
            cell = whole;
        return true;
    }
    const size_t point = digits.find('.'), exponent = digits.find('e');
    const std::string_view power =
        exponent == std::string_view::npos ? std::string_view() : digits.substr(exponent + 1);
    const bool real = point != std::string_view::npos && point > 0 && (point == 1 || digits[0] != '0') &&
                      Digits(digits.substr(0, point)) &&
                      Digits(digits.substr(point + 1, exponent - point - 1)) &&
                      (exponent == std::string_view::npos ||
                       (power.size() > 1 && (power[0] == '+' || power[0] == '-') && Digits(power.substr(1))));
    if (real) {
        double number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size()) return false;
        if (fetch == Fetch::Boolean)
            cell = number != 0;
        else
            cell = number;
        return true;
    }
    const std::string_view hex = text.size() >= 3 ? text.substr(2, text.size() - 3) : std::string_view();
    if (text.size() >= 3 && text.substr(0, 2) == "X'" && text.back() == '\'' && hex.size() % 2 == 0 &&
        std::all_of(hex.begin(), hex.end(),
                    [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
        cell = SourceCell();
        return true;
    }
    return false;
}

// Whether a column's type, as the database names it, is an exact decimal.
bool IsDecimalTypeName(const Statement& stmt, SQLUSMALLINT c) {
    SQLWCHAR name[64] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLColAttributeW(stmt.get(), c, SQL_DESC_TYPE_NAME, name,
                                        sizeof name - sizeof(SQLWCHAR), &length, nullptr)))
        return false;
    const QString type = NameText(name, length, 63);
    return type.startsWith(QLatin1String("numeric"), Qt::CaseInsensitive) ||
           type.startsWith(QLatin1String("decimal"), Qt::CaseInsensitive);
}

// Whether a column holds whole numbers without a sign (MariaDB's BIGINT UNSIGNED).
bool IsUnsigned(const Statement& stmt, SQLUSMALLINT c) {
    SQLLEN isUnsigned = SQL_FALSE;
    return SQL_SUCCEEDED(
               SQLColAttributeW(stmt.get(), c, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)) &&
           isUnsigned == SQL_TRUE;
}

// The bytes to bind a column's cells with again after a value of `indicator` bytes did not fit in
// `width`: room for it and a quarter more, at least four times as wide; -1 past MaxFittedBytes (or
// already there), when the column is read with SQLGetData.
SQLLEN Wider(SQLLEN width, SQLLEN indicator, SQLLEN unit) {
    const SQLLEN need = indicator == SQL_NO_TOTAL ? width + 1 : indicator + unit;
    const SQLLEN wider = std::min(std::max(need + need / 4, 4 * width), MaxFittedBytes);
    return need <= MaxFittedBytes && wider > width ? wider : -1;
}

// The bytes of a bound text cell as its buffer of `width` bytes holds them, UTF-8 where `narrow`, else
// UTF-16; none when the value was cut short.
std::optional<std::string_view> BoundText(const char* data, SQLLEN indicator, SQLLEN width, bool narrow) {
    const SQLLEN unit = narrow ? 1 : SQLLEN(sizeof(SQLWCHAR));
    const qsizetype capacity = qsizetype(width / unit) - 1;
    if (indicator == SQL_NO_TOTAL || indicator / unit > capacity) return std::nullopt;
    if (narrow) return std::string_view(data, size_t(indicator));
    const qsizetype length = WideLength(reinterpret_cast<const SQLWCHAR*>(data), indicator / unit, capacity);
    // A text that fills the buffer though the driver stated it shorter may go on past it.
    if (length == capacity && indicator / unit < capacity) return std::nullopt;
    return std::string_view(data, size_t(length) * sizeof(SQLWCHAR));
}

// Whether two texts as BoundText gives them are the same.
bool SameBytes(std::string_view a, std::string_view b, bool narrow) {
    if (a.size() != b.size()) return false;
    if (narrow) return a == b;
    return core::SameText(QStringView(reinterpret_cast<const char16_t*>(a.data()), qsizetype(a.size() / 2)),
                          QStringView(reinterpret_cast<const char16_t*>(b.data()), qsizetype(b.size() / 2)));
}

// The cell of a column read with SQLGetData, for the current row.
SourceCell UnboundCell(const Statement& stmt, SQLUSMALLINT c, Fetch fetch, bool stored, bool narrow) {
    if (stored) {
        auto text = TextData(stmt, c, true);
        if (!text) return {};
        const QByteArray bytes = text->toUtf8();
        SourceCell cell;
        if (StoredCell(std::string_view(bytes.constData(), size_t(bytes.size())), fetch, cell)) return cell;
        return std::move(*text);
    }
    switch (fetch) {
    case Fetch::Date:
        if (const auto text = TextData(stmt, c)) return DateCell(*text);
        return {};
    case Fetch::Decimal:
        if (const auto text = TextData(stmt, c)) {
            std::string exact;
            const QByteArray bytes = text->toUtf8();
            if (!DecimalText(bytes.constData(), size_t(bytes.size()), exact)) return *text;
            if (ShownAsDouble(exact)) return NumberOf(exact);
            return QString::fromLatin1(exact.data(), qsizetype(exact.size()));
        }
        return {};
    case Fetch::Text:
        if (auto text = TextData(stmt, c, narrow)) return std::move(*text);
        return {};
    case Fetch::Integer:
    case Fetch::Unsigned:
    case Fetch::Single:
    case Fetch::Double:
    case Fetch::Boolean: {
        // Read so only where a driver takes SQLGetData after the last bound column alone, and nothing is
        // bound.
        SQLSMALLINT type = SQL_C_DOUBLE;
        if (fetch == Fetch::Integer) type = SQL_C_SBIGINT;
        if (fetch == Fetch::Unsigned) type = SQL_C_UBIGINT;
        if (fetch == Fetch::Boolean) type = SQL_C_BIT;
        ResultColumn column;
        column.fetch = fetch;
        column.width = 8;
        column.data.assign(8, 0);
        column.indicators.assign(1, 0);
        stmt.check(SQLGetData(stmt.get(), c, type, column.data.data(), 8, column.indicators.data()));
        SourceCell cell;
        BoundCell(column, 0, cell);
        return cell;
    }
    case Fetch::Skip:
        break; // binary data has no text
    }
    return {};
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

// The rows of a one-column query about the connection, as texts; none when the query fails, which
// then only leaves the reading as every driver has it.
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

// Whether texts are best fetched as the driver's own bytes: SQLite's are the UTF-8 it stores, and
// MariaDB's, on a connection whose results are UTF-8, are exact too; both drivers' wide fetch is
// slower (MariaDB's several times) and MariaDB's counts some texts short.
bool NarrowTexts(SQLHDBC dbc, const QString& engine) {
    if (engine == QLatin1String("SQLite")) return true; // its texts are UTF-8 as stored
    if (engine != QLatin1String("MariaDB") && engine != QLatin1String("MySQL")) return false;
    const QStringList charset = QueryTexts(dbc, "select @@character_set_results").value_or(QStringList());
    return charset.size() == 1 &&
           (charset[0] == QLatin1String("utf8mb4") || charset[0] == QLatin1String("utf8mb3") ||
            charset[0] == QLatin1String("utf8"));
}

// Whether the connection reaches its database through SQLite's driver, named by the connection
// itself or by its data source, as the name of the driver's set-up or its library.
bool SqliteDriver(SQLHENV env, const QString& connection) {
    const auto sqlite = [](const QString& text) {
        return text.contains(QLatin1String("sqlite"), Qt::CaseInsensitive);
    };
    const ConnectionString parts(connection);
    QString driver = parts.value(QStringLiteral("Driver"));
    const QString dsn = parts.value(QStringLiteral("DSN"));
    SQLWCHAR name[256] = {}, about[1024] = {};
    SQLSMALLINT nameLength = 0, aboutLength = 0;
    for (SQLUSMALLINT way = SQL_FETCH_FIRST; driver.isEmpty() && !dsn.isEmpty(); way = SQL_FETCH_NEXT) {
        if (!SQL_SUCCEEDED(SQLDataSourcesW(env, way, name, 256, &nameLength, about, 1024, &aboutLength)))
            break;
        if (FromWide(name, WideLength(name, nameLength, 255)).compare(dsn, Qt::CaseInsensitive) == 0)
            driver = FromWide(about, WideLength(about, aboutLength, 1023));
    }
    if (driver.isEmpty() || sqlite(driver)) return sqlite(driver);
    // The attributes of the driver's set-up, "Driver=<library>" among them, each ended by a NUL.
    for (SQLUSMALLINT way = SQL_FETCH_FIRST;; way = SQL_FETCH_NEXT) {
        if (!SQL_SUCCEEDED(SQLDriversW(env, way, name, 256, &nameLength, about, 1023, &aboutLength)))
            return false;
        if (FromWide(name, WideLength(name, nameLength, 255)) != driver) continue;
        return sqlite(FromWide(about, std::clamp<qsizetype>(aboutLength, 0, 1023)));
    }
}

} // namespace

struct OdbcSource::Impl {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;
    // Texts are fetched as the driver's UTF-8 bytes rather than wide (see NarrowTexts).
    bool narrow = false;
    // Each value keeps its own type whatever its column declares (SQLite), and statements go as UTF-8,
    // which the driver's wide entry points would cut to a byte a character.
    bool storedTypes = false, utf8Calls = false;
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
    // Its database file cannot be opened (there is none): the source holds no table.
    if (sqlite && !SQL_SUCCEEDED(connected)) raiseNoTable(Diagnostics(SQL_HANDLE_DBC, d->dbc));
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
    if (engine == QLatin1String("PostgreSQL"))
        d->searchPath = QueryTexts(d->dbc, "select unnest(current_schemas(false))");
}

size_t OdbcSource::blockRows() const {
    return d->blockRows;
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
    const QString from = QStringLiteral("select * from ") + quoted(table);
    QString sql = from;
    if (!orderBy.isEmpty()) {
        // The order column as the table spells it: a quoted name is matched with regard to case by
        // servers that fold unquoted names (PostgreSQL's srno is not "SrNo"). Some engines (SQLite
        // among them) would also take an unknown quoted name for a text constant and order by nothing.
        Statement probe(d->dbc);
        probe.check(ExecDirect(probe, from + QStringLiteral(" where 1=0"), d->utf8Calls));
        QStringList names;
        SQLSMALLINT count = 0;
        probe.check(SQLNumResultCols(probe.get(), &count));
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
            SQLWCHAR name[512] = {};
            SQLSMALLINT nameLength = 0;
            probe.check(SQLColAttributeW(probe.get(), c, SQL_DESC_NAME, name, sizeof name - sizeof(SQLWCHAR),
                                         &nameLength, nullptr));
            names.append(NameText(name, nameLength, 511));
        }
        qsizetype at = names.indexOf(orderBy);
        for (qsizetype i = 0; at < 0 && i < names.size(); ++i)
            if (names[i].compare(orderBy, Qt::CaseInsensitive) == 0) at = i;
        if (at < 0) RaiseColumnNotFound(provider::Odbc, orderBy);
        sql += QStringLiteral(" Order By ") + quoted(names[at]);
    }
    // A column whose value outgrows its buffer is read again wider, and past a bound piece by piece.
    std::vector<SQLLEN> widths;
    d->executions = 0;
    for (;;) {
        if (auto result = readOnce(sql, widths)) return std::move(*result);
    }
}

namespace {

// The columns of a result as the driver describes them, each with the binding it is read with:
// `widths` holds by column the bytes a cell is bound with (0 as the column's description asks, -1
// read with SQLGetData).
void DescribeColumns(const Statement& stmt, const std::vector<SQLLEN>& widths, bool narrow, bool storedTypes,
                     bool utf8Calls, std::vector<SourceColumn>& names, std::vector<ResultColumn>& columns) {
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns.size()); ++c) {
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        QString columnName;
        if (utf8Calls) {
            SQLCHAR name[2048] = {};
            stmt.check(
                SQLDescribeCol(stmt.get(), c, name, 2048, &nameLength, &type, &size, &digits, &nullable));
            columnName = QString::fromUtf8(reinterpret_cast<const char*>(name),
                                           qstrnlen(reinterpret_cast<const char*>(name), 2047));
        } else {
            SQLWCHAR name[512] = {};
            stmt.check(
                SQLDescribeColW(stmt.get(), c, name, 512, &nameLength, &type, &size, &digits, &nullable));
            columnName = FromWide(name, WideLength(name, nameLength, 511));
        }
        ResultColumn& column = columns[c - 1];
        column.fetch = FetchFor(type);
        // SQLite's driver describes a NUMERIC column as a double and a DECIMAL one as a varchar; their
        // declared types still say what they are.
        if ((column.fetch == Fetch::Double || column.fetch == Fetch::Text) && IsDecimalTypeName(stmt, c))
            column.fetch = Fetch::Decimal;
        if (type == SQL_BIGINT && IsUnsigned(stmt, c)) column.fetch = Fetch::Unsigned;
        // A value that keeps its own type is converted to the column's by a typed fetch ('1,20,000' in a
        // REAL column reads 1): such a column is fetched as text and each value read as what it is.
        column.stored = storedTypes && KindOf(column.fetch) != ColumnKind::Text &&
                        column.fetch != Fetch::Decimal && column.fetch != Fetch::Date;
        const SQLLEN width = widths[c - 1];
        if (width >= 0)
            std::tie(column.cType, column.width) = Binding(column.fetch, column.stored, type, size, narrow);
        if (width > 0 && column.cType != 0) column.width = width;
        names.push_back({columnName, KindOf(column.fetch)});
    }
}

// The rows of a block, as the driver takes them. Cells are fetched a block of rows at a time into
// bound buffers; long texts with SQLGetData, which drivers allow only one row at a time, after the
// last bound column unless they say otherwise (else nothing is bound).
SQLULEN ChooseBlockRows(const Statement& stmt, SQLHDBC dbc, std::vector<ResultColumn>& columns) {
    size_t rowBytes = 0, lastBound = 0, firstRead = columns.size();
    for (size_t c = 0; c < columns.size(); ++c) {
        rowBytes += size_t(columns[c].width);
        if (columns[c].cType != 0) lastBound = c + 1;
        if (columns[c].cType == 0 && columns[c].fetch != Fetch::Skip) firstRead = std::min(firstRead, c);
    }
    SQLULEN rows = std::clamp<SQLULEN>(BlockBytes / std::max<size_t>(rowBytes, 1), 1, MaxBlockRows);
    if (firstRead < columns.size()) {
        rows = 1;
        SQLUINTEGER extensions = 0; // a bitmask of 32 bits
        SQLGetInfoW(dbc, SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr);
        if (firstRead < lastBound && !(extensions & SQL_GD_ANY_COLUMN))
            for (ResultColumn& column : columns)
                column.cType = 0, column.width = 0;
    }
    // The cells of a block are held until its texts are looked up: at most MaxBlockCells of them.
    rows = std::min<SQLULEN>(rows, std::max<SQLULEN>(1, MaxBlockCells / std::max<size_t>(columns.size(), 1)));
    // A driver that refuses blocks, or takes fewer rows than asked, fetches what it said it would.
    if (rows > 1 && !SQL_SUCCEEDED(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE,
                                                  reinterpret_cast<SQLPOINTER>(rows), 0)))
        rows = 1;
    if (rows > 1) {
        SQLULEN taken = 0;
        if (SQL_SUCCEEDED(SQLGetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE, &taken, 0, nullptr)) &&
            taken >= 1)
            rows = taken;
    }
    return rows;
}

void BindColumns(const Statement& stmt, SQLULEN rows, std::vector<ResultColumn>& columns) {
    for (size_t c = 0; c < columns.size(); ++c) {
        ResultColumn& column = columns[c];
        if (column.cType == 0) continue;
        column.data.resize(rows * size_t(column.width));
        column.indicators.resize(rows);
        stmt.check(SQLBindCol(stmt.get(), SQLUSMALLINT(c + 1), column.cType, column.data.data(), column.width,
                              column.indicators.data()));
    }
}

// Which texts of a block repeat the one above them in their column (a group, a state, a flag), so
// that they are found without a look-up: within the block by the place above, whose id is known
// once the block's look-ups are done; the block's first text by the last text of the block before.
class RepeatedTexts {
public:
    RepeatedTexts(size_t width, bool narrow)
        : m_narrow(narrow), m_above(width, SourceTable::NullText), m_aboveBytes(width),
          m_lastIn(width, None) {}

    void startBlock() { m_sameAs.clear(); }
    void startColumn(size_t c) {
        m_lastIn[c] = None;
        m_last = {};
    }
    // Whether the text at place `at` of column `c` repeats the one above it; where the block before
    // held that one, `id` is then its id.
    bool repeats(size_t c, uint32_t at, std::string_view text, core::TextPool::Id& id) {
        bool same;
        if (m_lastIn[c] != None) {
            same = SameBytes(m_last, text, m_narrow);
            if (same) m_sameAs.emplace_back(at, m_lastIn[c]);
        } else {
            same = m_above[c] != SourceTable::NullText && SameBytes(m_aboveBytes[c], text, m_narrow);
            if (same) id = m_above[c];
        }
        m_last = text;
        m_lastIn[c] = at;
        return same;
    }
    // The bytes of the column's last text outlive the block's buffers.
    void endColumn(size_t c) {
        if (m_lastIn[c] != None) m_aboveBytes[c].assign(m_last);
    }
    // The ids of the repeated texts, in order down each column, once the others are known.
    void resolve(std::vector<core::TextPool::Id>& ids) {
        for (const auto& [at, from] : m_sameAs)
            ids[at] = ids[from];
        for (size_t c = 0; c < m_lastIn.size(); ++c)
            if (m_lastIn[c] != None) m_above[c] = ids[m_lastIn[c]];
    }

private:
    static constexpr uint32_t None = UINT32_MAX;
    const bool m_narrow;
    std::vector<core::TextPool::Id> m_above; // each column's last text of the block before
    std::vector<std::string> m_aboveBytes;   // and its bytes
    std::vector<uint32_t> m_lastIn;          // the place of each column's last text in the block
    std::string_view m_last;                 // the text at that place of the column being read
    // A cell's place and the place above it in its column that holds the same text.
    std::vector<std::pair<uint32_t, uint32_t>> m_sameAs;
};

// The cells of one block, read column by column as the buffers hold them. Texts go into the table's
// pool straight from the buffers, a block at a time so that their look-ups overlap.
class BlockCells {
public:
    BlockCells(const std::vector<ResultColumn>& columns, SQLULEN rows, bool narrow, core::TextPool& pool)
        : m_columns(columns), m_width(columns.size()), m_narrow(narrow), m_pool(pool),
          m_repeated(columns.size(), narrow) {
        const size_t places = rows * m_width;
        m_kept.reserve(rows);
        m_ids.resize(places);
        m_found.resize(places);
        m_cells.resize(places);
        if (narrow)
            m_bytes.resize(places);
        else
            m_views.resize(places);
        m_lookedAt.resize(places);
    }

    // Reads the block's rows; false when a value was cut short, whose columns `widths` then holds
    // wider.
    bool read(const Statement& stmt, SQLULEN fetched, const std::vector<SQLUSMALLINT>& status,
              std::vector<SQLLEN>& widths) {
        m_kept.clear();
        for (size_t r = 0; r < fetched; ++r) {
            if (status[r] == SQL_ROW_NOROW) continue;
            if (status[r] == SQL_ROW_ERROR)
                RaiseProviderError(provider::Odbc, Diagnostics(SQL_HANDLE_STMT, stmt.get()));
            m_kept.push_back(r);
        }
        m_looked = 0;
        m_repeated.startBlock();
        // Every column cut short is widened before the query runs again, each for its longest value.
        bool whole = true;
        for (size_t c = 0; c < m_width; ++c) {
            SQLLEN longest = 0, unit = 1;
            if (!readColumn(stmt, c, longest, unit)) {
                widths[c] = Wider(m_columns[c].width, longest, unit);
                whole = false;
            }
        }
        if (!whole) return false;
        if (m_narrow)
            m_pool.internUtf8(m_bytes.data(), m_looked, m_found.data());
        else
            m_pool.intern(m_views.data(), m_looked, m_found.data());
        for (size_t k = 0; k < m_looked; ++k)
            m_ids[m_lookedAt[k]] = m_found[k];
        m_repeated.resolve(m_ids);
        return true;
    }

    void appendTo(SourceTable& table) {
        for (size_t k = 0; k < m_kept.size(); ++k)
            table.appendMixedRow(m_ids.data() + k * m_width, m_cells.data() + k * m_width, m_width);
    }

private:
    // False when a value was cut short; `longest` is then the longest such, of that many bytes in
    // `unit`s (SQL_NO_TOTAL when the driver stated none).
    bool readColumn(const Statement& stmt, size_t c, SQLLEN& longest, SQLLEN& unit) {
        const ResultColumn& column = m_columns[c];
        m_repeated.startColumn(c);
        if (column.cType == 0) { // a block of one row, its columns read in order
            for (size_t k = 0; k < m_kept.size(); ++k) {
                m_ids[k * m_width + c] = SourceTable::NullText;
                m_cells[k * m_width + c] =
                    UnboundCell(stmt, SQLUSMALLINT(c + 1), column.fetch, column.stored, m_narrow);
            }
            return true;
        }
        bool whole = true;
        const auto cut = [&](SQLLEN indicator) {
            whole = false;
            if (indicator != SQL_NO_TOTAL)
                longest = std::max(longest, indicator);
            else if (longest == 0)
                longest = SQL_NO_TOTAL;
        };
        for (size_t k = 0; k < m_kept.size(); ++k) {
            const size_t r = m_kept[k], at = k * m_width + c;
            const SQLLEN indicator = column.indicators[r];
            m_ids[at] = SourceTable::NullText;
            if (indicator == SQL_NULL_DATA) {
                m_cells[at] = SourceCell();
                continue;
            }
            const char* data = column.data.data() + r * size_t(column.width);
            if (column.stored) {
                if (indicator == SQL_NO_TOTAL || indicator >= column.width) {
                    cut(indicator);
                    continue;
                }
                const std::string_view text(data, size_t(indicator));
                if (!StoredCell(text, column.fetch, m_cells[at])) lookUp(text, at);
            } else if (column.fetch == Fetch::Text) {
                unit = m_narrow ? 1 : SQLLEN(sizeof(SQLWCHAR));
                const auto text = BoundText(data, indicator, column.width, m_narrow);
                if (!text) {
                    cut(indicator);
                    continue;
                }
                if (!m_repeated.repeats(c, uint32_t(at), *text, m_ids[at])) lookUp(*text, at);
            } else if (column.fetch == Fetch::Decimal) {
                if (indicator == SQL_NO_TOTAL || indicator >= column.width) {
                    cut(indicator);
                    continue;
                }
                decimal(data, size_t(indicator), at);
            } else if (!BoundCell(column, r, m_cells[at])) {
                unit = SQLLEN(sizeof(SQLWCHAR));
                cut(indicator);
            }
        }
        if (whole) m_repeated.endColumn(c);
        return whole;
    }

    void lookUp(std::string_view text, size_t at) {
        if (m_narrow)
            m_bytes[m_looked] = {text.data(), text.size()};
        else
            m_views[m_looked] =
                QStringView(reinterpret_cast<const char16_t*>(text.data()), qsizetype(text.size() / 2));
        m_lookedAt[m_looked++] = uint32_t(at);
    }

    void decimal(const char* data, size_t size, size_t at) {
        double number = 0;
        if (PlainDecimalNumber(data, size, number))
            m_cells[at] = number;
        else if (!DecimalText(data, size, m_exact))
            m_cells[at] = QString::fromUtf8(data, qsizetype(size));
        else if (ShownAsDouble(m_exact))
            m_cells[at] = NumberOf(m_exact);
        else
            m_ids[at] = m_pool.internLatin1(m_exact.data(), m_exact.size());
    }

    const std::vector<ResultColumn>& m_columns;
    const size_t m_width;
    const bool m_narrow;
    core::TextPool& m_pool;
    RepeatedTexts m_repeated;
    std::vector<size_t> m_kept; // the rows of the block that hold data
    // By place (row of the block times width plus column): a text's id, or else its cell.
    std::vector<core::TextPool::Id> m_ids, m_found;
    std::vector<SourceCell> m_cells;
    // The texts to look up, and their places.
    std::vector<QStringView> m_views;
    std::vector<core::TextPool::Bytes> m_bytes;
    std::vector<uint32_t> m_lookedAt;
    size_t m_looked = 0;
    std::string m_exact;
};

} // namespace

std::optional<SourceTable> OdbcSource::readOnce(const QString& sql, std::vector<SQLLEN>& widths) {
    Statement stmt(d->dbc);
    ++d->executions;
    stmt.check(ExecDirect(stmt, sql, d->utf8Calls));
    SQLSMALLINT count = 0;
    stmt.check(SQLNumResultCols(stmt.get(), &count));
    widths.resize(size_t(count), 0);

    std::vector<SourceColumn> names;
    std::vector<ResultColumn> columns(static_cast<size_t>(count));
    DescribeColumns(stmt, widths, d->narrow, d->storedTypes, d->utf8Calls, names, columns);
    const SQLULEN rows = ChooseBlockRows(stmt, d->dbc, columns);
    d->blockRows = rows;
    SQLULEN fetched = 0;
    std::vector<SQLUSMALLINT> status(rows, SQL_ROW_SUCCESS);
    stmt.check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0));
    stmt.check(SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_STATUS_PTR, status.data(), 0));
    BindColumns(stmt, rows, columns);

    SourceTable result(std::move(names));
    for (size_t c = 0; c < columns.size(); ++c)
        if (columns[c].fetch == Fetch::Single && !columns[c].stored) result.setSingles(int(c));
    BlockCells block(columns, rows, d->narrow, *result.texts());
    while (true) {
        const SQLRETURN rc = SQLFetch(stmt.get());
        if (rc == SQL_NO_DATA) break;
        stmt.check(rc);
        if (!block.read(stmt, fetched, status, widths)) return std::nullopt;
        block.appendTo(result);
    }
    return result;
}

QString OdbcSource::describe() const {
    return QStringLiteral("ODBC data source '%1'").arg(m_name);
}

} // namespace quibo
