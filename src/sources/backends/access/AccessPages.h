#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <vector>

// glib first: mdbtools.h pulls it in inside extern "C" otherwise.
#include <glib.h>

#include <mdbtools.h>

namespace quibo {

// A number of `bytes` bytes (at most 8), stored little-endian as Jet stores every number.
inline uint64_t LittleEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

// A row's offset in its page, below the flags that share its two bytes.
constexpr int RowOffsetMask = 0x1fff;

// What the first page says of a file: whether it is a Jet or ACE database, its version, its page
// size, and whether its pages are encrypted with a password (Access 2007 and later).
struct AccessHeader {
    bool access = false;
    quint32 version = 0;
    qint64 pageSize = 0;
    bool encrypted = false;
};
AccessHeader ReadAccessHeader(const QString& path);

// Refuses the file at `path` as damaged: `owner` names a page past its end (`page`), or a page map that
// cannot be read (`page` below 0).
[[noreturn]] void RaiseDamaged(const QString& path, const QString& owner, qint64 page);

// What a walk over a database's pages found wrong: a page past the end of the file, or bytes that do
// not hold what they claim (a row its page does not hold whole, a chain that loops, a length that
// runs past its part). The walks below stop at the first fault.
struct PageFault {
    qint64 page = 0; // a page named past the end of the file, 0 when none
    bool broken = false;
    explicit operator bool() const { return page != 0 || broken; }
};

// The pages of an open database, read through libmdb's page reader (which undoes an encoded
// database's page cipher) but walked here, every page number and length checked against the file,
// so that the library is only ever handed what was checked. Reads use the library's second page
// buffer; its first, the row walk's, is left alone.
class AccessPages {
public:
    AccessPages(MdbHandle* mdb, quint64 pages) : m_mdb(mdb), m_pages(pages) {}

    quint64 count() const { return m_pages; }

    // Row `row` of page `page`, whole; empty with the fault set when the file does not hold it.
    QByteArray row(quint64 page, unsigned row, PageFault& fault) const;
    // The row a page-and-row pointer names (the page in its upper three bytes).
    QByteArray pointed(quint32 pageRow, PageFault& fault) const;

    // The bytes of a long value (a memo, an OLE value, a property block) from the 12 bytes a row
    // holds for it: held in the row, on one other page, or in a chain of parts. Every part must be
    // in the file, each once, and together exactly as long as the value says it is.
    QByteArray longValue(const unsigned char* field, size_t size, PageFault& fault) const;

    // A table's definition as the library reads it: its first page whole, then each continuation
    // page after its 8-byte header. Every page of the chain must be a definition page in the file.
    QByteArray definition(quint64 page, PageFault& fault) const;

    // The pages a table's page map names for its rows, in order, into `listed`. Returns the first page
    // the file lacks (the map's own or one it names), -1 when the map cannot be read, 0 when every page
    // is in the file: libmdb ends a table's rows quietly at a missing page. The map is a bitmap in the
    // definition (type 0) or a list of map pages that each hold one (type 1).
    qint64 mapped(const MdbTableDef& def, std::vector<quint64>& listed) const;

    // Every row of the pages a table's map names (`mapped`), none skipped: each row its page's row
    // table holds is read, unless marked deleted, and followed where Access moved it to another page;
    // a row that cannot be read refuses the table (`owner` of the file at `path`), as does a design
    // counting more rows than the pages list. `onRow(stored)` is called with the row cracked into
    // `fields` on the library's page, and `stored`, the row's own count of columns; it returns false
    // when the row lacks what it must hold. The walk reads the library's first page buffer, where its
    // row cracker reads.
    template <typename OnRow>
    void walkRows(const QString& path, const QString& owner, MdbTableDef* def, quint32 tablePage,
                  const std::vector<quint64>& mapped, MdbField* fields, OnRow&& onRow) const;

private:
    // Where row `row` of the page `p` lies, with the flags of its offset; false when the page's row
    // table does not hold it inside the page. An empty row lies inside.
    bool bounds(const unsigned char* p, unsigned row, size_t& start, size_t& end, unsigned& flags) const;
    // Reads page `page` onto the library's page; refused unless it is a page of rows of the table
    // whose definition starts at `tablePage`.
    void readRowsPage(const QString& path, const QString& owner, quint64 page, quint32 tablePage) const;
    [[noreturn]] static void brokenRow(const QString& path, const QString& owner, quint64 page, unsigned row);
    static void requireCount(const QString& path, const QString& owner, const MdbTableDef& def,
                             const std::vector<quint64>& mapped, quint64 listed);

