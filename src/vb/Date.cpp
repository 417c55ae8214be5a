#include "vb/Date.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace quibo::vb {

namespace {

const QDate kZeroDate(1899, 12, 30);

constexpr std::array<const char*, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                     "May",       "June",     "July",     "August",
                                                     "September", "October",  "November", "December"};
constexpr std::array<const char*, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                  "Friday", "Saturday", "Sunday"};

char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// True when `word` is `name` in any case; `name` is lower-case ASCII.
bool SameWord(QStringView word, const char* name) {
    qsizetype i = 0;
    for (; name[i] != 0; ++i)
        if (i >= word.size() || Lower(word[i].unicode()) != char16_t(name[i])) return false;
    return i == word.size();
}

// 1-12 for an English month name, full or of three letters, in any case; 0 otherwise.
int MonthOfWord(QStringView word) {
    if (word.size() < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        const char* name = kMonthNames[size_t(m)];
        if (word.size() != 3 && word.size() != qsizetype(std::strlen(name))) continue;
        qsizetype i = 0;
        while (i < word.size() && Lower(word[i].unicode()) == Lower(char16_t(name[i])))
            ++i;
        if (i == word.size()) return m + 1;
    }
    return 0;
}

// The text of a date cut into numbers, words, runs of blanks and punctuation.
struct Token {
    enum Kind { Number, Word, Space, Punct } kind;
    int value = 0;  // a number's value
    int length = 0; // digits of a number, letters of a word
    char16_t punct = 0;
    QStringView text;
};

constexpr size_t kMaxTokens = 24;

class Tokens {
public:
    explicit Tokens(QStringView text) {
        qsizetype i = 0;
        while (i < text.size()) {
            if (m_count == kMaxTokens) {
                m_valid = false;
                return;
            }
            const char16_t c = text[i].unicode();
            const qsizetype start = i;
            Token& token = m_tokens[m_count++];
            if (IsDigit(c)) {
                int value = 0;
                while (i < text.size() && IsDigit(text[i].unicode()) && i - start < 5)
                    value = value * 10 + (text[i++].unicode() - u'0');
                token = {Token::Number, value, int(i - start), 0, text.mid(start, i - start)};
                if (token.length > 4) {
                    m_valid = false;
                    return;
                }
            } else if (IsAsciiLetter(c)) {
                while (i < text.size() && IsAsciiLetter(text[i].unicode()))
                    ++i;
                token = {Token::Word, 0, int(i - start), 0, text.mid(start, i - start)};
            } else if (c == u' ') {
                while (i < text.size() && text[i] == u' ')
                    ++i;
                token = {Token::Space, 0, 0, 0, text.mid(start, i - start)};
            } else if (c == u'-' || c == u'/' || c == u'.' || c == u',' || c == u':') {
                ++i;
                token = {Token::Punct, 0, 0, c, text.mid(start, 1)};
            } else {
                m_valid = false;
                return;
            }
        }
    }

    bool valid() const { return m_valid; }
    size_t size() const { return m_count; }

    bool number(size_t k, int minDigits, int maxDigits) const {
        return k < m_count && m_tokens[k].kind == Token::Number && m_tokens[k].length >= minDigits &&
               m_tokens[k].length <= maxDigits;
    }
    bool punct(size_t k, char16_t c) const {
        return k < m_count && m_tokens[k].kind == Token::Punct && m_tokens[k].punct == c;
    }
    bool space(size_t k) const { return k < m_count && m_tokens[k].kind == Token::Space; }
    bool word(size_t k) const { return k < m_count && m_tokens[k].kind == Token::Word; }
    const Token& operator[](size_t k) const { return m_tokens[k]; }

private:
    std::array<Token, kMaxTokens> m_tokens{};
    size_t m_count = 0;
    bool m_valid = true;
};

// A year as written: four digits as they are, one or two through VB's window.
int YearOf(const Token& token) {
    if (token.length == 4) return token.value >= 100 ? token.value : 0;
    if (token.length <= 2) return token.value < 30 ? 2000 + token.value : 1900 + token.value;
    return 0;
}

bool IsYear(const Tokens& t, size_t k) {
    return t.number(k, 1, 2) || t.number(k, 4, 4);
}

QDate ValidDate(int year, int month, int day) {
    if (year < 100 || year > 9999) return {};
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}

bool IsDateSeparator(const Tokens& t, size_t k) {
    return t.punct(k, u'-') || t.punct(k, u'/') || t.punct(k, u'.');
}

