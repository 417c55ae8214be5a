#include "sources/backends/DateText.h"

#include "vb/Date.h"

#include <algorithm>

namespace quibo {

namespace {

// The number of `digits` digits at `at`, or -1.
int Digits(QStringView text, qsizetype at, int digits) {
    if (at + digits > text.size()) return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        const char16_t c = text[at + i].unicode();
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QTime TimeAt(QStringView text, qsizetype at) {
    const int h = Digits(text, at, 2), m = Digits(text, at + 3, 2), s = Digits(text, at + 6, 2);
    if (h < 0 || m < 0 || s < 0 || text[at + 2] != u':' || text[at + 5] != u':') return {};
    const qsizetype end = at + 8;
    // A fraction of a second or a zone may follow; the time is taken as written.
    if (end < text.size() && text[end] != u'.' && text[end] != u'Z' && text[end] != u'+' && text[end] != u'-')
        return {};
    return QTime(h, m, s);
}

// The date and time of the clock at `at`, its fraction of a second as `fraction` says: half a second
// or more rounds up, into the next day too.
QDateTime DateAndTime(const QDate& date, QStringView text, qsizetype at, SecondFraction fraction) {
    const QTime time = TimeAt(text, at);
    if (!time.isValid()) return {};
    const QDateTime value(date, time, Qt::UTC);
    const qsizetype tenths = at + 9;
    const bool up = fraction == SecondFraction::Rounded && tenths < text.size() && text[tenths - 1] == u'.' &&
                    text[tenths] >= u'5' && text[tenths] <= u'9';
    return up ? value.addSecs(1) : value;
}

} // namespace

QDateTime ParseDateText(QStringView text, SecondFraction fraction) {
    text = text.trimmed();
    if (text.size() >= 8 && text[2] == u':') return DateAndTime(QDate(1899, 12, 30), text, 0, fraction);
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-') return {};
    const int y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (y < 0 || m < 0 || d < 0 || !QDate::isValid(y, m, d)) return {};
    const QDate date(y, m, d);
    if (text.size() == 10) return QDateTime(date, QTime(0, 0), Qt::UTC);
    if (text[10] != u' ' && text[10] != u'T') return {};
    return DateAndTime(date, text, 11, fraction);
}

QDateTime DateOfSerial(double serial, bool date1904) {
    if (date1904)
        serial += 1462;
    else if (serial >= 1 && serial < 60)
        serial += 1;
    return vb::FromOADate(serial);
}

bool IsBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

bool IsDateFormatCode(QStringView code) {
    for (qsizetype i = 0; i < code.size(); ++i) {
        const char16_t c = code[i].unicode();
        if (c == u';') return false;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            if (close < 0) return false;
            i = close;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // an escaped, spaced or repeated character
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            if (close < 0) return false;
            const QStringView inside = code.mid(i + 1, close - i - 1);
            auto elapsed = [](QChar k) { return QStringView(u"hHmMsS").contains(k); };
            if (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), elapsed)) return true;
            i = close; // a colour, condition or locale
        } else if (QStringView(u"dDmMyYhHsS").contains(QChar(c))) {
            return true;
        }
    }
    return false;
}

} // namespace quibo
