// Random text split whole and split piece by piece as the text reader reads a large file: the
// rows must come out the same wherever the pieces end. The first byte sets the piece length.

#include "sources/backends/text/SplitCsv.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Collect {
    Rows rows;
    std::vector<std::string> row;
    void cell(const char* bytes, size_t size) { row.push_back(bytes ? "=" + std::string(bytes, size) : "N"); }
    void ended() {
        rows.push_back(row);
        row.clear();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = 1 + data[0] % 32;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    Collect whole;
    quibo::SplitCsv(
        text.data(), text.data() + text.size(), [&](const char* b, size_t n) { whole.cell(b, n); },
        [&] { whole.ended(); });

    // As the reader does: the unfinished row is kept and the next piece read after it.
    Collect pieces;
    auto cell = [&](const char* b, size_t n) { pieces.cell(b, n); };
    auto ended = [&] { pieces.ended(); };
    std::string buffer;
    size_t next = 0;
    for (;;) {
        const size_t n = std::min(piece, text.size() - next);
        buffer.append(text, next, n);
        next += n;
        if (n < piece) {
            quibo::SplitCsv(buffer.data(), buffer.data() + buffer.size(), cell, ended);
            break;
        }
        const char* left = quibo::SplitCsvRows(buffer.data(), buffer.data() + buffer.size(), cell, ended);
        pieces.row.clear();
        buffer.erase(0, static_cast<size_t>(left - buffer.data()));
    }
    if (pieces.rows != whole.rows) std::abort();
    return 0;
}
