#include "plot/NumberEntry.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <span>

#include "common/NumberText.h"
#include "plot/EngineeringFormat.h"

namespace vireon {
namespace {

struct Prefix {
  char letter;
  int exponent;  // the letter stands for 10^exponent
};

// From the largest down; the last one takes every smaller magnitude.
constexpr std::array<Prefix, 8> kPrefixes = {
    {{'G', 9}, {'M', 6}, {'k', 3}, {'\0', 0}, {'m', -3}, {'u', -6}, {'n', -9}, {'p', -12}}};

// Below this magnitude a number reads without a prefix ("1E-14 ", "0 ").
constexpr double kSmallestPrefixed = 1e-13;

// 10^n for |n| <= 22 is an exact double, so scaling by it is one correctly rounded operation.
double PowerOfTen(int n) { return std::pow(10.0, n); }

double ScaledByPowerOfTen(double value, int exponent) {
  return exponent >= 0 ? value * PowerOfTen(exponent) : value / PowerOfTen(-exponent);
}

const Prefix& PrefixFor(double magnitude) {
  for (const Prefix& prefix : kPrefixes) {
    if (magnitude >= PowerOfTen(prefix.exponent)) return prefix;
  }
  return kPrefixes.back();
}

std::optional<int> PrefixExponent(char letter) {
  for (const Prefix& prefix : kPrefixes) {
    if (prefix.letter != '\0' && prefix.letter == letter) return prefix.exponent;
  }
  return std::nullopt;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == ','; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E'; }
bool IsEntryCharacter(char c) {
  return IsDigit(c) || IsSeparator(c) || IsExponentMark(c) || c == '-' || c == '+' ||
         PrefixExponent(c).has_value();
}

// General format of a non-negative number with `digits` significant digits and no trailing
// zeros: fixed notation unless the number needs more integer digits than it has significant
// ones (at least three are always allowed, so every prefixed mantissa reads fixed) or is below
// 1e-5; then "1.235E4", "5E-14".
std::string GeneralText(double magnitude, int digits) {
  if (magnitude == 0.0) return "0";
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                          std::chars_format::scientific, digits - 1);
  if (error != std::errc()) return "0";
  const std::string_view text(buffer.data(), end);
  const std::size_t exponent_mark = text.find('e');
  std::string significant;
  for (const char c : text.substr(0, exponent_mark)) {
    if (IsDigit(c)) significant += c;
  }
  while (significant.size() > 1 && significant.back() == '0') significant.pop_back();
  std::string_view exponent_text = text.substr(exponent_mark + 1);
  if (exponent_text.front() == '+') exponent_text.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);

