#include "plot/NumberEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vireon {
namespace {

using enum StepModeT;
constexpr StepDirection kUp = StepDirection::kUp;
constexpr StepDirection kDown = StepDirection::kDown;

NumberEntrySettings Settings(StepModeT mode, bool int_only = false) {
  NumberEntrySettings settings;
  settings.StepMode = mode;
  settings.IntOnly = int_only;
  settings.RealInc = 0.5;
  settings.RealMult = 2.0;
  settings.CardInc = 5;
  return settings;
}

TEST(NumberEntryDisplay, PrefixDigitsSignAndUnits) {
  struct Case {
    double value;
    bool eng_units;
    bool int_only;
    int digits;
    const char* units;  // shown when not null
    const char* text;
  };
  const Case cases[] = {
      {1500.0, true, false, 4, "Hz", "1.5 k[Hz]"},
      {1234567.0, true, false, 4, nullptr, "1.235 M"},
      // Rounded to four digits first, so the next prefix is used instead of "1000".
      {999.96, true, false, 4, nullptr, "1 k"},
      {999960.0, true, false, 4, nullptr, "1 M"},
      {0.99996, true, false, 4, nullptr, "1 "},
      {-0.0047, true, false, 3, "V", "-4.7 m[V]"},
      {2.2e-6, true, false, 4, nullptr, "2.2 u"},
      {4.7e-9, true, false, 4, nullptr, "4.7 n"},
      {3.3e-10, true, false, 4, nullptr, "330 p"},
      {2e12, true, false, 4, nullptr, "2000 G"},
      {0.0, true, false, 4, "s", "0 [s]"},
      // Below 1e-13 no prefix is used.
      {-5e-14, true, false, 4, nullptr, "-5E-14 "},
      {0.4, true, true, 4, nullptr, "0 "},
      {-0.4, true, true, 4, nullptr, "0 "},
      {2.5, true, true, 4, nullptr, "2 "},
      {-1499.6, true, true, 4, nullptr, "-1.5 k"},
      {1500.0, false, false, 4, nullptr, "1500 "},
      {65536.0, false, true, 4, nullptr, "65536 "},
      {65536.0, true, true, 4, nullptr, "65.54 k"},
      {48000.0, false, false, 4, nullptr, "4.8E4 "},
      {123.0, false, false, 2, nullptr, "120 "},
      {0.00025, false, false, 4, nullptr, "0.00025 "},
      {-20.0, false, false, 4, "dB", "-20 [dB]"},
      {1.0 / 3.0, false, false, 6, "\xB0", "0.333333 [\xB0]"},
  };
  for (const Case& c : cases) {
    NumberEntrySettings settings;
    settings.EngUnits = c.eng_units;
    settings.IntOnly = c.int_only;
    settings.DefNumChars = c.digits;
    settings.ShowUnits = c.units != nullptr;
    settings.Units = c.units != nullptr ? c.units : "ignored";
    EXPECT_EQ(EntryDisplayText(c.value, settings), c.text) << c.value;
  }
}

// Whatever the display shows parses back to the value within the digits it shows.
TEST(NumberEntryDisplay, ParsesBackWithinItsDigits) {
  NumberEntrySettings settings;
  settings.ShowUnits = true;
  settings.Units = "Hz";
  settings.MinValue = -1e30;
  settings.MaxValue = 1e30;
  for (const bool eng_units : {true, false}) {
    settings.EngUnits = eng_units;
    for (const double value :
         {1.0, 12.34, -0.05678, 2.5e-7, 3.3e-12, 47e3, 9.999e8, 1.234e10, -7.77e-14, 0.5, 100.0}) {
      const ParsedEntry parsed = ParseEntry(EntryDisplayText(value, settings), settings);
      ASSERT_EQ(parsed.outcome, EntryOutcome::kWithinRange) << value;
      EXPECT_NEAR(parsed.value, value, std::abs(value) * 5e-4) << value << " eng " << eng_units;
    }
  }
}

TEST(NumberEntryTyping, KeepsOnlyWhatAnEntryCanHold) {
  struct Case {
    const char* typed;
    bool eng_units;
    const char* kept;
  };
  const Case cases[] = {
      {"2.2k", true, "2.2 k"}, {"1.5 k[Hz]", true, "1.5 k"}, {"k", true, " k"},
      {"12a3", true, "123"},   {"1.2.3", true, "1.23"},      {"1,5.2", true, "1,52"},
      {"--5", true, "-5"},     {"5-3", true, "53"},          {"1e-3", true, "1e-3"},
      {"e5", true, "5"},       {"1.5e3e.2", true, "1.5e32"}, {"3 Mx7", true, "3 M"},
      {"2k", false, "2"},      {"47[uF]", false, "47"},      {"", true, ""},
      {"\xB0-1", true, "-1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilterTypedEntry(c.typed, c.eng_units), c.kept) << c.typed;
  }
}

TEST(NumberEntryParse, PrefixesIncompleteNumbersAndRounding) {
  struct Case {
    const char* text;
    bool int_only;
    double value;
  };
  const Case cases[] = {
      {"2.2k", false, 2200.0}, {"2.2 k", false, 2200.0},     {"k", false, 1000.0},
      {"-k", false, -1000.0},  {"1.5 k[Hz]", false, 1500.0}, {"1.1m", false, 0.0011},
      {"470u", false, 470e-6}, {"3n", false, 3e-9},          {"5p", false, 5e-12},
      {"1G", false, 1e9},      {"2M", false, 2e6},           {"4.8E4 ", false, 48000.0},
      {"1e3k", false, 1e6},    {"2,5", false, 2.5},          {".", false, 0.0},
      {"-.", false, 0.0},      {"-", false, -1.0},           {".5", false, 0.5},
      {"1e", false, 1.0},      {"1e-", false, 1.0},          {"12abc", false, 12.0},
      {"2.5", true, 2.0},      {"3.5", true, 4.0},           {"1.4k", true, 1400.0},
      {"-0.3", true, 0.0},
  };
  NumberEntrySettings settings;
  for (const Case& c : cases) {
    settings.IntOnly = c.int_only;
    const ParsedEntry parsed = ParseEntry(c.text, settings);
    EXPECT_EQ(parsed.outcome, EntryOutcome::kWithinRange) << c.text;
    EXPECT_EQ(parsed.value, c.value) << c.text;
    EXPECT_FALSE(std::signbit(parsed.value) && parsed.value == 0.0) << c.text;
  }
}

TEST(NumberEntryParse, OutcomesAgainstTheRange) {
  struct Case {
    const char* text;
    double min;
    double max;
    EntryOutcome outcome;
  };
  const Case cases[] = {
      {"150", 0, 100, EntryOutcome::kAboveMax},
      {"-1", 0, 100, EntryOutcome::kBelowMin},
      {"100", 0, 100, EntryOutcome::kWithinRange},
      {"0", 0, 100, EntryOutcome::kWithinRange},
      {"0.1k", 0, 99, EntryOutcome::kAboveMax},
      // A maximum below the minimum counts as the two swapped.
      {"50", 100, 0, EntryOutcome::kWithinRange},
      {"150", 100, 0, EntryOutcome::kAboveMax},
      // An empty entry is not the 1 an empty number with a prefix stands for.
      {"", 0, 100, EntryOutcome::kNotANumber},
      {"[Hz]", 0, 100, EntryOutcome::kNotANumber},
      {"abc", 0, 100, EntryOutcome::kNotANumber},
      {"1.2.3", 0, 100, EntryOutcome::kNotANumber},
      {"1-2", 0, 100, EntryOutcome::kNotANumber},
      {"2kk", 0, 100, EntryOutcome::kNotANumber},
      {"1e999", 0, 100, EntryOutcome::kNotANumber},
  };
  for (const Case& c : cases) {
    NumberEntrySettings settings;
    settings.MinValue = c.min;
    settings.MaxValue = c.max;
    EXPECT_EQ(ParseEntry(c.text, settings).outcome, c.outcome) << c.text;
  }
}

// RealInc 0.5, RealMult 2, CardInc 5 throughout.
TEST(NumberEntryStep, EveryRuleUpAndDown) {
  struct Case {
    StepModeT mode;
    bool int_only;
    double x;
    StepDirection direction;
    StepModifiers modifiers;
    double expected;
  };
  const StepModifiers none;
  const StepModifiers shift{.shift = true};
  const StepModifiers ctrl{.ctrl = true};
  const StepModifiers alt{.alt = true};
  const StepModifiers shift_ctrl{.shift = true, .ctrl = true};
  const Case cases[] = {
      {sm125, false, 1, kUp, none, 2},
      {sm125, false, 2, kUp, none, 5},
      {sm125, false, 5, kUp, none, 10},
      {sm125, false, 1, kDown, none, 0.5},
      {sm125, false, 2, kDown, none, 1},
      {sm125, false, 5, kDown, none, 2},
      {sm125, false, 0.2, kDown, none, 0.1},
      {sm125, false, 3, kUp, none, 5},
      {sm125, false, 3, kDown, none, 2},
      {sm125, false, -1, kUp, none, -0.5},
      {sm125, false, -2, kUp, none, -1},
      {sm125, false, -5, kUp, none, -2},
      {sm125, false, -1, kDown, none, -2},
      {sm125, false, -2, kDown, none, -5},
      {sm125, false, -5, kDown, none, -10},
      {sm125, false, 0, kUp, none, 0.5},
      {sm125, false, 0, kDown, none, -0.5},
      {sm125, false, 2, kUp, shift_ctrl, 5},
      {sm12345, false, 1, kUp, none, 2},
      {sm12345, false, 9, kUp, none, 10},
      {sm12345, false, 1, kDown, none, 0.9},
      {sm12345, false, 20, kDown, none, 10},
      {sm12345, false, 2.5, kUp, none, 3},
      {sm12345, false, 2.5, kDown, none, 2},
      {sm12345, false, -1, kUp, none, -0.9},
      {sm12345, false, -3, kUp, none, -2},
      {sm12345, false, -1, kDown, none, -2},
      {sm12345, false, -9, kDown, none, -10},
      {smLog, false, 3, kUp, none, 6},
      {smLog, false, 3, kUp, shift, 12},
      {smLog, false, 3, kUp, shift_ctrl, 3072},
      {smLog, false, 3, kUp, ctrl, 3 * std::sqrt(2.0)},
      {smLog, false, 3, kUp, alt, 3 * std::pow(2.0, 0.1)},
      {smLog, false, 3, kDown, none, 1.5},
      {smLog, false, 1, kDown, none, 0.5},
      {smLog, false, 0.8, kDown, none, 0},
      {smLog, false, 0, kUp, none, 0.5},
      {smLog, false, 0, kDown, none, -0.5},
      {smLog, false, -3, kUp, none, -1.5},
      {smLog, false, -0.8, kUp, none, 0},
      {smLog, false, -3, kDown, none, -6},
      {smReal, false, 1, kUp, none, 1.5},
      {smReal, false, 1, kUp, shift, 2},
      {smReal, false, 1, kUp, ctrl, 1.25},
      {smReal, false, 1, kUp, alt, 1.05},
      {smReal, false, 1, kUp, shift_ctrl, 6},
      {smReal, false, 1, kDown, none, 0.5},
      {smReal, false, -1, kDown, none, -1.5},
      {smReal, false, -0.3, kUp, none, 0.2},
      // Stepping down across zero stops at zero; from zero a small step still goes below it.
      {smReal, false, 0.3, kDown, none, 0},
      {smReal, false, 0, kDown, alt, -0.05},
      {smIntRound, false, 7.4, kUp, none, 12},
      {smIntRound, false, 7.6, kDown, shift, 3},
      {smIntRound, true, 0, kUp, none, 5},
      {smIntRound, true, 0, kDown, none, -5},
      {sm125, true, 1, kDown, none, 0},
      {sm125, true, 0, kUp, none, 1},
      {sm125, true, 0, kDown, none, -1},
      {sm125, true, 2, kUp, none, 5},
      {sm125, true, -1, kUp, none, 0},
      {sm12345, true, 1, kDown, none, 0},
      {sm12345, true, 10, kDown, none, 9},
      {sm12345, true, 0, kUp, none, 1},
      // The non-integer rules step an integer control as smIntRound.
      {smLog, true, 7, kUp, none, 12},
      {smReal, true, 0, kDown, shift, -5},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(
        SteppedValue(c.x, c.direction, StepFactor(c.modifiers), Settings(c.mode, c.int_only)),
        c.expected)
        << static_cast<int>(c.mode) << (c.int_only ? " int " : " ") << c.x
        << (c.direction == kUp ? " up" : " down");
  }
}

// The patterns land on the decimal values themselves, not on products near them, so that a
// long walk neither drifts nor skips a value.
TEST(NumberEntryStep, PatternsLandOnExactDecimals) {
  struct Case {
    StepModeT mode;
    double start;
    StepDirection direction;
    std::vector<double> walk;
  };
  const Case cases[] = {
      {sm125, 0.01, kUp, {0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20}},
      {sm125, 1000, kDown, {500, 200, 100, 50, 20, 10, 5, 2, 1, 0.5, 0.2, 0.1, 0.05}},
      {sm12345, 0.1, kUp, {0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1, 2, 3}},
      {sm12345, 0.3, kDown, {0.2, 0.1, 0.09, 0.08, 0.07}},
  };
  for (const Case& c : cases) {
    double x = c.start;
    for (const double expected : c.walk) {
      x = SteppedValue(x, c.direction, 1.0, Settings(c.mode));
      EXPECT_EQ(x, expected) << "from " << c.start;
    }
  }
  // A value a sum left just off the pattern still counts as the pattern value.
  EXPECT_EQ(SteppedValue(0.1 + 0.2, kUp, 1.0, Settings(sm12345)), 0.4);
}

TEST(NumberEntryStep, NonsenseMultiplierLeavesTheValue) {
  for (const double multiplier : {0.0, -2.0}) {
    NumberEntrySettings settings = Settings(smLog);
    settings.RealMult = multiplier;
    EXPECT_EQ(SteppedValue(3.0, kUp, 1.0, settings), 3.0);
    EXPECT_EQ(SteppedValue(3.0, kDown, 1.0, settings), 3.0);
  }
}

class NumberEntryMemory : public ::testing::Test {
 protected:
  NumberEntryMemory() {
    settings_ = Settings(smReal);
    settings_.RealInc = 50.0;
    settings_.MinValue = 0.0;
    settings_.MaxValue = 1000.0;
    entry_.SetValue(990.0);
  }
  StepResult Step(StepDirection direction, StepModifiers modifiers = {}) {
    return entry_.Step(direction, modifiers, settings_);
  }
  NumberEntrySettings settings_;
  NumberEntry entry_;
};

TEST_F(NumberEntryMemory, UpThenDownReturnsExactlyEvenWhenLimited) {
  EXPECT_EQ(Step(kUp), StepResult::kValueChanged);
  EXPECT_EQ(entry_.Value(), 1000.0);
  EXPECT_EQ(Step(kDown), StepResult::kValueChanged);
  EXPECT_EQ(entry_.Value(), 990.0);
  // The way back is itself a step: going up again returns to where it started.
  Step(kUp);
  EXPECT_EQ(entry_.Value(), 1000.0);
}

TEST_F(NumberEntryMemory, ReturnsExactlyWhereMultiplyingBackWouldNot) {
  settings_.StepMode = smLog;
  settings_.RealMult = 1.0594630943592953;
  const double start = 700.1234567;
  entry_.SetValue(start);
  Step(kUp, {.shift = true, .alt = true});
  Step(kDown);
  EXPECT_EQ(entry_.Value(), start);
  Step(kDown);
  Step(kDown);
  Step(kUp);
  EXPECT_EQ(entry_.Value(), SteppedValue(start, kDown, 1.0, settings_));
}

TEST_F(NumberEntryMemory, AStepTheRangeSwallowsKeepsTheWayBack) {
  Step(kUp);
  EXPECT_EQ(Step(kUp), StepResult::kUnchanged);
  EXPECT_EQ(entry_.Value(), 1000.0);
  Step(kDown);
  EXPECT_EQ(entry_.Value(), 990.0);
}

TEST_F(NumberEntryMemory, SettingTheValueForgetsTheLastStep) {
  Step(kUp);
  entry_.SetValue(500.0);
  Step(kDown);
  EXPECT_EQ(entry_.Value(), 450.0);
  entry_.SetValue(std::nan(""));
  EXPECT_EQ(entry_.Value(), 450.0);
}

TEST_F(NumberEntryMemory, SwappedRangeStillLimits) {
  settings_.MinValue = 1000.0;
  settings_.MaxValue = 0.0;
  Step(kUp);
  EXPECT_EQ(entry_.Value(), 1000.0);
  entry_.SetValue(20.0);
  Step(kDown);
  EXPECT_EQ(entry_.Value(), 0.0);
}

TEST_F(NumberEntryMemory, FineRuleAsksForTheDotSpin) {
  settings_.StepMode = smFine;
  EXPECT_EQ(Step(kUp), StepResult::kDotSpinUp);
  EXPECT_EQ(Step(kDown), StepResult::kDotSpinDown);
  EXPECT_EQ(entry_.Value(), 990.0);
  // An integer control has no fine rule.
  settings_.IntOnly = true;
  settings_.CardInc = 3;
  EXPECT_EQ(Step(kDown), StepResult::kValueChanged);
  EXPECT_EQ(entry_.Value(), 987.0);
}

TEST(NumberEntryMenu, CaptionsAndTheCheckedRule) {
  NumberEntrySettings settings = Settings(smLog);
  settings.RealInc = 0.0001;
  settings.RealMult = 1.0594630943592953;
  settings.ShowDotSpin = true;
  std::vector<std::string> captions;
  std::vector<std::string> checked;
  for (const StepMenuItem& item : StepMenuItems(settings)) {
    captions.push_back(item.caption);
    if (item.checked) checked.push_back(item.caption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"&Integer round [+,-]: 5", "1-2-5 &Pattern",
                                                "highdigit[+,-]", "&Float [+,-]: 0.00010",
                                                " f&Loat [*,/]: 1.0594630943593", "fine resolution",
                                                "To Lowest value", "To Highest value", "cancel"}));
  EXPECT_EQ(checked, std::vector<std::string>{" f&Loat [*,/]: 1.0594630943593"});

  // An integer control offers only the integer rules, and steps a non-integer one as the first.
  settings.IntOnly = true;
  captions.clear();
  checked.clear();
  for (const StepMenuItem& item : StepMenuItems(settings)) {
    captions.push_back(item.caption);
    if (item.checked) checked.push_back(item.caption);
  }
  EXPECT_EQ(captions,
            (std::vector<std::string>{"&Integer round [+,-]: 5", "1-2-5 &Pattern", "highdigit[+,-]",
                                      "To Lowest value", "To Highest value", "cancel"}));
  EXPECT_EQ(checked, std::vector<std::string>{"&Integer round [+,-]: 5"});
}

}  // namespace
}  // namespace vireon
