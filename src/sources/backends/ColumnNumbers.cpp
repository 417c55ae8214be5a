#include "sources/backends/ColumnNumbers.h"

#include <charconv>
#include <cstdint>
#include <iterator>

namespace quibo {

namespace {

// A decimal's text between its blanks, and its sign: `i` and `length` are moved in to the number's
// first character past a sign and past its last one; true for a minus.
bool TrimSign(const char* text, size_t& i, size_t& length) {
    while (i < length && text[i] == ' ')
        ++i;
    while (length > i && text[length - 1] == ' ')
        --length;
    return i < length && (text[i] == '+' || text[i] == '-') && text[i++] == '-';
}

} // namespace

bool DecimalText(const char* text, size_t length, std::string& out) {
    size_t i = 0;
    const bool negative = TrimSign(text, i, length);
    long point = -1;
    std::string digits;
    for (; i < length; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits.push_back(text[i]);
        else if (text[i] == '.' && point < 0)
            point = long(digits.size());
        else
            break;
    }
    if (digits.empty()) return false;
    if (point < 0) point = long(digits.size());
    if (i < length && (text[i] == 'e' || text[i] == 'E')) {
        const char* from = text + i + 1;
        if (from < text + length && *from == '+') ++from;
        long shift = 0;
        const auto [end, error] = std::from_chars(from, text + length, shift);
        if (error != std::errc() || end != text + length || shift > 400 || shift < -400) return false;
        point += shift;
        i = length;
    }
    if (i != length) return false;
    if (point < 0) {
        digits.insert(0, size_t(-point), '0');
        point = 0;
    }
    if (point > long(digits.size())) digits.append(size_t(point) - digits.size(), '0');
    size_t lead = 0, end = digits.size();
    while (lead < size_t(point) && digits[lead] == '0')
        ++lead;
    while (end > size_t(point) && digits[end - 1] == '0')
        --end;
    out.clear();
    if (negative && (lead < size_t(point) || end > size_t(point))) out.push_back('-');
    if (lead == size_t(point))
        out.push_back('0');
    else
        out.append(digits, lead, size_t(point) - lead);
    if (end > size_t(point)) {
        out.push_back('.');
        out.append(digits, size_t(point), end - size_t(point));
    }
    return true;
}

bool ShownAsDouble(const std::string& text) {
    size_t significant = 0, leadingZeros = 0, wholeDigits = 0;
    bool fraction = false, started = false;
    for (const char c : text) {
        if (c == '.') {
            fraction = true;
        } else if (c >= '0' && c <= '9') {
            if (!fraction) ++wholeDigits;
            if (c != '0' || started) {
                started = true;
                ++significant;
            } else if (fraction) {
                ++leadingZeros;
            }
        }
    }
    if (!started) return true; // zero
    if (significant > 15) return false;
    return fraction && wholeDigits == 1 && text[text[0] == '-' ? 1 : 0] == '0' ? leadingZeros <= 3
                                                                               : wholeDigits <= 15;
}

double NumberOf(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool PlainDecimalNumber(const char* text, size_t length, double& value) {
    size_t i = 0;
    const bool negative = TrimSign(text, i, length);
    constexpr size_t None = size_t(-1);
    size_t point = None;
    const size_t start = i;
    for (; i < length; ++i) {
        if (text[i] == '.' && point == None)
            point = i;
        else if (text[i] < '0' || text[i] > '9')
            return false;
    }
    if (length - start == (point == None ? 0u : 1u)) return false; // no digit
    if (point != None)
        while (length > point + 1 && text[length - 1] == '0')
            --length;
    uint64_t mantissa = 0;
    int significant = 0, fraction = 0, leadingZeros = 0;
    for (size_t k = start; k < length; ++k) {
        if (k == point) continue;
        const int digit = text[k] - '0';
        if (point != None && k > point) ++fraction;
        if (significant == 0 && digit == 0) {
            if (point != None && k > point) ++leadingZeros;
            continue;
        }
        if (++significant > 15) return false;
        mantissa = mantissa * 10 + uint64_t(digit);
    }
    // Zeros lead only below 1, where a fourth after the point would write it with an exponent.
    if (leadingZeros > 3) return false;
    static constexpr double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    if (fraction >= int(std::size(Powers))) return false;
    value = double(mantissa) / Powers[fraction];
    if (negative && mantissa != 0) value = -value;
    return true;
}

double SingleValue(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double result = value;
    std::from_chars(text, end, result);
    return result;
}

} // namespace quibo
