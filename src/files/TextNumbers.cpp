#include "files/TextNumbers.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vireon {
namespace {

// Rewrites the exponent of a to_chars result ("e+10", "e-05") as "E+0010".
std::string WithExponentDigits(std::string_view text, int exponent_digits) {
  const auto e = text.find('e');
  if (e == std::string_view::npos) return std::string(text);
  std::string result(text.substr(0, e));
  result += 'E';
  std::string_view exponent = text.substr(e + 1);
  result += exponent.front();  // to_chars always writes the sign
  exponent.remove_prefix(1);
  while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
  for (auto n = static_cast<int>(exponent.size()); n < exponent_digits; ++n) result += '0';
  result += exponent;
  return result;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "nan";
  return value > 0 ? "inf" : "-inf";
}

}  // namespace

std::string FormatGeneral(double value, int precision, int exponent_digits) {
  if (!std::isfinite(value)) return NonFinite(value);
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, precision);
  return WithExponentDigits(std::string_view(buffer.data(), result.ptr), exponent_digits);
}

std::string FormatScientific(double value, int decimals) {
  if (!std::isfinite(value)) return NonFinite(value);
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::scientific, decimals);
  return WithExponentDigits(std::string_view(buffer.data(), result.ptr), 2);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace vireon
