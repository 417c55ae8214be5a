#include "sources/backends/odbc/DriverQuirks.h"

#include "sources/backends/ConnectionString.h"

#include <odbcinst.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace quibo::odbc {

namespace {

// Whether `text` is all digits, at least one.
bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The cell of the `Number` that the whole of `text` spells, in a column that reads `fetch` (a Boolean
// column's True where it is not 0); false where the text spells none.
template <class Number> bool NumberCell(std::string_view text, Fetch fetch, SourceCell& cell) {
    Number number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (end != text.data() + text.size()) return false;
    if constexpr (std::is_floating_point_v<Number>) {
        // SQLite writes a real in 15 digits: the largest doubles come out a little past the largest
        // (1.79769313486232e+308), which is the value they stand for.
        const size_t e = text.find('e');
        double mantissa = 0;
        if (error == std::errc::result_out_of_range && e != std::string_view::npos &&
            text.substr(e) == "e+308" &&
            std::from_chars(text.data(), text.data() + e, mantissa).ec == std::errc() &&
            std::fabs(mantissa) <= 1.79769313486232) {
            number = std::copysign(std::numeric_limits<Number>::max(), Number(mantissa));
            error = std::errc();
        }
    }
    if (error != std::errc()) return false;
    if (fetch == Fetch::Boolean)
        cell = number != 0;
    else
        cell = number;
    return true;
}

} // namespace

bool StoredCell(std::string_view text, Fetch fetch, SourceCell& cell) {
    const std::string_view digits = text.substr(!text.empty() && text[0] == '-' ? 1 : 0);
    if (Digits(digits) && (digits.size() == 1 || digits[0] != '0'))
        return NumberCell<qint64>(text, fetch, cell);
    const size_t point = digits.find('.'), exponent = digits.find('e');
    const std::string_view power =
        exponent == std::string_view::npos ? std::string_view() : digits.substr(exponent + 1);
    const bool real = point != std::string_view::npos && point > 0 && (point == 1 || digits[0] != '0') &&
                      Digits(digits.substr(0, point)) &&
                      Digits(digits.substr(point + 1, exponent - point - 1)) &&
                      (exponent == std::string_view::npos ||
                       (power.size() > 1 && (power[0] == '+' || power[0] == '-') && Digits(power.substr(1))));
    if (real) return NumberCell<double>(text, fetch, cell);
    return false;
}

bool BlobText(std::string_view text) {
    const std::string_view hex = text.size() >= 3 ? text.substr(2, text.size() - 3) : std::string_view();
    return text.size() >= 3 && text.substr(0, 2) == "X'" && text.back() == '\'' && hex.size() % 2 == 0 &&
           std::all_of(hex.begin(), hex.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

QString BlobMarks(const QStringList& columns) {
    QString marks;
    for (qsizetype from = 0; from < columns.size(); from += BlobMarkBits) {
        QStringList terms;
        // Only a BLOB sorts at or after the empty BLOB; "is 1" makes a Null 0.
        for (qsizetype c = from; c < std::min(columns.size(), from + BlobMarkBits); ++c)
            terms.append(
                QStringLiteral("((%1 >= x'') is 1) * %2").arg(columns[c]).arg(qint64(1) << (c - from)));
        marks += QStringLiteral(", ") + terms.join(QStringLiteral(" + "));
    }
    return marks;
}

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

bool IsUnsigned(const Statement& stmt, SQLUSMALLINT c) {
    SQLLEN isUnsigned = SQL_FALSE;
    return SQL_SUCCEEDED(
               SQLColAttributeW(stmt.get(), c, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)) &&
           isUnsigned == SQL_TRUE;
}

QString OdbcValue(const QString& value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
                       !value.contains(QLatin1Char('}')) && !value.contains(QLatin1Char('=')) &&
                       value.trimmed() == value;
    if (plain) return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

namespace {

// Whether the driver hands texts out narrow as their UTF-8 bytes on this connection: psqlODBC does
// so where its client encoding is UTF-8 and the locale it took at connecting is too, else converts
// them to that locale's bytes, where a character may be lost. A character of two, three and four
// bytes shows which.
bool NarrowIsUtf8(SQLHDBC dbc) {
    static constexpr char Probe[] = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // é€😀
    Statement stmt(dbc);
    const QString sql = QStringLiteral("select '%1'").arg(QString::fromUtf8(Probe));
    if (!SQL_SUCCEEDED(ExecDirect(stmt, sql, false)) || !SQL_SUCCEEDED(SQLFetch(stmt.get()))) return false;
    char bytes[64] = {};
    SQLLEN length = 0;
    return SQL_SUCCEEDED(SQLGetData(stmt.get(), 1, SQL_C_CHAR, bytes, sizeof bytes, &length)) &&
           std::string_view(bytes, size_t(std::clamp<SQLLEN>(length, 0, sizeof bytes - 1))) == Probe;
}

} // namespace

bool NarrowTexts(SQLHDBC dbc, const QString& engine) {
    if (engine == QLatin1String("SQLite")) return true; // its texts are UTF-8 as stored
    if (engine == QLatin1String("PostgreSQL")) return NarrowIsUtf8(dbc);
    if (engine != QLatin1String("MariaDB") && engine != QLatin1String("MySQL")) return false;
    const QStringList charset = QueryTexts(dbc, "select @@character_set_results").value_or(QStringList());
    return charset.size() == 1 &&
           (charset[0] == QLatin1String("utf8mb4") || charset[0] == QLatin1String("utf8mb3") ||
            charset[0] == QLatin1String("utf8"));
}

bool PositionsInBlock(const QString& engine) {
    return engine == QLatin1String("PostgreSQL");
}

bool FetchesRowsAgain(const QString& engine) {
    return engine == QLatin1String("SQLite") || engine == QLatin1String("MariaDB");
}

std::optional<std::vector<SQLLEN>> LongestValues(SQLHDBC dbc, const QString& engine, const QString& sql,
                                                 const QStringList& columns, bool narrow) {
    // SQLite's driver writes a BLOB as X'…', two digits a byte (only a BLOB sorts at or after the empty
    // BLOB, a test cheaper than typeof over a whole table); MariaDB's UTF-16 takes at most four bytes a
    // character.
    QString longest;
    if (engine == QLatin1String("SQLite"))
        longest = QStringLiteral("max(length(cast(%1 as blob)) * (((%1 >= x'') is 1) + 1)) + 3");
    else if ((engine == QLatin1String("MariaDB") || engine == QLatin1String("MySQL")) && narrow)
        longest = QStringLiteral("max(octet_length(convert(%1 using utf8mb4)))");
    else if (engine == QLatin1String("MariaDB") || engine == QLatin1String("MySQL"))
        longest = QStringLiteral("4 * max(char_length(%1))");
    else
        return std::nullopt;
    QStringList parts;
    for (const QString& column : columns)
        parts.append(longest.arg(column));
    Statement stmt(dbc);
    const QString query = QStringLiteral("select ") + parts.join(QStringLiteral(", ")) +
                          QStringLiteral(" from (") + sql + QStringLiteral(") q");
    if (!SQL_SUCCEEDED(ExecDirect(stmt, query, engine == QLatin1String("SQLite"))) ||
        !SQL_SUCCEEDED(SQLFetch(stmt.get())))
        return std::nullopt;
    std::vector<SQLLEN> bytes(size_t(columns.size()), 0);
    for (size_t c = 0; c < bytes.size(); ++c) {
        SQLBIGINT value = 0;
        SQLLEN indicator = 0;
        if (!SQL_SUCCEEDED(SQLGetData(stmt.get(), SQLUSMALLINT(c + 1), SQL_C_SBIGINT, &value, 0, &indicator)))
            return std::nullopt;
        if (indicator != SQL_NULL_DATA) bytes[c] = SQLLEN(value);
    }
    return bytes;
}

QString SqliteFile(const QString& connection) {
    const ConnectionString parts(connection);
    if (parts.has(QStringLiteral("Database"))) return parts.value(QStringLiteral("Database"));
    const QString dsn = parts.value(QStringLiteral("DSN"));
    if (dsn.isEmpty()) return {};
    SQLWCHAR path[4096] = {};
    const int length =
        SQLGetPrivateProfileStringW(Wide(dsn), Wide(QStringLiteral("Database")), Wide(QString()), path, 4096,
                                    Wide(QStringLiteral("odbc.ini")));
    return FromWide(path, WideLength(path, length, 4095));
}

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

} // namespace quibo::odbc