    // Page `page` as the library reads it, kept until another is read: a page map's two rows, a
    // memo's parts, often share one. Null when it cannot be read.
    const unsigned char* page(quint64 page) const;

    MdbHandle* m_mdb;
    quint64 m_pages;
    mutable std::vector<unsigned char> m_page;
    mutable qint64 m_held = -1;
};

template <typename OnRow>
void AccessPages::walkRows(const QString& path, const QString& owner, MdbTableDef* def, quint32 tablePage,
                           const std::vector<quint64>& mapped, MdbField* fields, OnRow&& onRow) const {
    constexpr unsigned Deleted = 0x8000, Moved = 0x4000;
    quint64 listed = 0;
    for (const quint64 page : mapped) {
        readRowsPage(path, owner, page, tablePage);
        const auto rows =
            static_cast<unsigned>(LittleEndian(m_mdb->pg_buf + m_mdb->fmt->row_count_offset, 2));
        listed += rows;
        for (unsigned row = 0; row < rows; ++row) {
            size_t start = 0, end = 0;
            unsigned flags = 0;
            const bool whole = bounds(m_mdb->pg_buf, row, start, end, flags);
            // A deleted row may have no bytes left; a row moved elsewhere is marked deleted where it
            // now stands.
            if (flags & Deleted) continue;
            if (!whole) brokenRow(path, owner, page, row);
            // A row grown too big for its page moved to another and left its page and row there.
            quint64 at = page;
            for (int moves = 0; flags & Moved; ++moves) {
                if (moves == 8 || end - start < 4) brokenRow(path, owner, page, row);
                const unsigned char* pointer = m_mdb->pg_buf + start;
                const unsigned target = pointer[0];
                at = LittleEndian(pointer + 1, 3);
                readRowsPage(path, owner, at, tablePage);
                if (!bounds(m_mdb->pg_buf, target, start, end, flags)) brokenRow(path, owner, page, row);
            }
            // A live row holds at least its count of columns.
            if (start == end) brokenRow(path, owner, page, row);
            const int stored = mdb_crack_row(def, static_cast<int>(start), end - start, fields);
            if (stored < 0) brokenRow(path, owner, page, row);
            for (unsigned c = 0; c < def->num_cols; ++c)
                if (fields[c].siz < 0 || (fields[c].siz > 0 && static_cast<size_t>(fields[c].start) < start))
                    brokenRow(path, owner, page, row);
            if (!onRow(stored)) brokenRow(path, owner, page, row);
            if (at != page) readRowsPage(path, owner, page, tablePage);
        }
    }
    requireCount(path, owner, *def, mapped, listed);
}

// The parts of a table's definition this reader needs beyond the library's reading, each checked to
// lie inside it.
struct DefinedColumn {
    int number = 0;    // the column's own number, which its index entries and null-mask bit use
    int rowNumber = 0; // the column's number in the rows, deleted columns counted
    int size = 0;
    bool calculated = false;
};

// The columns a definition lists, or false when the definition does not hold its columns and their
// names whole (the library would read past it), or when two of its columns share a number or a place
// among the variable-length values: Access numbers each column once, and a shared number reads one
// column's values for another's. `facts`, when given, receives what else the definition says.
struct DesignFacts {
    // The columns (by number) of each index the definition keeps unique, where it holds them whole.
    std::vector<std::vector<int>> uniqueKeys;
    // The columns deleted from the design that keep their place in the rows until the file is
    // compacted: the rows' count of columns beyond the columns listed.
    int retired = 0;
};
bool DefinitionColumns(const MdbHandle* mdb, const QByteArray& definition,
                       std::vector<DefinedColumn>& columns, DesignFacts* facts = nullptr);

// What a table's properties say of it: the objects they describe, by their names as stored, and the
// type each calculated column's values are stored in (its ResultType property), by the column's name
// (Jet 4 and later). They may describe columns the design no longer lists: Access keeps a deleted
// column's properties.
struct TableProperties {
    std::vector<QByteArray> objects; // the names of the objects described (the table, "", its columns)
    std::map<QString, int> resultTypes;
};

// True when `block` is a property block ("MR2" or "KKD") whose parts and entries each lie inside it;
// `properties`, when given, receives what it says.
bool PropertiesHold(const QByteArray& block, TableProperties* properties = nullptr);

} // namespace quibo
