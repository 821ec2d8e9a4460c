#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vireon {

// Value text of the configuration files, the same in every direction and locale.

// A 32-bit decimal integer; nullopt for anything else (including out-of-range numbers).
std::optional<int> ParseIniInteger(std::string_view text);
// A finite double; a decimal comma reads as a point.
std::optional<double> ParseIniFloat(std::string_view text);
// Any integer: zero is false, every other value true.
std::optional<bool> ParseIniBool(std::string_view text);

std::string FormatIniInteger(int value);
std::string FormatIniFloat(double value);  // shortest text that reads back the same double
std::string FormatIniBool(bool value);     // "1" or "0"

}  // namespace vireon
