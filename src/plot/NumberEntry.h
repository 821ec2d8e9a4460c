#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireon {

// The rules of the numeric entry control, free of any widget: how a value reads, what typing
// keeps, how an entry parses and how the spin buttons step.

// The step rules: integer increment, 1-2-5 pattern, leading digit, multiplier, increment, and
// "fine", which leaves the value alone and asks the owner for a finer step (the dot spin).
enum class StepModeT { smIntRound, sm125, sm12345, smLog, smReal, smFine };

enum class StepDirection { kUp, kDown };

// The modifier keys held during a step.
struct StepModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The factor k the modifiers scale a step by: Shift and Ctrl ×10, Shift ×2, Ctrl ×0.5,
// Alt ×0.1, none ×1.
double StepFactor(StepModifiers modifiers);

// The published properties of the control, as the forms set them.
struct NumberEntrySettings {
  double MinValue = -1e11;
  double MaxValue = 1e9;
  bool IntOnly = false;
  bool EngUnits = true;
  int DefNumChars = 4;  // significant digits shown
  std::string Units;    // 8-bit bytes, as records store them
  bool ShowUnits = false;
  StepModeT StepMode = StepModeT::sm125;
  double RealMult = 1.0594630943592953;  // 2^(1/12): a semitone per smLog step
  double RealInc = 0.5;
  int CardInc = 1;
  bool ShowDotSpin = false;
};

// The range values are limited to; a maximum below the minimum counts as the two swapped.
struct ValueRange {
  double low;
  double high;
};
ValueRange RangeOf(const NumberEntrySettings& settings);
double LimitToRange(double value, const NumberEntrySettings& settings);

// The rule steps follow: an integer-only control steps every non-integer rule as smIntRound.
StepModeT EffectiveStepMode(const NumberEntrySettings& settings);

// The text the edit field shows for a value: "1.5 k[Hz]", "-20 [dB]", "470 u".
std::string EntryDisplayText(double value, const NumberEntrySettings& settings);

// What typing keeps of the field's text: digits, one decimal separator, a leading "-", an
// exponent and, with engineering units, one prefix letter after a space; "[" ends the text.
std::string FilterTypedEntry(std::string_view text, bool eng_units);

enum class EntryOutcome { kAboveMax, kWithinRange, kBelowMin, kNotANumber };
struct ParsedEntry {
  EntryOutcome outcome;
  double value;  // as typed (not limited to the range); 0 when not a number
};
// Reads a typed entry: "2.2k" → 2200, "k" → 1000, "1.5 k[Hz]" → 1500.
ParsedEntry ParseEntry(std::string_view text, const NumberEntrySettings& settings);

// The value one step up or down from x by the step rule, before it is limited to the range;
// smFine leaves x as it is.
double SteppedValue(double x, StepDirection direction, double factor,
                    const NumberEntrySettings& settings);

// The right-click menu: the step rules (the current one checked), the range ends and "cancel".
enum class StepMenuAction {
  kIntRound,
  kPattern125,
  kHighDigit,
  kFloatAdd,
  kFloatMultiply,
  kFine,
  kToLowest,
  kToHighest,
  kCancel
};
struct StepMenuItem {
  std::string caption;
  StepMenuAction action;
  bool checked;
};
std::vector<StepMenuItem> StepMenuItems(const NumberEntrySettings& settings);
// The step rule a menu action selects; none for the range ends and "cancel".
std::optional<StepModeT> StepModeOf(StepMenuAction action);

enum class StepResult { kUnchanged, kValueChanged, kDotSpinUp, kDotSpinDown };

// The control's value and the memory of its last step, so that a step straight back returns
// exactly to where the last one started, even when that step was cut short by the range.
class NumberEntry {
 public:
  double Value() const { return value_; }
  // Sets the value as given (a value that is not finite is ignored) and forgets the last step.
  void SetValue(double value);
  StepResult Step(StepDirection direction, StepModifiers modifiers,
                  const NumberEntrySettings& settings);

 private:
  struct LastStep {
    StepDirection direction;
    double value_before;
  };
  double value_ = 0.0;
  std::optional<LastStep> last_step_;
};

}  // namespace vireon
