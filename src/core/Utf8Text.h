#pragma once

#include <QString>

#include <cstddef>
#include <cstring>

namespace quibo::core {

// UTF-8 bytes as a text, a U+FEFF that begins them kept: QString::fromUtf8 takes one for a byte-order
// mark and drops it, but only a file's (or a part's) first character is its mark, which the readers
// skip themselves; inside a text it is a character of the cell.
inline QString Utf8Text(const char* bytes, size_t size) {
    QString text = QString::fromUtf8(bytes, static_cast<qsizetype>(size));
    if (size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) text.prepend(QChar(0xFEFF));
    return text;
}

} // namespace quibo::core
