#include "stimulus/ToneEditing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vireon {

namespace {

constexpr std::array<std::string_view, kToneFieldCount> kCaptions = {
    "Type", "Frequency [Hz]", "Amplitude [*]", "Phase [deg]", "DutyCy [%]"};
constexpr std::array<std::string_view, 5> kKindNames = {"Sine", "Square", "Step", "Impulse",
                                                        "Triangle"};
constexpr std::array<ToneFieldRange, kToneFieldCount> kRanges = {{
    {0.0, 4.0},       // a ToneKind
    {0.1, 384000.0},  // Hz
    {0.0, 1.0},       // fraction of full scale
    {-360.0, 360.0},  // degrees
    {0.0, 100.0},     // percent
}};

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

std::size_t Index(ToneField field) { return static_cast<std::size_t>(field); }

}  // namespace

std::string_view ToneFieldCaption(ToneField field) { return kCaptions[Index(field)]; }

std::string_view ToneKindName(std::int32_t kind) {
  if (kind < 0 || static_cast<std::size_t>(kind) >= kKindNames.size()) return {};
  return kKindNames[static_cast<std::size_t>(kind)];
}

ToneFieldRange FieldRange(ToneField field) { return kRanges[Index(field)]; }

bool IsPositional(std::int32_t kind) {
  return kind == static_cast<std::int32_t>(ToneKind::kStep) ||
         kind == static_cast<std::int32_t>(ToneKind::kImpulse);
}

double ShownFieldValue(const TSinePars& component, ToneField field) {
  switch (field) {
    case ToneField::kType:
      return component.Kind;
    case ToneField::kFrequency:
      return component.Frequency;
    case ToneField::kAmplitude:
      return component.Amplitude;
    case ToneField::kPhase:
      return IsPositional(component.Kind) ? component.Phase : component.Phase * kDegreesPerRadian;
    case ToneField::kDuty:
      return component.Duty * 100.0;
  }
  return 0.0;
}

void SetToneField(SineParsArray& list, std::size_t index, ToneField field, double value,
                  int play_rate) {
  if (index > list.size() || !std::isfinite(value)) return;
  if (index == list.size()) AddComponent(list, ToneKind::kSine, 0.5, 0.0, 0.5, 1000.0, play_rate);
  const ToneFieldRange range = FieldRange(field);
  value = std::clamp(value, range.min, range.max);
  TSinePars& component = list[index];
  switch (field) {
    case ToneField::kType:
      component.Kind = static_cast<std::int32_t>(std::nearbyint(value));
      break;
    case ToneField::kFrequency:
      component.Frequency = value;
      break;
    case ToneField::kAmplitude:
      component.Amplitude = value;
      break;
    case ToneField::kPhase:
      component.Phase = IsPositional(component.Kind) ? value : WrapPhase(value / kDegreesPerRadian);
      break;
    case ToneField::kDuty:
      component.Duty = value / 100.0;
      break;
  }
  SetToneRate(list, play_rate);
}

void RemoveComponent(SineParsArray& list, std::size_t index) {
  if (index < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace vireon
