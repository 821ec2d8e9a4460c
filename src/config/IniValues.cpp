#include "config/IniValues.h"

#include <cmath>
#include <limits>

#include "common/NumberText.h"

namespace vireon {

std::optional<int> ParseIniInteger(std::string_view text) {
  const auto value = ParseInt(text);
  if (!value || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

std::optional<double> ParseIniFloat(std::string_view text) {
  const auto value = ParseDouble(text);
  // "nan" and "inf" parse as numbers but no setting may hold them.
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<bool> ParseIniBool(std::string_view text) {
  const auto value = ParseInt(text);
  if (!value) return std::nullopt;
  return *value != 0;
}

std::string FormatIniInteger(int value) { return FormatInt(value); }

std::string FormatIniFloat(double value) { return FormatDouble(value); }

std::string FormatIniBool(bool value) { return value ? "1" : "0"; }

}  // namespace vireon
