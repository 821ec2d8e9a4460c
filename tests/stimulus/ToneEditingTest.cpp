// Editing tone-list components field by field, and composing and checking step list files.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "stimulus/StepListEditing.h"
#include "stimulus/StepListFile.h"
#include "stimulus/ToneEditing.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kRate = 48000;

TEST(ToneEditingTest, FieldsAreStoredInTheComponentsUnits) {
  struct Case {
    ToneField field;
    double entered;
    double TSinePars::*stored;
    double expected;
  };
  const Case cases[] = {
      {ToneField::kPhase, 270.0, &TSinePars::Phase, -kPi / 2},  // wrapped into (-180, 180]
      {ToneField::kPhase, -180.0, &TSinePars::Phase, kPi},
      {ToneField::kPhase, 45.0, &TSinePars::Phase, kPi / 4},
      {ToneField::kPhase, 400.0, &TSinePars::Phase, 0.0},  // limited to 360 first
      {ToneField::kDuty, 25.0, &TSinePars::Duty, 0.25},
      {ToneField::kDuty, 130.0, &TSinePars::Duty, 1.0},
      {ToneField::kAmplitude, 1.5, &TSinePars::Amplitude, 1.0},
      {ToneField::kAmplitude, 0.125, &TSinePars::Amplitude, 0.125},
      {ToneField::kFrequency, 0.01, &TSinePars::Frequency, 0.1},
      {ToneField::kFrequency, 500000.0, &TSinePars::Frequency, 384000.0},
  };
  for (const Case& c : cases) {
    SineParsArray list;
    AddComponent(list, ToneKind::kSine, 0.5, 1.0, 0.5, 1000.0, kRate);
    SetToneField(list, 0, c.field, c.entered, kRate);
    EXPECT_NEAR(list[0].*c.stored, c.expected, 1e-12)
        << ToneFieldCaption(c.field) << " " << c.entered;
    EXPECT_NEAR(ShownFieldValue(list[0], c.field),
                c.field == ToneField::kPhase  ? c.expected * 180.0 / kPi
                : c.field == ToneField::kDuty ? c.expected * 100.0
                                              : c.expected,
                1e-9);
  }
}

TEST(ToneEditingTest, EditingThePlaceAfterTheLastAppendsADefaultComponent) {
  SineParsArray list;
  SetToneField(list, 0, ToneField::kFrequency, 440.0, kRate);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Kind, 0);
  EXPECT_EQ(list[0].Frequency, 440.0);
  EXPECT_EQ(list[0].Amplitude, 0.5);
  EXPECT_EQ(list[0].Phase, 0.0);
  EXPECT_EQ(list[0].Duty, 0.5);
  EXPECT_NEAR(list[0].Omega, 2 * kPi * 440.0 / kRate, 1e-15);

  SetToneField(list, 1, ToneField::kType, 1.0, kRate);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Kind, 1);
  EXPECT_EQ(list[1].Frequency, 1000.0);

  SetToneField(list, 5, ToneField::kFrequency, 100.0, kRate);  // beyond the place for a new one
  EXPECT_EQ(list.size(), 2u);
}

TEST(ToneEditingTest, StepAndImpulsePositionsStayInSamples) {
  SineParsArray list;
  AddComponent(list, ToneKind::kStep, 0.5, 0.0, 0.5, 1000.0, kRate);
  SetToneField(list, 0, ToneField::kPhase, 100.0, kRate);
  EXPECT_EQ(list[0].Phase, 100.0);
  EXPECT_EQ(ShownFieldValue(list[0], ToneField::kPhase), 100.0);
}

TEST(ToneEditingTest, RemovingClosesTheGap) {
  SineParsArray list;
  for (const double f : {100.0, 200.0, 300.0}) {
    AddComponent(list, ToneKind::kSine, 0.5, 0, 0.1, f, kRate);
  }
  RemoveComponent(list, 1);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].Frequency, 300.0);
  RemoveComponent(list, 2);
  EXPECT_EQ(list.size(), 2u);
}

TEST(StepListEditingTest, ComposedTextReadsBackAsTheSteps) {
  // "/" takes the place of a number of its own.
  const std::string text = StepListText("FA/FA", "1000 0.25 0 2000 0.5\n\n3000 0.5 0 4000 2\r\n");
  EXPECT_EQ(text, "#FA/FA\r\n1000 0.25 0 2000 0.5\r\n\r\n3000 0.5 0 4000 2\r\n");
  StepListFile file(text);
  const auto first = file.NextLine(kRate);
  ASSERT_TRUE(first);
  ASSERT_EQ(first->p.size(), 1u);
  ASSERT_EQ(first->q.size(), 1u);
  EXPECT_EQ(first->p[0].Frequency, 1000.0);
  EXPECT_EQ(first->p[0].Amplitude, 0.25);
  EXPECT_EQ(first->q[0].Frequency, 2000.0);
  const auto second = file.NextLine(kRate);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->q[0].Amplitude, 1.0);  // 2 alone on channel 2: normalised by its sum
  EXPECT_FALSE(file.NextLine(kRate));

  const StepListParts parts = SplitStepListText(text);
  EXPECT_EQ(parts.format, "FA/FA");
  EXPECT_EQ(StepListText(parts.format, parts.step_lines), text);
  EXPECT_EQ(StepListText("", "1000"), "1000\r\n");
}

TEST(StepListEditingTest, CheckCountsTheStepsPlayedAndTheLines) {
  struct Case {
    const char* text;
    const char* format;
    int steps;
    int lines;
  };
  const Case cases[] = {
      {"1000 2000\n500\n", "", 2, 2},
      {"#f a\n1000 0.5\n\n2000 x\n3000\n", "FA", 1, 3},  // the third line stops the steps
      {"#amp\n1000\n", "", 1, 1},                        // a format not starting with F
      {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    const StepListCheck check = CheckStepList(c.text);
    EXPECT_EQ(check.format, c.format) << c.text;
    EXPECT_EQ(check.steps, c.steps) << c.text;
    EXPECT_EQ(check.lines, c.lines) << c.text;
  }
}

}  // namespace
}  // namespace vireon
