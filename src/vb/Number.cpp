#include "vb/Number.h"

#include "vb/RuntimeError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace quibo::vb {

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

char16_t Upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

int DigitValue(char16_t c, int base) {
    int d = -1;
    if (IsDigit(c))
        d = c - u'0';
    else if (Upper(c) >= u'A' && Upper(c) <= u'F')
        d = Upper(c) - u'A' + 10;
    return d < base ? d : -1;
}

// A decimal number taken apart by a scanner: ASCII digits of the mantissa and a decimal exponent.
// Converting through std::from_chars keeps the result correctly rounded and locale-free.
struct DecimalText {
    std::string mantissa; // digits with at most one '.', at least one digit
    long exponent = 0;
    bool negative = false;
};

// The value, or nothing when it is past the range of a double (a tiny value is 0).
std::optional<double> ToDouble(const DecimalText& number) {
    std::string text;
    text.reserve(number.mantissa.size() + 10);
    if (number.mantissa.front() == '.') text += '0';
    text += number.mantissa;
    if (text.back() == '.') text.pop_back();
    text += 'e';
    text += std::to_string(number.exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Out of range both ways: tell a huge value from a tiny one by the first significant digit.
        const auto point = number.mantissa.find('.');
        const long integerDigits =
            static_cast<long>(point == std::string::npos ? number.mantissa.size() : point);
        const auto first = number.mantissa.find_first_of("123456789");
        const long firstPosition = static_cast<long>(first) < integerDigits
                                       ? integerDigits - static_cast<long>(first)
                                       : integerDigits - static_cast<long>(first) + 1;
        if (first != std::string::npos && firstPosition + number.exponent > 0) return std::nullopt;
        value = 0;
    }
    if (value == 0) return 0.0; // no negative zero: "-0" is shown as "0" everywhere
    return number.negative ? -value : value;
}

// Keeps a huge written exponent from overflowing while it is read; anything past this is out of
// range of a double anyway.
constexpr long kExponentCap = 100000;

void AddExponentDigit(long& exponent, char16_t digit) {
    if (exponent < kExponentCap) exponent = exponent * 10 + (digit - u'0');
}

bool IsValBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool IsEdgeBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// Reads the digits of a "&H"/"&O" number as an unsigned value; `peek` shows the next character.
template <class Peek, class Advance> double RadixDigits(int base, Peek peek, Advance advance, bool& any) {
    double value = 0;
    any = false;
    for (int d = DigitValue(peek(), base); d >= 0; d = DigitValue(peek(), base)) {
        value = value * base + d;
        any = true;
        advance();
    }
    return value;
}

int RadixOf(char16_t letter) {
    switch (Upper(letter)) {
    case u'H':
        return 16;
    case u'O':
        return 8;
    default:
        return 0;
    }
}

bool IsExponentLetter(char16_t c) {
    return c == u'E' || c == u'e' || c == u'D' || c == u'd';
}

// Digits of a number cut into the placeholders of a pattern: value = 0.digits x 10^pointPos,
// digits without leading or trailing zeros, empty for zero.
struct Digits {
    std::string digits;
    int pointPos = 0;
};