  if (exponent < -5 || exponent >= std::max(digits, 3)) {
    std::string scientific = significant.substr(0, 1);
    if (significant.size() > 1) scientific += "." + significant.substr(1);
    return scientific + "E" + std::to_string(exponent);
  }
  if (exponent < 0) return "0." + std::string(-exponent - 1, '0') + significant;
  const std::size_t integer_digits = static_cast<std::size_t>(exponent) + 1;
  if (significant.size() <= integer_digits) {
    return significant + std::string(integer_digits - significant.size(), '0');
  }
  return significant.substr(0, integer_digits) + "." + significant.substr(integer_digits);
}

// The digits of a whole number's integer part (at most 15, the digits a double holds).
int IntegerDigits(double magnitude) {
  int count = 1;
  for (double power = 10.0; power <= magnitude && count < 15; power *= 10.0) ++count;
  return count;
}

std::string SignedGeneralText(double value, int digits) {
  const std::string magnitude = GeneralText(std::abs(value), digits);
  return value < 0.0 && magnitude != "0" ? "-" + magnitude : magnitude;
}

std::string FixedText(double value, int decimals) {
  std::array<char, 400> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(buffer.data(), end) : "0";
}

// The number part of an entry, with its prefix letter already taken off. An empty number
// counts as 1 once anything was typed (so "k" is 1000 and "-k" is -1000); "." and "-." are 0.
std::optional<double> EntryNumber(std::string_view number, int prefix_exponent, bool has_prefix) {
  // An exponent still being typed ("1e", "1e-") does not count yet.
  if (!number.empty() && (number.back() == '-' || number.back() == '+') && number.size() > 1 &&
      IsExponentMark(number[number.size() - 2])) {
    number.remove_suffix(2);
  } else if (!number.empty() && IsExponentMark(number.back())) {
    number.remove_suffix(1);
  }
  const bool negative = !number.empty() && number.front() == '-';
  std::string_view body = number;
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) body.remove_prefix(1);
  if (body.empty()) {
    if (number.empty() && !has_prefix) return std::nullopt;
    return ScaledByPowerOfTen(negative ? -1.0 : 1.0, prefix_exponent);
  }
  if (body.size() == 1 && IsSeparator(body.front())) return 0.0;
  // Parsing the prefix as a decimal exponent gives the correctly rounded value ("1.1m" is the
  // double nearest 0.0011, which 1.1 · 0.001 is not).
  const bool has_exponent = std::any_of(body.begin(), body.end(), IsExponentMark);
  if (!has_exponent) {
    return ParseDouble(std::string(number) + "e" + std::to_string(prefix_exponent));
  }
  const std::optional<double> value = ParseDouble(number);
  if (!value) return std::nullopt;
  return ScaledByPowerOfTen(*value, prefix_exponent);
}

// The nearest value of the form d·10^n (d one of `ladder`) strictly above (or below) a positive
// x. A relative tolerance lets 0.30000000000000004 count as the 3 it stands for.
double LadderStep(double x, bool up, std::span<const int> ladder) {
  if (x < 0.0) return -LadderStep(-x, !up, ladder);
  constexpr double kTolerance = 1e-9;
  const int decade = static_cast<int>(std::floor(std::log10(x)));
  double best = up ? HUGE_VAL : 0.0;
  for (int n = decade - 2; n <= decade + 2; ++n) {
    for (const int digit : ladder) {
      const double candidate = ScaledByPowerOfTen(digit, n);
      if (up && candidate > x * (1.0 + kTolerance)) best = std::min(best, candidate);
      if (!up && candidate < x * (1.0 - kTolerance)) best = std::max(best, candidate);
    }
  }
  return best;
}

constexpr std::array<int, 3> kPattern125 = {1, 2, 5};
constexpr std::array<int, 9> kSingleDigits = {1, 2, 3, 4, 5, 6, 7, 8, 9};

double LogStep(double x, bool up, double factor, const NumberEntrySettings& settings) {
  const double multiplier = std::pow(settings.RealMult, factor);
  if (!(multiplier > 0.0) || !std::isfinite(multiplier)) return x;
  if (x == 0.0) return up ? settings.RealInc : -settings.RealInc;
  // Towards zero the value divides; once it is within one increment of zero it is zero.
  const bool towards_zero = (x > 0.0) != up;
  if (!towards_zero) return x * multiplier;
  const double result = x / multiplier;
  return std::abs(result) < settings.RealInc ? 0.0 : result;
}

}  // namespace

double StepFactor(StepModifiers modifiers) {
  if (modifiers.shift && modifiers.ctrl) return 10.0;
  if (modifiers.shift) return 2.0;
  if (modifiers.ctrl) return 0.5;
  if (modifiers.alt) return 0.1;
  return 1.0;
}

ValueRange RangeOf(const NumberEntrySettings& settings) {
  return {std::min(settings.MinValue, settings.MaxValue),
          std::max(settings.MinValue, settings.MaxValue)};
}

double LimitToRange(double value, const NumberEntrySettings& settings) {
  const ValueRange range = RangeOf(settings);
  return std::clamp(value, range.low, range.high);
}

StepModeT EffectiveStepMode(const NumberEntrySettings& settings) {
  const StepModeT mode = settings.StepMode;
  if (!settings.IntOnly || mode == StepModeT::sm125 || mode == StepModeT::sm12345) return mode;
  return StepModeT::smIntRound;
}

