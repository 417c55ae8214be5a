#pragma once

#include <cstddef>
#include <string>

namespace quibo {

// The rules for numbers as a database's columns show them: exact decimals that come as text
// (NUMERIC and DECIMAL columns), and singles.

// An exact decimal as the program shows a Decimal, written into `out`: every digit, no exponent, no
// leading zeros, no trailing fractional zeros ("100.50" reads "100.5", "-0.00" "0", "1.5E+3" "1500").
// A double would keep 15 digits of an account number of 18. False when the text is no number
// (PostgreSQL's NaN), which then stays as it came.
bool DecimalText(const char* text, size_t length, std::string& out);

// Whether a Double shows the decimal `text` (as DecimalText writes it) digit for digit: at most 15
// significant digits, which a double keeps, and no exponent in its general text (the first digit
// from the 1E-04 place to the 1E+14 place). Such a decimal is kept as a number, as cheap as one.
bool ShownAsDouble(const std::string& text);

// The number of a decimal text, whatever the machine's locale says a decimal point is.
double NumberOf(const std::string& text);

// The number of a plain decimal ("-4998.75", " 12.50") that ShownAsDouble would keep as one, read
// without writing its text: at most 15 significant digits and an exact power of ten, so one division
// rounds as reading the text does. False for every other text, which DecimalText then reads.
bool PlainDecimalNumber(const char* text, size_t length, double& value);

// The number a single shows: the double of the shortest text that reads back as that single (0.1,
// not 0.100000001490116).
double SingleValue(float value);

} // namespace quibo
