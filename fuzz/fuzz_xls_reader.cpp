// Random bytes as an .xls file into the workbook reader: every damaged compound file or record must
// end in a refusal or in cells, never in a crash, a read out of bounds or a hang.

#include "sources/backends/xls/BiffBook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    quibo::BiffBook book;
    if (book.open(file, true) != quibo::BiffBook::Status::Ok) return 0;
    // A sheet reads whole both ways, as its cells and as a table, or neither way.
    for (int i = 0; i < book.sheetNames().size(); ++i) {
        const bool cells = book.readSheet(i, [](int row, int column, const quibo::SourceCell&) {
            if (row < 0 || column < 0) __builtin_trap();
        });
        if (book.readTable(i).has_value() != cells) __builtin_trap();
    }
    return 0;
}