Digits ShortestDigits(double magnitude) {
    Digits result;
    if (magnitude == 0) return result;
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific).ptr;
    const char* p = buffer;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') result.digits += *p;
    int exponent = 0;
    std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, end, exponent);
    result.pointPos = exponent + 1;
    while (!result.digits.empty() && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

// Rounds half away from zero to `decimals` places.
void RoundTo(Digits& number, int decimals) {
    const long keep = long(number.pointPos) + decimals;
    if (keep >= long(number.digits.size())) return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool up = number.digits[keep] >= '5';
    number.digits.resize(keep);
    if (up) {
        long k = keep - 1;
        while (k >= 0 && number.digits[k] == '9')
            number.digits[k--] = '0';
        if (k < 0) {
            number.digits.insert(number.digits.begin(), '1');
            ++number.pointPos;
        } else {
            ++number.digits[k];
        }
    }
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
}

std::string IntegerDigits(const Digits& number) {
    if (number.pointPos <= 0 || number.digits.empty()) return {};
    std::string result = number.digits.substr(0, std::min<size_t>(number.pointPos, number.digits.size()));
    result.append(std::max<long>(0, long(number.pointPos) - long(number.digits.size())), '0');
    return result;
}

char FractionDigit(const Digits& number, int index) {
    const long at = long(number.pointPos) + index;
    return (at < 0 || at >= long(number.digits.size())) ? '0' : number.digits[at];
}

// One section of a number pattern, read into placeholders and literals.
struct PatternItem {
    enum Kind { Digit, Point, Literal } kind;
    char16_t placeholder = 0; // '0' or '#'
    QString text;
};

struct NumberPattern {
    std::vector<PatternItem> items;
    int integerPlaceholders = 0;
    int fractionPlaceholders = 0;
    int firstIntegerZero = -1; // index among integer placeholders of the leftmost "0"
    int lastFractionZero = -1; // index among fraction placeholders of the rightmost "0"
    qsizetype pointItem = -1;
    bool grouping = false;
};

bool IsPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

NumberPattern ReadNumberPattern(QStringView section) {
    NumberPattern pattern;
    auto literal = [&](QStringView text) {
        if (!pattern.items.empty() && pattern.items.back().kind == PatternItem::Literal)
            pattern.items.back().text += text;
        else
            pattern.items.push_back({PatternItem::Literal, 0, text.toString()});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            literal(section.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < section.size()) literal(section.mid(++i, 1));
        } else if (IsPlaceholder(c)) {
            pattern.items.push_back({PatternItem::Digit, c.unicode(), {}});
            if (pattern.pointItem < 0) {
                if (c == u'0' && pattern.firstIntegerZero < 0)
                    pattern.firstIntegerZero = pattern.integerPlaceholders;
                ++pattern.integerPlaceholders;
            } else {
                if (c == u'0') pattern.lastFractionZero = pattern.fractionPlaceholders;
                ++pattern.fractionPlaceholders;
            }
        } else if (c == u'.' && pattern.pointItem < 0) {
            pattern.pointItem = qsizetype(pattern.items.size());
            pattern.items.push_back({PatternItem::Point, 0, {}});
        } else if (c == u',' && pattern.pointItem < 0 && pattern.integerPlaceholders > 0 &&
                   i + 1 < section.size() && IsPlaceholder(section[i + 1])) {
            pattern.grouping = true;
        } else {
            literal(section.mid(i, 1));
        }
    }
    return pattern;
}

QString FormatSection(const Digits& rounded, const NumberPattern& pattern) {
    std::string integer = IntegerDigits(rounded);
    if (pattern.firstIntegerZero >= 0) {
        const size_t minimum = size_t(pattern.integerPlaceholders - pattern.firstIntegerZero);
        if (integer.size() < minimum) integer.insert(0, minimum - integer.size(), '0');
    }

    // The integer part is laid from the right: each placeholder takes one digit, the leftmost
    // takes all that remain, so the integer part is never cut.
    const qsizetype integerEnd = pattern.pointItem < 0 ? qsizetype(pattern.items.size()) : pattern.pointItem;
    QString reversed;
    reversed.reserve(qsizetype(integer.size() + integer.size() / 3) + 8);
    long next = long(integer.size()) - 1;
    int laid = 0;
    auto layDigit = [&] {
        if (pattern.grouping && laid > 0 && laid % 3 == 0) reversed += u',';
        reversed += QChar(integer[next--]);
        ++laid;
    };
    int placeholdersLeft = pattern.integerPlaceholders;
    for (qsizetype i = integerEnd - 1; i >= 0; --i) {
        const PatternItem& item = pattern.items[i];
        if (item.kind == PatternItem::Literal) {
            for (qsizetype k = item.text.size() - 1; k >= 0; --k)
                reversed += item.text[k];
        } else if (--placeholdersLeft == 0) {
            while (next >= 0)
                layDigit();
        } else if (next >= 0) {
            layDigit();
        }
    }
    QString result;
    result.reserve(reversed.size() + pattern.fractionPlaceholders + 8);
    for (qsizetype k = reversed.size() - 1; k >= 0; --k)
        result += reversed[k];
    if (pattern.pointItem < 0) return result;

    // Without integer placeholders the integer digits stand just before the point.
    if (pattern.integerPlaceholders == 0)
        result += QString::fromLatin1(integer.data(), qsizetype(integer.size()));
    if (pattern.fractionPlaceholders > 0) result += u'.';
    int significant = pattern.lastFractionZero + 1;
    for (int j = pattern.fractionPlaceholders - 1; j >= significant; --j)
        if (FractionDigit(rounded, j) != '0') {
            significant = j + 1;
            break;
        }
    int index = 0;
    for (size_t i = size_t(pattern.pointItem) + 1; i < pattern.items.size(); ++i) {
        const PatternItem& item = pattern.items[i];
        if (item.kind == PatternItem::Literal)
            result += item.text;
        else if (index++ < significant)
            result += QChar(FractionDigit(rounded, index - 1));
    }
    return result;
}