bool SameSeparator(const Tokens& t, size_t a, size_t b) {
    return t[a].kind == t[b].kind && (t[a].kind == Token::Space || t[a].punct == t[b].punct);
}

// Reads the date at the start of the tokens; `k` is left after it. An invalid QDate when none.
QDate ReadDate(const Tokens& t, size_t& k) {
    // yyyy-mm-dd
    if (t.number(0, 4, 4) && IsDateSeparator(t, 1) && t.number(2, 1, 2) && SameSeparator(t, 1, 3) &&
        t.number(4, 1, 2)) {
        k = 5;
        return ValidDate(t[0].value, t[2].value, t[4].value);
    }
    // d/m/yyyy, day first; month first only when day first cannot be
    if (t.number(0, 1, 2) && IsDateSeparator(t, 1) && t.number(2, 1, 2) && SameSeparator(t, 1, 3) &&
        IsYear(t, 4)) {
        k = 5;
        const int year = YearOf(t[4]);
        const QDate dayFirst = ValidDate(year, t[2].value, t[0].value);
        return dayFirst.isValid() ? dayFirst : ValidDate(year, t[0].value, t[2].value);
    }
    // d-MMM-yyyy, d MMM yyyy
    if (t.number(0, 1, 2) && (IsDateSeparator(t, 1) || t.space(1)) && t.word(2) && SameSeparator(t, 1, 3) &&
        IsYear(t, 4)) {
        const int month = MonthOfWord(t[2].text);
        k = 5;
        return month ? ValidDate(YearOf(t[4]), month, t[0].value) : QDate();
    }
    // MMM d, yyyy
    if (t.word(0) && t.space(1) && t.number(2, 1, 2)) {
        size_t y = 3;
        if (t.punct(y, u',')) ++y;
        if (t.space(y)) ++y;
        if (y > 3 && IsYear(t, y)) {
            const int month = MonthOfWord(t[0].text);
            k = y + 1;
            return month ? ValidDate(YearOf(t[y]), month, t[2].value) : QDate();
        }
    }
    return {};
}

// Reads "h:mm[:ss][ AM|PM]" from token `k` to the end of the tokens.
std::optional<QTime> ReadTime(const Tokens& t, size_t k) {
    if (!(t.number(k, 1, 2) && t.punct(k + 1, u':') && t.number(k + 2, 1, 2))) return std::nullopt;
    int hour = t[k].value;
    const int minute = t[k + 2].value;
    int second = 0;
    k += 3;
    if (t.punct(k, u':') && t.number(k + 1, 1, 2)) {
        second = t[k + 1].value;
        k += 2;
    }
    if (t.space(k) && t.word(k + 1)) ++k;
    if (t.word(k)) {
        const bool am = SameWord(t[k].text, "am");
        const bool pm = SameWord(t[k].text, "pm");
        if ((!am && !pm) || hour > 12) return std::nullopt;
        hour = (hour % 12) + (pm ? 12 : 0);
        ++k;
    }
    if (k != t.size() || !QTime::isValid(hour, minute, second)) return std::nullopt;
    return QTime(hour, minute, second);
}

QString TwoDigits(int value) {
    QString text(2, u'0');
    text[0] = QChar(u'0' + value / 10 % 10);
    text[1] = QChar(u'0' + value % 10);
    return text;
}

qsizetype RunLength(QStringView pattern, qsizetype at, char16_t lower) {
    qsizetype end = at;
    while (end < pattern.size() && Lower(pattern[end].unicode()) == lower)
        ++end;
    return end - at;
}

bool StartsWithNoCase(QStringView pattern, qsizetype at, const char* lower) {
    for (qsizetype i = 0; lower[i] != 0; ++i)
        if (at + i >= pattern.size() || Lower(pattern[at + i].unicode()) != char16_t(lower[i])) return false;
    return true;
}

// Whether a pattern asks for a 12-hour clock: an AM/PM or A/P outside quotes and escapes.
bool HasHalfDay(QStringView pattern) {
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            i = close < 0 ? pattern.size() : close;
        } else if (c == u'\\') {
            ++i;
        } else if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p")) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<QDateTime> ToDate(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    const Tokens t(text.mid(begin, end - begin));
    if (!t.valid() || t.size() == 0) return std::nullopt;

    if (const auto time = ReadTime(t, 0)) return QDateTime(kZeroDate, *time, Qt::UTC);

    size_t k = 0;
    const QDate date = ReadDate(t, k);
    if (!date.isValid()) return std::nullopt;
    if (k == t.size()) return QDateTime(date, QTime(0, 0), Qt::UTC);
    if (!t.space(k) && !(t.word(k) && SameWord(t[k].text, "t"))) return std::nullopt;
    const auto time = ReadTime(t, k + 1);
    if (!time) return std::nullopt;
    return QDateTime(date, *time, Qt::UTC);
}

