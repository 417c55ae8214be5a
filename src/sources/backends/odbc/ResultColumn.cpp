#include "sources/backends/odbc/ResultColumn.h"

#include "core/TextPool.h"
#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/DateText.h"
#include "sources/backends/odbc/DriverQuirks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>

namespace quibo::odbc {

namespace {

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

// Drivers hand dates out as "yyyy-mm-dd hh:mm:ss[.fff]", a date or a time alone.
SourceCell DateCell(QStringView text) {
    QDateTime value = ParseDateText(text);
    if (value.isValid()) return value;
    return text.toString();
}

// The same from a narrow fetch's UTF-8 bytes, which for a date are all ASCII.
SourceCell NarrowDateCell(const char* bytes, size_t size) {
    char16_t units[64];
    if (size > 64 || std::any_of(bytes, bytes + size, [](char b) { return (b & 0x80) != 0; }))
        return DateCell(QString::fromUtf8(bytes, qsizetype(size)));
    std::copy(bytes, bytes + size, units);
    return DateCell(QStringView(units, qsizetype(size)));
}

} // namespace

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
    case Fetch::Date: // its digits, which a narrow fetch hands over without converting them
        if (narrow) return {SQL_C_CHAR, 64};
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
        const SQLLEN unit = column.cType == SQL_C_CHAR ? 1 : SQLLEN(sizeof(SQLWCHAR));
        if (indicator == SQL_NO_TOTAL || indicator > column.width - unit) return false;
        if (unit == 1) {
            cell = NarrowDateCell(p, size_t(indicator));
            return true;
        }
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

SQLLEN Wider(SQLLEN width, SQLLEN indicator, SQLLEN unit) {
    const SQLLEN need = indicator == SQL_NO_TOTAL ? width + 1 : indicator + unit;
    const SQLLEN wider = std::min(std::max(need + need / 4, 2 * width), MaxFittedBytes);
    return need <= MaxFittedBytes && wider > width ? wider : -1;
}

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

bool SameBytes(std::string_view a, std::string_view b, bool narrow) {
    if (a.size() != b.size()) return false;
    if (narrow) return a == b;
    return core::SameText(QStringView(reinterpret_cast<const char16_t*>(a.data()), qsizetype(a.size() / 2)),
                          QStringView(reinterpret_cast<const char16_t*>(b.data()), qsizetype(b.size() / 2)));
}

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
        // SQLite's driver calls a column declared BLOB binary, and one declared with no type by its first
        // row's value: its numbers and texts are still what the rows hold.
        if (storedTypes && column.fetch == Fetch::Skip) {
            column.fetch = Fetch::Text;
            column.stored = true;
        }
        const SQLLEN width = widths[c - 1];
        if (width >= 0)
            std::tie(column.cType, column.width) = Binding(column.fetch, column.stored, type, size, narrow);
        if (width > 0 && column.cType != 0) column.width = width;
        names.push_back({columnName, KindOf(column.fetch)});
    }
}

SQLULEN ChooseBlockRows(const Statement& stmt, SQLHDBC dbc, std::vector<ResultColumn>& columns, bool oneRow) {
    size_t rowBytes = 0, lastBound = 0, firstRead = columns.size();
    for (size_t c = 0; c < columns.size(); ++c) {
        rowBytes += size_t(columns[c].width);
        if (columns[c].cType != 0) lastBound = c + 1;
        if (columns[c].cType == 0 && columns[c].fetch != Fetch::Skip) firstRead = std::min(firstRead, c);
    }
    SQLULEN rows = std::clamp<SQLULEN>(BlockBytes / std::max<size_t>(rowBytes, 1), 1, MaxBlockRows);
    if (oneRow) rows = 1;
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

void BindWider(const Statement& stmt, SQLULEN rows, const std::vector<SQLLEN>& widths,
               std::vector<ResultColumn>& columns) {
    for (size_t c = 0; c < columns.size(); ++c) {
        ResultColumn& column = columns[c];
        if (column.cType == 0 || widths[c] <= column.width) continue;
        column.width = widths[c];
        column.data.resize(rows * size_t(column.width));
        stmt.check(SQLBindCol(stmt.get(), SQLUSMALLINT(c + 1), column.cType, column.data.data(), column.width,
                              column.indicators.data()));
    }
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

} // namespace quibo::odbc