// Splits "positive;negative;zero" at the semicolons that are not quoted or escaped.
std::vector<QStringView> Sections(QStringView pattern) {
    std::vector<QStringView> sections;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'\\' && !quoted)
            ++i;
        else if (c == u';' && !quoted) {
            sections.push_back(pattern.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.mid(start));
    return sections;
}

// A pattern read into its sections once: a load formats whole columns with one pattern.
struct ReadPattern {
    struct Section {
        bool empty = true;
        NumberPattern pattern;
    };
    QString text;
    std::vector<Section> sections; // as Sections splits the text
};

const ReadPattern& PatternOf(QStringView pattern) {
    thread_local ReadPattern last;
    if (last.sections.empty() || last.text != pattern) {
        ReadPattern read;
        read.text = pattern.toString();
        for (const QStringView section : Sections(read.text))
            read.sections.push_back({section.isEmpty(), ReadNumberPattern(section)});
        last = std::move(read);
    }
    return last;
}

} // namespace

double Val(QStringView text) {
    qsizetype i = 0;
    auto peek = [&]() -> char16_t {
        while (i < text.size() && IsValBlank(text[i].unicode()))
            ++i;
        return i < text.size() ? text[i].unicode() : char16_t(0);
    };
    auto advance = [&] { ++i; };

    if (peek() == u'&') {
        advance();
        const int base = RadixOf(peek());
        if (base == 0) return 0;
        advance();
        bool any = false;
        return RadixDigits(base, peek, advance, any);
    }

    DecimalText number;
    if (peek() == u'-' || peek() == u'+') {
        number.negative = peek() == u'-';
        advance();
    }
    bool anyDigit = false;
    for (; IsDigit(peek()); advance(), anyDigit = true)
        number.mantissa += char(peek());
    if (peek() == u'.') {
        number.mantissa += '.';
        advance();
        for (; IsDigit(peek()); advance(), anyDigit = true)
            number.mantissa += char(peek());
    }
    if (!anyDigit) return 0;
    if (IsExponentLetter(peek())) {
        const qsizetype mark = i;
        advance();
        bool negativeExponent = false;
        if (peek() == u'-' || peek() == u'+') {
            negativeExponent = peek() == u'-';
            advance();
        }
        if (IsDigit(peek())) {
            for (; IsDigit(peek()); advance())
                AddExponentDigit(number.exponent, peek());
            if (negativeExponent) number.exponent = -number.exponent;
        } else {
            i = mark; // "1e" or "1e+x": the exponent is not part of the number
        }
    }
    const auto value = ToDouble(number);
    if (!value) Raise(err::Overflow, QStringLiteral("Overflow"));
    return *value;
}

qsizetype GroupedDigitsLength(QStringView text, qsizetype from) {
    qsizetype end = from;
    while (end < text.size() && (IsDigit(text[end].unicode()) || text[end] == u','))
        ++end;
    int groups = 0;
    qsizetype first = 0;
    qsizetype last = 0;
    bool allThree = true;   // every group after the first
    bool middleTwo = true;  // every group between the first and the last
    qsizetype start = from; // of the group being measured
    for (qsizetype k = from; k <= end; ++k) {
        if (k < end && text[k] != u',') continue;
        const qsizetype length = k - start;
        if (groups == 0) {
            first = length;
        } else {
            allThree = allThree && length == 3;
            middleTwo = middleTwo && (k == end || length == 2);
            last = length;
        }
        ++groups;
        start = k + 1;
    }
    if (groups < 2 || first < 1) return 0;
    const bool western = first <= 3 && allThree;
    const bool indian = first <= 2 && middleTwo && last == 3;
    return western || indian ? end - from : 0;
}

