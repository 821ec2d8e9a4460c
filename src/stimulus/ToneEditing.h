#pragma once

#include <cstddef>
#include <string_view>

#include "stimulus/ToneSet.h"

namespace vireon {

// Editing one field of a tone-list component in the units the component editor shows: degrees
// for the phase of a periodic component (a sample position for a step or an impulse), percent for
// the duty.

enum class ToneField { kType, kFrequency, kAmplitude, kPhase, kDuty };
inline constexpr int kToneFieldCount = 5;

std::string_view ToneFieldCaption(ToneField field);  // the grid's column caption
std::string_view ToneKindName(std::int32_t kind);    // "Sine" ... "Triangle", "" when unknown

struct ToneFieldRange {
  double min;
  double max;
};
ToneFieldRange FieldRange(ToneField field);

// True for the kinds whose phase is a position in samples.
bool IsPositional(std::int32_t kind);

double ShownFieldValue(const TSinePars& component, ToneField field);

// Sets a field from an entered value (limited to the field's range) and recomputes Omega. An
// index one past the end first appends the default component, a 1000 Hz sine of amplitude 0.5.
void SetToneField(SineParsArray& list, std::size_t index, ToneField field, double value,
                  int play_rate);

// Deletes a component and closes the gap; an index past the end changes nothing.
void RemoveComponent(SineParsArray& list, std::size_t index);

}  // namespace vireon
