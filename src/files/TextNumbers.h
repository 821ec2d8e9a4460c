#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vireon {

// Number texts of the text files, always with '.' whatever the locale.

// At most `precision` significant digits, trailing zeros dropped; scientific notation (with an
// upper-case "E", a sign and at least `exponent_digits` digits) only for very large or small
// values: 1000, 0.5, 1.234568E+0010.
std::string FormatGeneral(double value, int precision, int exponent_digits = 2);

// One digit, a point, exactly `decimals` digits and a two-digit exponent: 1.2500E+03.
std::string FormatScientific(double value, int decimals);

// Splits text into lines at CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text);

// The text without surrounding blanks and tabs.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vireon
