#include "vb/Format.h"

#include "vb/Date.h"
#include "vb/Number.h"

namespace quibo::vb {

namespace {

struct PatternKind {
    bool digits = false;     // a "0" or "#" placeholder
    bool dateTokens = false; // one of d m y h n s
};

PatternKind KindOf(QStringView pattern) {
    PatternKind kind;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i].unicode();
        switch (c) {
        case u'"': {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            i = close < 0 ? pattern.size() : close;
            break;
        }
        case u'\\':
            ++i;
            break;
        case u'0':
        case u'#':
            kind.digits = true;
            break;
        case u'd':
        case u'D':
        case u'm':
        case u'M':
        case u'y':
        case u'Y':
        case u'h':
        case u'H':
        case u'n':
        case u'N':
        case u's':
        case u'S':
            kind.dateTokens = true;
            break;
        default:
            break;
        }
    }
    return kind;
}

} // namespace

QString Format(QStringView text, QStringView pattern) {
    if (const auto number = ToNumber(text)) {
        if (pattern.isEmpty()) return NumberText(*number);
        const PatternKind kind = KindOf(pattern);
        if (kind.dateTokens && !kind.digits) {
            const QDateTime date = FromOADate(*number);
            return date.isValid() ? FormatDate(date, pattern) : text.toString();
        }
        return FormatNumber(*number, pattern);
    }
    if (!pattern.isEmpty()) {
        if (const auto date = ToDate(text)) {
            // A number pattern shows the date's serial, as VB does, rather than losing it.
            return KindOf(pattern).digits ? FormatNumber(ToOADate(*date), pattern)
                                          : FormatDate(*date, pattern);
        }
    }
    return text.toString();
}

} // namespace quibo::vb
