#pragma once

#include "sources/backends/SourceTable.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quibo {

// An .xls file read straight from its bytes, in every BIFF version Excel wrote: a workbook of Excel 97
// and later (BIFF8) or of Excel 5 and 95 (BIFF5, 8-bit strings in the CODEPAGE record's code page,
// Windows-1252 without one) in a compound file, whose stream is named "Workbook" or "Book"; or a
// worksheet file of Excel 2, 3 or 4 (BIFF2 to 4), a bare record stream holding one sheet. It hands out
// the cells of a worksheet typed as an .xlsx sheet's are read: numbers as numbers, numbers in a date
// or time format as whole dates (DateOfSerial; a number where no date fits), booleans, texts, a
// formula's stored result as such a value, and nothing for blanks, errors and formulas without a
// result.
// Every length and offset in the file is checked; a damaged file is refused, never read past.
class BiffBook {
public:
    enum class Status {
        Ok,
        Protected,       // encrypted: its globals hold a FILEPASS record, or it is an encrypted package
        Excel4Workbook,  // an Excel 4 workbook (BIFF4W), whose sheets this reader does not take apart
        Damaged,         // a workbook whose globals (its sheet list, formats, strings) are broken
        Cut,             // a compound file that ends before the sectors it holds
        BrokenDirectory, // a compound file whose directory is damaged
        BrokenSectors,   // a compound file whose header, allocation tables or sector chains are damaged
        Malformed        // not an .xls file of any version
    };

    // Reads the workbook's stream (out of its compound file, or the bare file) and its globals; without
    // cells only the sheet list. The book keeps (shares) `file` and reads a stream stored in one run in
    // place: a file given as raw data (QByteArray::fromRawData, a mapping) must outlive the book.
    Status open(const QByteArray& file, bool withCells);

    // The worksheets' names, in the workbook's order; a worksheet file's one sheet has no name (it goes
    // by its file's).
    QStringList sheetNames() const;

    using CellSink = std::function<void(int row, int column, SourceCell cell)>;
    // Hands each cell of worksheet `index` to `sink`; false when the sheet's records are broken (a
    // record shorter than its layout, a string past its record, a shared string the table lacks, a
    // cell past the last column), whatever it was handed before.
    bool readSheet(int index, const CellSink& sink) const;
    // Worksheet `index` as SheetBuilder makes a table of its cells; nothing when its records are
    // broken. The records are walked twice, first for the range, so that the table is the only
    // thing that grows with the sheet.
    std::optional<SourceTable> readTable(int index) const;

private:
    struct Sheet {
        QString name;
        quint32 offset;
    };
    class Globals;
    class SheetRange;
    class TableCells;
    template <class Sink> class Cells;
    template <class Sink> bool readCells(int index, Sink& sink) const;
    // The place in m_xfDate of a cell's XF index.
    quint16 styleOfXf(quint16 xf) const;
    SourceCell numberCell(double value, quint16 xf) const;

    QByteArray m_file;
    QByteArray m_stream;       // the workbook's stream, in place in m_file or copied out of its sectors
    int m_biff = 8;            // 2, 3, 4, 5 (Excel 5 and 95 alike) or 8
    quint16 m_codePage = 1252; // of the 8-bit strings before BIFF8
    std::vector<Sheet> m_sheets;
    std::vector<QString> m_strings; // the shared strings
    std::vector<char> m_xfDate;     // per XF record (BIFF2: per format): whether it shows a date or time
    std::vector<quint16> m_biff2XfFormats; // BIFF2: the format of each XF record
    bool m_1904 = false;
    bool m_brokenSheet = false;   // a worksheet file whose records before its cells are broken
    bool m_worksheetFile = false; // an Excel 2 to 4 worksheet file: one sheet, no globals
};

} // namespace quibo
