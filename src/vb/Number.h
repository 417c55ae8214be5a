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

// The length of the thousands-grouped whole part that starts at `from`, commas included, or 0 when
// the digits there are not grouped. The part is the longest run of ASCII digits and commas from
// `from`, so it ends at the first other character: ".", a blank, a letter, a sign, the end. It is
// grouped when it holds a comma and is either
//   western: 1 to 3 digits, then groups of exactly 3 ("1,500", "12,345,678"), or
//   Indian:  1 or 2 digits, then groups of exactly 2, the last group exactly 3 ("1,50,000").
// Anything else ("12,5", "1,5000", "1,,5", "1,500,") is not grouped and reads as if the comma were
// any other character. This is the one rule for reading grouping commas in cell texts.
qsizetype GroupedDigitsLength(QStringView text, qsizetype from);

// A text that is a number as a whole: surrounding blanks or tabs, an optional sign, digits
// (grouped as GroupedDigitsLength allows), an optional "." fraction and exponent (E or D), or an
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
