#pragma once

#include <string>

namespace vireon {

// Numbers as every plot label and readout shows them: a mantissa of the requested significant
// digits (at most 5 characters) and an SI prefix letter, "1.5k", "-470u", "12.3M". The value is
// rounded to its digits before the prefix is chosen, so 999.96 at 4 digits reads "1k", not
// "1000". Magnitudes at or below 1e-15, and values that are not finite, read "0".
std::string EngFormat(double value, int digits);

// The value rounded to `digits` (1..17) significant digits as its decimal text shows them: the
// number a prefix must be chosen for, so that a mantissa never reads "1000".
double RoundToSignificantDigits(double value, int digits);

// The grid steps and scales of the plots.

// The span rounded to one significant digit of 1, 2 or 5 (mantissa below 1.5 → 1, below 3.5 → 2,
// else 5), never below 1e-6.
double Round125(double value);
// The smallest 1-2-5 value (1, 2 or 5 times a power of ten) not below the value.
double Ceil125(double value);
// The smallest single-digit value d·10^k (d = 1..9) not below the value.
double CeilSingleDigit(double value);
// The value truncated to its leading digit, d·10^k (a mantissa within 1e-4 below the next digit
// counts as that digit).
double FloorLeadingDigit(double value);

}  // namespace vireon
