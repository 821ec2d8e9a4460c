#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vireon {

// Locale-independent number text for every file the program writes or reads.

// Shortest text that reads back as the same double ("nan", "inf", "-inf" when not finite).
std::string FormatDouble(double value);
std::string FormatInt(std::int64_t value);

// Surrounding blanks are ignored; the whole rest must be the number. A decimal
// comma is accepted as a decimal point, so files written under other locales read.
std::optional<double> ParseDouble(std::string_view text);
std::optional<std::int64_t> ParseInt(std::string_view text);

}  // namespace vireon
