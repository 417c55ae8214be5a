#include "sources/backends/odbc/BlockCells.h"

#include "core/Utf8Text.h"
#include "sources/backends/ColumnNumbers.h"
#include "sources/backends/odbc/DriverQuirks.h"
#include "sources/backends/ProviderError.h"

#include <algorithm>
#include <cstring>

namespace quibo::odbc {

BlockCells::BlockCells(const std::vector<ResultColumn>& columns, size_t width, SQLULEN rows, bool narrow,
                       bool inPlace, bool later, Blobs blobs, core::TextPool& pool)
    : m_columns(columns), m_width(width), m_narrow(narrow), m_inPlace(inPlace), m_later(later && !inPlace),
      m_block(rows > 1), m_blobs(blobs), m_pool(pool), m_repeated(width, narrow) {
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

bool BlockCells::read(const Statement& stmt, SQLULEN fetched, const std::vector<SQLUSMALLINT>& status,
                      std::vector<SQLLEN>& widths, SQLULEN start, bool& scrolled) {
    m_kept.clear();
    for (size_t r = 0; r < fetched; ++r) {
        if (status[r] == SQL_ROW_NOROW) continue;
        if (status[r] == SQL_ROW_ERROR)
            RaiseProviderError(provider::Odbc, Diagnostics(SQL_HANDLE_STMT, stmt.get()));
        m_kept.push_back(r);
    }
    m_looked = 0;
    m_cut.clear();
    m_repeated.startBlock();
    // Every column cut short is widened, each for its longest value.
    bool whole = true;
    for (size_t c = 0; c < m_width; ++c) {
        SQLLEN longest = 0, unit = 1;
        if (!readColumn(stmt, c, longest, unit)) {
            widths[c] = Wider(m_columns[c].width, longest, unit);
            whole = false;
        }
    }
    if ((!whole && !m_inPlace && !m_later) || m_stopped) return false;
    if (m_narrow)
        m_pool.internUtf8(m_bytes.data(), m_looked, m_found.data());
    else
        m_pool.intern(m_views.data(), m_looked, m_found.data());
    for (size_t k = 0; k < m_looked; ++k)
        m_ids[m_lookedAt[k]] = m_found[k];
    m_repeated.resolve(m_ids);
    // Once the texts are looked up, for the fetches again write over the buffers they stood in.
    scrolled = readCut(stmt, start);
    return !m_stopped;
}

bool BlockCells::readColumn(const Statement& stmt, size_t c, SQLLEN& longest, SQLLEN& unit) {
    const ResultColumn& column = m_columns[c];
    m_repeated.startColumn(c);
    if (column.cType == 0) { // a block of one row, its columns read in order
        for (size_t k = 0; k < m_kept.size(); ++k) {
            m_ids[k * m_width + c] = SourceTable::NullText;
            m_cells[k * m_width + c] =
                UnboundCell(stmt, SQLUSMALLINT(c + 1), column.fetch, column.stored, m_narrow);
            dropBlob(m_kept[k], c, m_cells[k * m_width + c]);
        }
        return true;
    }
    bool whole = true;
    size_t r = 0, at = 0;
    const auto cut = [&](SQLLEN indicator) {
        whole = false;
        if (indicator != SQL_NO_TOTAL)
            longest = std::max(longest, indicator);
        else if (longest == 0)
            longest = SQL_NO_TOTAL;
        if (m_inPlace) readWhole(stmt, r, c, at);
        if (m_later) {
            m_cells[at] = SourceCell();
            m_cut.emplace_back(r, c, at);
        }
    };
    for (size_t k = 0; k < m_kept.size(); ++k) {
        r = m_kept[k];
        at = k * m_width + c;
        const SQLLEN indicator = column.indicators[r];
        m_ids[at] = SourceTable::NullText;
        if (indicator == SQL_NULL_DATA) {
            m_cells[at] = SourceCell();
            continue;
        }
        const char* data = column.data.data() + r * size_t(column.width);
        if (m_blobs != Blobs::None && column.cType == SQL_C_CHAR && indicator >= 3 &&
            indicator < column.width && data[0] == 'X' &&
            BlobText(std::string_view(data, size_t(indicator))) && blobAt(r, c)) {
            m_cells[at] = SourceCell();
            continue;
        }
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
            unit = column.cType == SQL_C_CHAR ? 1 : SQLLEN(sizeof(SQLWCHAR));
            cut(indicator);
        }
    }
    if (whole || m_inPlace || m_later) m_repeated.endColumn(c);
    return whole;
}

bool BlockCells::readCut(const Statement& stmt, SQLULEN start) {
    if (m_cut.empty()) return false;
    // Down the block, each row once; a row fetched alone lands in the buffers' first row, where only
    // the marks of its own BLOBs are read again (row 0 is that row or already done with).
    std::sort(m_cut.begin(), m_cut.end());
    stmt.check(
        SQLSetStmtAttr(stmt.get(), SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0));
    size_t fetchedRow = SIZE_MAX;
    for (const auto& [r, c, at] : m_cut) {
        if (r != fetchedRow) {
            stmt.check(SQLFetchScroll(stmt.get(), SQL_FETCH_ABSOLUTE, SQLLEN(start + r + 1)));
            fetchedRow = r;
        }
        const ResultColumn& column = m_columns[c];
        m_ids[at] = SourceTable::NullText;
        m_cells[at] = UnboundCell(stmt, SQLUSMALLINT(c + 1), column.fetch, column.stored, m_narrow);
        dropBlob(r, c, m_cells[at]);
    }
    return true;
}

void BlockCells::readWhole(const Statement& stmt, size_t r, size_t c, size_t at) {
    if (m_block) stmt.check(SQLSetPos(stmt.get(), SQLSETPOSIROW(r + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE));
    const ResultColumn& column = m_columns[c];
    m_ids[at] = SourceTable::NullText;
    m_cells[at] = UnboundCell(stmt, SQLUSMALLINT(c + 1), column.fetch, column.stored, m_narrow);
    dropBlob(r, c, m_cells[at]);
}

bool BlockCells::blobAt(size_t r, size_t c) {
    if (m_blobs == Blobs::ToMark) m_stopped = true;
    if (m_blobs != Blobs::Marked) return m_columns[c].stored;
    const ResultColumn& marks = m_columns[m_width + c / size_t(BlobMarkBits)];
    if (marks.indicators[r] == SQL_NULL_DATA) return false;
    SQLBIGINT bits = 0;
    std::memcpy(&bits, marks.data.data() + r * size_t(marks.width), sizeof bits);
    return (bits >> (c % size_t(BlobMarkBits))) & 1;
}

void BlockCells::dropBlob(size_t r, size_t c, SourceCell& cell) {
    const QString* text = std::get_if<QString>(&cell);
    if (m_blobs == Blobs::None || !text || !text->startsWith(QLatin1String("X'"))) return;
    const QByteArray bytes = text->toLatin1();
    if (BlobText(std::string_view(bytes.constData(), size_t(bytes.size()))) && blobAt(r, c))
        cell = SourceCell();
}

void BlockCells::decimal(const char* data, size_t size, size_t at) {
    double number = 0;
    if (PlainDecimalNumber(data, size, number))
        m_cells[at] = number;
    else if (!DecimalText(data, size, m_exact))
        m_cells[at] = core::Utf8Text(data, size);
    else if (ShownAsDouble(m_exact))
        m_cells[at] = NumberOf(m_exact);
    else
        m_ids[at] = m_pool.internLatin1(m_exact.data(), m_exact.size());
}

} // namespace quibo::odbc
