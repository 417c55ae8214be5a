#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

namespace quibo::vb {

// Dates here are zone-less, as VB's are: the date and clock time as written. They are held
// as UTC QDateTimes so that no daylight-saving gap of the local zone can move them; read
// them with date() and time().

// A text that is a date, a date and time, or a time alone (which falls on 1899-12-30, VB's
// zero date). Numeric dates are read day first ("08/12/2026" is 8 December 2026) unless
// only month first makes a valid date ("12/31/2026"). Two-digit years: 00-29 are 2000-2029,
// 30-99 are 1930-1999. Years run from 100 to 9999, as in VB.
std::optional<QDateTime> ToDate(QStringView text);
bool IsDate(QStringView text);

// VB's Format of a date: d dd ddd dddd, m mm mmm mmmm (minutes right after an h or hh token,
// a ":" between allowed), y (day of year) yy yyyy, h hh, n nn, s ss, AM/PM am/pm A/P a/p (a
// 12-hour clock); tokens in any case. "/" and ":" are written as they are, as are other
// characters, backslash-escaped ones and "quoted text". English names always. An invalid
// QDateTime, which no VB date can be, gives an empty text.
QString FormatDate(const QDateTime& value, QStringView pattern);

// Day serial of spreadsheets and Access: days since 1899-12-30, the fraction the time of day.
// Below zero, as in VB, the whole part counts days back and the fraction still counts the
// time forward: -1.25 is 1899-12-29 06:00. Times are rounded to the second. A serial outside
// VB's dates (years 100-9999) or not finite gives an invalid QDateTime.
QDateTime FromOADate(double serial);

// The inverse of FromOADate; an invalid date gives NaN.
double ToOADate(const QDateTime& value);

} // namespace quibo::vb
