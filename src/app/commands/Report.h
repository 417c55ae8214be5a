#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quibo {

class FormModel;

// Fills `text` up to `width` characters with `fill`: on the right for side 0,
// on the left for side 1; any other side gives "". A text longer than the
// width is cut to it. A fill of several characters is added whole each time;
// an empty fill adds nothing. With `enabled` false the text comes back as it is.
// A negative width with a text to cut raises run-time error 5.
QString PadString(const QString& text, const QString& fill, int side, int width, bool enabled);

// Writes the report file of GR1: for each row from 1 to RowCount, the key
// cell padded to 75 characters, then the last column's text, then CR LF, in
// the local 8-bit encoding; one line per row, a line break inside a cell
// written as one blank. The key column is "ID" when a column is headed
// exactly "ID", else the column keyed "NAME"; when the grid lacks that
// column, the one keyed "ID" (headed "Id", say). Location code F01-0045: an error
// is reported and the file keeps the lines written so far. Returns whether the
// whole report was written (callers that must not claim success check it).
bool SaveReport(FormModel& form, const QString& fileName);

// The platform's general date-and-time text: the locale's short date with a
// four-digit year, a blank and its long time without a time zone; at midnight
// the date alone. In en_US, 8 December 2026 6:30:15 in the morning reads
// "12/8/2026 6:30:15 AM".
QString GeneralDateText(const QDateTime& when, const QLocale& locale);

// The file "Save Report" writes: the folder, CurrentCompany, a blank and the
// general date and time (in the default locale, the system's unless set) with
// "/" as "-" and ":" as ".", then ".txt".
QString ReportFileName(const QString& folder, const QString& company, const QDateTime& when,
                       const QLocale& locale = QLocale());

} // namespace quibo