bool IsDate(QStringView text) {
    return ToDate(text).has_value();
}

QString FormatDate(const QDateTime& value, QStringView pattern) {
    if (!value.isValid()) return {};
    const QDate date = value.date();
    const QTime time = value.time();
    const bool twelveHour = HasHalfDay(pattern);
    QString out;
    out.reserve(pattern.size() + 8);
    bool afterHour = false; // an "m" here means minutes
    for (qsizetype i = 0; i < pattern.size();) {
        const char16_t c = Lower(pattern[i].unicode());
        bool hourToken = false;
        if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            const qsizetype stop = close < 0 ? pattern.size() : close;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else if (c == u'\\') {
            if (i + 1 < pattern.size()) out += pattern[i + 1];
            i += 2;
        } else if (c == u'a' && StartsWithNoCase(pattern, i, "am/pm")) {
            const bool upper = pattern[i] == u'A';
            out += QStringView(time.hour() < 12 ? (upper ? u"AM" : u"am") : (upper ? u"PM" : u"pm"));
            i += 5;
        } else if (c == u'a' && StartsWithNoCase(pattern, i, "a/p")) {
            const bool upper = pattern[i] == u'A';
            out += time.hour() < 12 ? (upper ? u'A' : u'a') : (upper ? u'P' : u'p');
            i += 3;
        } else if (c == u'd') {
            const qsizetype n = std::min<qsizetype>(RunLength(pattern, i, c), 4);
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += TwoDigits(date.day());
            else {
                const QLatin1StringView name(kDayNames[size_t(date.dayOfWeek() - 1)]);
                out += n == 3 ? name.left(3) : name;
            }
            i += n;
        } else if (c == u'm') {
            const qsizetype n = std::min<qsizetype>(RunLength(pattern, i, c), 4);
            if (n <= 2 && afterHour)
                out += n == 1 ? QString::number(time.minute()) : TwoDigits(time.minute());
            else if (n == 1)
                out += QString::number(date.month());
            else if (n == 2)
                out += TwoDigits(date.month());
            else {
                const QLatin1StringView name(kMonthNames[size_t(date.month() - 1)]);
                out += n == 3 ? name.left(3) : name;
            }
            i += n;
        } else if (c == u'y') {
            qsizetype n = RunLength(pattern, i, c);
            i += n;
            for (; n >= 4; n -= 4)
                out += QString::number(date.year()).rightJustified(4, u'0');
            if (n >= 2) {
                out += TwoDigits(date.year() % 100);
                n -= 2;
            }
            if (n == 1) out += QString::number(date.dayOfYear());
        } else if (c == u'h' || c == u'n' || c == u's') {
            const qsizetype n = std::min<qsizetype>(RunLength(pattern, i, c), 2);
            int number = c == u'n' ? time.minute() : c == u's' ? time.second() : time.hour();
            if (c == u'h' && twelveHour) number = number % 12 == 0 ? 12 : number % 12;
            out += n == 1 ? QString::number(number) : TwoDigits(number);
            hourToken = c == u'h';
            i += n;
        } else {
            out += pattern[i];
            // A ":" between an hour and an "m" still makes the "m" minutes.
            hourToken = afterHour && c == u':';
            ++i;
        }
        afterHour = hourToken;
    }
    return out;
}

QDateTime FromOADate(double serial) {
    constexpr double kFirst = -657434.0; // 100-01-01
    constexpr double kLast = 2958466.0;  // 10000-01-01
    if (!std::isfinite(serial) || serial <= kFirst - 1 || serial >= kLast) return {};
    const double whole = std::trunc(serial);
    long long seconds = std::llround(std::fabs(serial - whole) * 86400.0);
    QDate date = kZeroDate.addDays(static_cast<qint64>(whole));
    if (seconds >= 86400) {
        date = date.addDays(1);
        seconds -= 86400;
    }
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds)), Qt::UTC);
}

double ToOADate(const QDateTime& value) {
    if (!value.isValid()) return std::numeric_limits<double>::quiet_NaN();
    const double days = double(kZeroDate.daysTo(value.date()));
    const double fraction = value.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

} // namespace quibo::vb
