#pragma once

#include "core/TextPool.h"
#include "sources/backends/odbc/ResultColumn.h"
#include "sources/backends/odbc/Statement.h"
#include "sources/backends/SourceTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace quibo::odbc {

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
    // How a text that SQLite's driver writes for a BLOB ("X'…'") reads.
    enum class Blobs {
        None,     // as a text (not SQLite)
        Marked,   // Null where the columns of BlobMarks, after the table's, say it is a BLOB
        ToMark,   // the reading stops, for the query to run again with those columns
        AsStored, // Null in a column fetched as stored, else a text (the marks cannot be asked for)
    };

    // The first `width` of `columns` are the table's. Where `inPlace`, a value cut short is read whole
    // where it stands, in its row of the block; where `later`, once the block is read, by scrolling
    // back to its row (see readCut).
    BlockCells(const std::vector<ResultColumn>& columns, size_t width, SQLULEN rows, bool narrow,
               bool inPlace, bool later, Blobs blobs, core::TextPool& pool);

    // Reads the block's rows, the first of them row `start` + 1 of the result; false when a value was
    // cut short and could not be read in place, or a BLOB's text stopped the reading. The columns of
    // values cut short are held wider in `widths`, for the blocks that follow or for running the query
    // again. `scrolled` tells whether rows were fetched again (see readCut): the next block is then
    // fetched by its place.
    bool read(const Statement& stmt, SQLULEN fetched, const std::vector<SQLUSMALLINT>& status,
              std::vector<SQLLEN>& widths, SQLULEN start, bool& scrolled);

    void appendTo(SourceTable& table) {
        for (size_t k = 0; k < m_kept.size(); ++k)
            table.appendMixedRow(m_ids.data() + k * m_width, m_cells.data() + k * m_width, m_width);
    }

private:
    // False when a value was cut short; `longest` is then the longest such, of that many bytes in
    // `unit`s (SQL_NO_TOTAL when the driver stated none).
    bool readColumn(const Statement& stmt, size_t c, SQLLEN& longest, SQLLEN& unit);

    void lookUp(std::string_view text, size_t at) {
        if (m_narrow)
            m_bytes[m_looked] = {text.data(), text.size()};
        else
            m_views[m_looked] =
                QStringView(reinterpret_cast<const char16_t*>(text.data()), qsizetype(text.size() / 2));
        m_lookedAt[m_looked++] = uint32_t(at);
    }

    // Reads whole the values of the block cut short, each row of them fetched alone at its place in
    // the result; false when there were none. The block's buffers are written over.
    bool readCut(const Statement& stmt, SQLULEN start);
    void decimal(const char* data, size_t size, size_t at);
    // Reads the value of column `c` in row `r` of the block whole, with SQLGetData.
    void readWhole(const Statement& stmt, size_t r, size_t c, size_t at);
    // Whether the value of column `c` in row `r`, which reads as a BLOB's text, is a BLOB.
    bool blobAt(size_t r, size_t c);
    // Null for a cell read with SQLGetData that is a BLOB.
    void dropBlob(size_t r, size_t c, SourceCell& cell);

    const std::vector<ResultColumn>& m_columns;
    const size_t m_width;
    const bool m_narrow, m_inPlace, m_later, m_block;
    const Blobs m_blobs;
    bool m_stopped = false; // by a BLOB's text, under Blobs::ToMark
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
    // The values cut short, to read later: by row of the block, column and place, in that order.
    std::vector<std::tuple<size_t, size_t, size_t>> m_cut;
};

} // namespace quibo::odbc