std::string EntryDisplayText(double value, const NumberEntrySettings& settings) {
  if (!std::isfinite(value)) value = 0.0;
  double magnitude = std::abs(value);
  if (settings.IntOnly) magnitude = std::nearbyint(magnitude);
  int digits = std::clamp(settings.DefNumChars, 1, 15);
  // Without a prefix an integer shows every digit: 65536 must not read as 6.554E4 (65540).
  if (settings.IntOnly && !settings.EngUnits) digits = std::max(digits, IntegerDigits(magnitude));
  // Rounded before the prefix is chosen, so 999.96 at four digits reads "1 k", never "1000 ".
  magnitude = RoundToSignificantDigits(magnitude, digits);
  std::string text;
  if (settings.EngUnits && magnitude >= kSmallestPrefixed) {
    const Prefix& prefix = PrefixFor(magnitude);
    text = GeneralText(ScaledByPowerOfTen(magnitude, -prefix.exponent), digits) + " ";
    if (prefix.letter != '\0') text += prefix.letter;
  } else {
    text = GeneralText(magnitude, digits) + " ";
  }
  if (value < 0.0 && magnitude != 0.0) text.insert(0, "-");
  if (settings.ShowUnits) text += "[" + settings.Units + "]";
  return text;
}

std::string FilterTypedEntry(std::string_view text, bool eng_units) {
  std::string kept;
  bool has_separator = false;
  bool has_exponent = false;
  bool has_digit = false;
  for (const char c : text) {
    if (c == '[') break;
    const bool after_exponent_mark = !kept.empty() && IsExponentMark(kept.back());
    if (IsDigit(c)) {
      kept += c;
      has_digit = true;
    } else if (IsSeparator(c) && !has_separator && !has_exponent) {
      kept += c;
      has_separator = true;
    } else if ((c == '-' && kept.empty()) || ((c == '-' || c == '+') && after_exponent_mark)) {
      kept += c;
    } else if (IsExponentMark(c) && has_digit && !has_exponent) {
      kept += c;
      has_exponent = true;
    } else if (eng_units && PrefixExponent(c)) {
      kept += ' ';
      kept += c;
      break;  // the prefix letter is the last thing an entry holds
    }
  }
  return kept;
}

ParsedEntry ParseEntry(std::string_view text, const NumberEntrySettings& settings) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ' && c != '\t') compact += c;
  }
  std::string_view entry(compact);
  entry = entry.substr(
      0, std::find_if_not(entry.begin(), entry.end(), IsEntryCharacter) - entry.begin());
  const std::optional<int> prefix_exponent =
      entry.empty() ? std::nullopt : PrefixExponent(entry.back());
  if (prefix_exponent) entry.remove_suffix(1);
  const std::optional<double> number =
      EntryNumber(entry, prefix_exponent.value_or(0), prefix_exponent.has_value());
  if (!number || !std::isfinite(*number)) return {EntryOutcome::kNotANumber, 0.0};
  // Adding zero turns "-0" into 0.
  const double value = (settings.IntOnly ? std::nearbyint(*number) : *number) + 0.0;
  const ValueRange range = RangeOf(settings);
  if (value > range.high) return {EntryOutcome::kAboveMax, value};
  if (value < range.low) return {EntryOutcome::kBelowMin, value};
  return {EntryOutcome::kWithinRange, value};
}

