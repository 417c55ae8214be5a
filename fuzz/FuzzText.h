#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace quibo::fuzz {

// The fuzzer's bytes as text: UTF-8 when the first byte is even, else raw UTF-16 code units, so
// lone surrogates and every other code unit reach the code too.
inline QString TextOf(const uint8_t* data, size_t size) {
    if (size == 0) return {};
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    if (data[0] % 2 == 0) return QString::fromUtf8(bytes, length);
    QString text(length / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));
    return text;
}

} // namespace quibo::fuzz
