#pragma once

#include <QDateTime>
#include <QStringView>

namespace quibo {

// Reads the date texts drivers and libraries hand out: "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" (a "T"
// instead of the blank, and a fraction of a second, allowed) or "hh:mm:ss" alone, which falls on
// 1899-12-30 as in VB. The result is zone-less (UTC); an invalid QDateTime when the text is none of these.
// Read by hand: Qt's parser consults the local time zone on every call.
QDateTime ParseDateText(QStringView text);

// The date and time a workbook's day serial stands for, the clock rounded to the second. In the 1900
// system serial 1 is 1 January 1900 and the serials below 60 are one day behind the 1899-12-30 base of
// the rest, as spreadsheets count a 29 February 1900 that the calendar lacks; serial 60, that day, reads
// as the 28th. In the 1904 system serial 0 is 1 January 1904. The calendar is the proleptic Gregorian,
// past 2100 too. Invalid where no date of the years 100 to 9999 fits.
QDateTime DateOfSerial(double serial, bool date1904);

} // namespace quibo
