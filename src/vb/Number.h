#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace quibo::vb {

// VB's Val: the number at the start of a text. Blanks, tabs and line feeds are skipped
// anywhere ("1 2 3" is 123); reading stops at the first character that cannot continue the
// number; no number gives 0. "&H"/"&O" read hex/octal digits as an unsigned value.
// "." is always the decimal point. Raises Overflow (6) past the range of a double.
double Val(QStringView text);

// A text that is a number as a whole: surrounding blanks or tabs, an optional sign, digits
// with "," grouping between digits, an optional "." fraction and exponent (E or D), or an
// "&H"/"&O" form. Blank text is not a number, nor is one past the range of a double.
std::optional<double> ToNumber(QStringView text);
bool IsNumeric(QStringView text);

// The general text of a number (VB's CStr): 15 significant digits at most, no trailing
// zeros, E notation ("1E+15", "1E-05") when the decimal exponent is >= 15 or < -4.
// Not-a-number and infinities, which VB cannot hold, come out as "NaN", "Inf", "-Inf".
QString NumberText(double value);

// VB's Str: NumberText with a leading blank where a sign would stand.
QString Str(double value);

// VB's Format of a number. "0" is a digit always shown, "#" a digit shown when significant,
// the first "." the decimal point, "," between integer placeholders groups thousands; other
// characters, backslash-escaped characters and "quoted text" are copied. Rounding is half
// away from zero, decided on the shortest decimal text that reads back as the same double
// (so 1.005 with "0.00" is "1.01"). Sections "positive;negative;zero" are honoured.
// Not supported: "%" and "E+" forms and the thousands-scaling trailing ",", which are copied
// as literals. An empty pattern gives NumberText.
QString FormatNumber(double value, QStringView pattern);

} // namespace quibo::vb