double SteppedValue(double x, StepDirection direction, double factor,
                    const NumberEntrySettings& settings) {
  const bool up = direction == StepDirection::kUp;
  const double sign = up ? 1.0 : -1.0;
  // From zero the patterns have no decade to work in: an integer control moves to ±1, any
  // other to ± the increment.
  const double step_from_zero = settings.IntOnly ? 1.0 : settings.RealInc;
  double result = x;
  switch (EffectiveStepMode(settings)) {
    case StepModeT::smIntRound:
      result = std::nearbyint(x + sign * settings.CardInc);
      break;
    case StepModeT::sm125:
      result = x == 0.0 ? sign * step_from_zero : LadderStep(x, up, kPattern125);
      break;
    case StepModeT::sm12345:
      result = x == 0.0 ? sign * step_from_zero : LadderStep(x, up, kSingleDigits);
      break;
    case StepModeT::smLog:
      result = LogStep(x, up, factor, settings);
      break;
    case StepModeT::smReal:
      result = x + sign * factor * settings.RealInc;
      break;
    case StepModeT::smFine:
      return x;
  }
  if (settings.IntOnly) {
    result = std::abs(result) < 0.91 ? 0.0 : std::nearbyint(result);
  } else if (x > 0.0 && result < 0.0 && result > -settings.RealInc) {
    // Stepping down across zero stops at zero first.
    result = 0.0;
  }
  return std::isfinite(result) ? result + 0.0 : x;
}

std::vector<StepMenuItem> StepMenuItems(const NumberEntrySettings& settings) {
  const StepModeT mode = EffectiveStepMode(settings);
  std::vector<StepMenuItem> items = {
      {"&Integer round [+,-]: " + FormatInt(settings.CardInc), StepMenuAction::kIntRound,
       mode == StepModeT::smIntRound},
      {"1-2-5 &Pattern", StepMenuAction::kPattern125, mode == StepModeT::sm125},
      {"highdigit[+,-]", StepMenuAction::kHighDigit, mode == StepModeT::sm12345},
  };
  if (!settings.IntOnly) {
    items.push_back({"&Float [+,-]: " + FixedText(settings.RealInc, 5), StepMenuAction::kFloatAdd,
                     mode == StepModeT::smReal});
    items.push_back({" f&Loat [*,/]: " + SignedGeneralText(settings.RealMult, 15),
                     StepMenuAction::kFloatMultiply, mode == StepModeT::smLog});
    if (settings.ShowDotSpin) {
      items.push_back({"fine resolution", StepMenuAction::kFine, mode == StepModeT::smFine});
    }
  }
  items.push_back({"To Lowest value", StepMenuAction::kToLowest, false});
  items.push_back({"To Highest value", StepMenuAction::kToHighest, false});
  items.push_back({"cancel", StepMenuAction::kCancel, false});
  return items;
}

std::optional<StepModeT> StepModeOf(StepMenuAction action) {
  switch (action) {
    case StepMenuAction::kIntRound:
      return StepModeT::smIntRound;
    case StepMenuAction::kPattern125:
      return StepModeT::sm125;
    case StepMenuAction::kHighDigit:
      return StepModeT::sm12345;
    case StepMenuAction::kFloatAdd:
      return StepModeT::smReal;
    case StepMenuAction::kFloatMultiply:
      return StepModeT::smLog;
    case StepMenuAction::kFine:
      return StepModeT::smFine;
    case StepMenuAction::kToLowest:
    case StepMenuAction::kToHighest:
    case StepMenuAction::kCancel:
      return std::nullopt;
  }
  return std::nullopt;
}

void NumberEntry::SetValue(double value) {
  if (!std::isfinite(value)) return;
  value_ = value;
  last_step_.reset();
}

StepResult NumberEntry::Step(StepDirection direction, StepModifiers modifiers,
                             const NumberEntrySettings& settings) {
  if (EffectiveStepMode(settings) == StepModeT::smFine) {
    return direction == StepDirection::kUp ? StepResult::kDotSpinUp : StepResult::kDotSpinDown;
  }
  const bool reverses_last_step = last_step_ && last_step_->direction != direction;
  const double target =
      reverses_last_step
          ? LimitToRange(last_step_->value_before, settings)
          : LimitToRange(SteppedValue(value_, direction, StepFactor(modifiers), settings),
                         settings);
  // A step the range swallowed whole is no step: the memory of the last real one stays.
  if (target == value_) return StepResult::kUnchanged;
  last_step_ = LastStep{direction, value_};
  value_ = target;
  return StepResult::kValueChanged;
}

}  // namespace vireon
