#pragma once

#include "sources/backends/SourceTable.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quibo {

// A BIFF8 workbook (Excel 97 and later .xls) read straight from its compound file. It hands out
// the cells of a worksheet typed as an .xlsx sheet's are read: numbers as numbers, numbers in a date
// or time format as whole dates (DateOfSerial; a number where no date fits), booleans, texts, and
// nothing for blanks, errors and formulas without a result.
// Every length and offset in the file is checked; a damaged file is refused, never read past.
class BiffBook {
public:
    enum class Status {
        Ok,
        Protected, // encrypted: its globals hold a FILEPASS record
        Other,     // not a BIFF8 workbook: for another reader
        Malformed  // a compound file, but broken
    };

    // Reads the compound file and the workbook's globals; without cells only the sheet list. The book
    // keeps (shares) `file` and reads a stream stored in one run in place: a file given as raw data
    // (QByteArray::fromRawData, a mapping) must outlive the book.
    Status open(const QByteArray& file, bool withCells);

    // The worksheets' names, in the workbook's order.
    QStringList sheetNames() const;

    using CellSink = std::function<void(int row, int column, SourceCell cell)>;
    // Hands each cell of worksheet `index` to `sink`; false when the sheet's records are broken.
    bool readSheet(int index, const CellSink& sink) const;
    // Worksheet `index` as SheetBuilder makes a table of its cells; nothing when its records are
    // broken.
    std::optional<SourceTable> readTable(int index) const;

private:
    struct Sheet {
        QString name;
        quint32 offset;
    };
    class SheetRows;
    template <class Sink> bool readCells(int index, Sink& sink) const;
    SourceCell numberCell(double value, quint16 xf) const;

    QByteArray m_file;
    QByteArray m_stream; // the "Workbook" stream, in place in m_file or copied out of its sectors
    std::vector<Sheet> m_sheets;
    std::vector<QString> m_strings; // the shared strings
    std::vector<char> m_xfDate;     // per XF record: whether its number format shows a date or time
    bool m_1904 = false;
};

} // namespace quibo