std::optional<double> ToNumber(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsEdgeBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && IsEdgeBlank(text[end - 1].unicode()))
        --end;
    if (begin == end) return std::nullopt;
    qsizetype i = begin;
    auto at = [&](qsizetype k) -> char16_t { return k < end ? text[k].unicode() : char16_t(0); };

    if (at(i) == u'&') {
        const int base = RadixOf(at(i + 1));
        if (base == 0) return std::nullopt;
        i += 2;
        bool any = false;
        const double value = RadixDigits(
            base, [&] { return at(i); }, [&] { ++i; }, any);
        if (!any || i != end) return std::nullopt;
        return value;
    }

    DecimalText number;
    if (at(i) == u'-' || at(i) == u'+') number.negative = at(i++) == u'-';
    const qsizetype groupedEnd = i + GroupedDigitsLength(text.first(end), i);
    for (; i < groupedEnd; ++i)
        if (at(i) != u',') number.mantissa += char(at(i));
    for (; IsDigit(at(i)); ++i)
        number.mantissa += char(at(i));
    bool anyDigit = !number.mantissa.empty();
    if (at(i) == u'.') {
        number.mantissa += '.';
        for (++i; IsDigit(at(i)); ++i) {
            number.mantissa += char(at(i));
            anyDigit = true;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (IsExponentLetter(at(i))) {
        ++i;
        bool negativeExponent = false;
        if (at(i) == u'-' || at(i) == u'+') negativeExponent = at(i++) == u'-';
        if (!IsDigit(at(i))) return std::nullopt;
        for (; IsDigit(at(i)); ++i)
            AddExponentDigit(number.exponent, at(i));
        if (negativeExponent) number.exponent = -number.exponent;
    }
    if (i != end) return std::nullopt;
    return ToDouble(number);
}

bool IsNumeric(QStringView text) {
    return ToNumber(text).has_value();
}

QString NumberText(double value) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (value == 0) return QStringLiteral("0");

    // Written in stack buffers: every number cell of a loaded sheet becomes its text here.
    char buffer[64];
    const char* const end =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14)
            .ptr;
    char digits[32]; // the 15 significant digits
    size_t count = 0;
    const char* p = buffer;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') digits[count++] = *p;
    int exponent = 0;
    std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, end, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    char text[64];
    char* out = text;
    auto put = [&](const char* from, size_t n) {
        std::memcpy(out, from, n);
        out += n;
    };
    auto zeros = [&](size_t n) {
        std::memset(out, '0', n);
        out += n;
    };
    if (value < 0) *out++ = '-';
    if (exponent >= 15 || exponent < -4) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            put(digits + 1, count - 1);
        }
        put(exponent < 0 ? "E-" : "E+", 2);
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) *out++ = '0';
        out = std::to_chars(out, text + sizeof text, magnitude).ptr;
    } else if (exponent >= 0) {
        const size_t integerDigits = size_t(exponent) + 1;
        if (count <= integerDigits) {
            put(digits, count);
            zeros(integerDigits - count);
        } else {
            put(digits, integerDigits);
            *out++ = '.';
            put(digits + integerDigits, count - integerDigits);
        }
    } else {
        put("0.", 2);
        zeros(size_t(-exponent - 1));
        put(digits, count);
    }
    return QString::fromLatin1(text, qsizetype(out - text));
}

QString Str(double value) {
    QString text = NumberText(value);
    if (!text.startsWith(u'-')) text.prepend(u' ');
    return text;
}

QString FormatNumber(double value, QStringView pattern) {
    if (pattern.isEmpty() || !std::isfinite(value)) return NumberText(value);
    const std::vector<ReadPattern::Section>& sections = PatternOf(pattern).sections;
    size_t section = 0;
    bool signShown = true;
    if (value == 0 && sections.size() >= 3 && !sections[2].empty) {
        section = 2;
    } else if (value < 0 && sections.size() >= 2 && !sections[1].empty) {
        section = 1;
        signShown = false; // the negative section writes its own sign, if any
    }
    if (sections[section].empty) return NumberText(value);

    const NumberPattern& parsed = sections[section].pattern;
    Digits rounded = ShortestDigits(std::fabs(value));
    RoundTo(rounded, parsed.fractionPlaceholders);
    QString text = FormatSection(rounded, parsed);
    // A negative value that rounds to zero is shown without its sign, as VB does.
    if (signShown && value < 0 && !rounded.digits.empty()) text.prepend(u'-');
    return text;
}

} // namespace quibo::vb
