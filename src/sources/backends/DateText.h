#pragma once

#include <QDateTime>
#include <QStringView>

namespace quibo {

// What becomes of a date text's fraction of a second: drivers' texts drop it; a workbook's ISO date
// cell rounds it to the nearest second, as a workbook's serial numbers are read.
enum class SecondFraction { Dropped, Rounded };

// Reads the date texts drivers and libraries hand out: "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" (a "T"
// instead of the blank, and a fraction of a second, allowed) or "hh:mm:ss" alone, which falls on
// 1899-12-30 as in VB. The result is zone-less (UTC); an invalid QDateTime when the text is none of these.
// Read by hand: Qt's parser consults the local time zone on every call.
QDateTime ParseDateText(QStringView text, SecondFraction fraction = SecondFraction::Dropped);

// The date and time a workbook's day serial stands for, the clock rounded to the second. In the 1900
// system serial 1 is 1 January 1900 and the serials below 60 are one day behind the 1899-12-30 base of
// the rest, as spreadsheets count a 29 February 1900 that the calendar lacks; serial 60, that day, reads
// as the 28th. In the 1904 system serial 0 is 1 January 1904. The calendar is the proleptic Gregorian,
// past 2100 too. Invalid where no date of the years 100 to 9999 fits.
QDateTime DateOfSerial(double serial, bool date1904);

// One rule for .xls and .xlsx workbooks of which number formats show a date or a time, so that a number
// in one reads as the date of its serial. A built-in format by its id (the ones a workbook need not
// store): 14 to 22 and 45 to 47, and the East Asian dates 27 to 36 and 50 to 58.
bool IsBuiltInDateFormat(int id);
// A format code, as Excel shows it: its first section holds a day, month, year, hour, minute or second
// (d, m, y, h, s in either case) outside quoted text, escaped characters and brackets, or an elapsed
// time in brackets ([h], [mm], [ss]). A day or a month alone is a date too: dd;"";"" or mmm.
bool IsDateFormatCode(QStringView code);

} // namespace quibo
