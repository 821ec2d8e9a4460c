#include "plot/EngineeringFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace vireon {
namespace {

struct Prefix {
  double scale;
  char letter;  // '\0': none
};

// From the largest down; a magnitude at or above `scale` takes the letter.
constexpr std::array<Prefix, 9> kPrefixes = {{{1e9, 'G'},
                                              {1e6, 'M'},
                                              {1e3, 'k'},
                                              {1.0, '\0'},
                                              {1e-3, 'm'},
                                              {1e-6, 'u'},
                                              {1e-9, 'n'},
                                              {1e-12, 'p'},
                                              {1e-15, 'f'}}};

// The mantissa (1 ≤ m < 1000) with `digits` significant digits, trailing zeros dropped.
std::string Mantissa(double mantissa, int digits) {
  const int integer_digits = mantissa >= 100.0 ? 3 : mantissa >= 10.0 ? 2 : 1;
  const int decimals = digits > integer_digits ? digits - integer_digits : 0;
  std::array<char, 64> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), mantissa,
                                          std::chars_format::fixed, decimals);
  if (error != std::errc()) return "0";
  std::string printed(text.data(), end);
  if (printed.find('.') != std::string::npos) {
    while (printed.back() == '0') printed.pop_back();
    if (printed.back() == '.') printed.pop_back();
  }
  return printed;
}

double Pow10(double exponent) { return std::pow(10.0, exponent); }

// Value = mantissa · 10^exponent with 1 ≤ mantissa < 10; none for values that are not positive.
struct Decade {
  double mantissa;
  double power;
};
Decade DecadeOf(double value) {
  const double power = Pow10(std::floor(std::log10(value)));
  double mantissa = value / power;
  // log10 may land one decade off at exact powers of ten.
  if (mantissa >= 10.0) return {mantissa / 10.0, power * 10.0};
  if (mantissa < 1.0) return {mantissa * 10.0, power / 10.0};
  return {mantissa, power};
}

}  // namespace

double RoundToSignificantDigits(double value, int digits) {
  std::array<char, 64> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                          std::chars_format::scientific, digits - 1);
  if (error != std::errc()) return value;
  double rounded = value;
  std::from_chars(text.data(), end, rounded);
  return rounded;
}

std::string EngFormat(double value, int digits) {
  if (!std::isfinite(value)) return "0";
  digits = digits < 1 ? 1 : digits > 15 ? 15 : digits;
  const double magnitude = RoundToSignificantDigits(std::abs(value), digits);
  for (const Prefix& prefix : kPrefixes) {
    if (magnitude < prefix.scale) continue;
    if (prefix.letter == 'f' && magnitude <= prefix.scale) break;
    std::string mantissa = Mantissa(magnitude / prefix.scale, digits).substr(0, 5);
    if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
    std::string text = value < 0.0 ? "-" + mantissa : mantissa;
    if (prefix.letter != '\0') text += prefix.letter;
    return text;
  }
  return "0";
}

double Round125(double value) {
  if (!(value > 1e-6) || !std::isfinite(value)) return 1e-6;
  const Decade decade = DecadeOf(value);
  const double digit = decade.mantissa < 1.5 ? 1.0 : decade.mantissa < 3.5 ? 2.0 : 5.0;
  return std::max(digit * decade.power, 1e-6);
}

double Ceil125(double value) {
  if (!(value > 0.0) || !std::isfinite(value)) return 1.0;
  const Decade decade = DecadeOf(value);
  for (const double digit : {1.0, 2.0, 5.0}) {
    if (digit * decade.power >= value) return digit * decade.power;
  }
  return 10.0 * decade.power;
}

double CeilSingleDigit(double value) {
  if (!(value > 0.0) || !std::isfinite(value)) return 1.0;
  const Decade decade = DecadeOf(value);
  const double digit = std::ceil(decade.mantissa * (1.0 - 1e-12));
  return digit * decade.power;
}

double FloorLeadingDigit(double value) {
  if (!(value > 0.0) || !std::isfinite(value)) return 0.0;
  const Decade decade = DecadeOf(value);
  const double digit = std::floor(decade.mantissa * 1.0001);
  return digit >= 10.0 ? 10.0 * decade.power : digit * decade.power;
}

}  // namespace vireon
