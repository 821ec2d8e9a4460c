#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "record/RecordDefaults.h"

namespace vireon {

// The identity and display part of a column, without values.
struct TFieldInitType {
  std::string Name;
  std::uint8_t ShowAsDb = 0;
  double PerDiv = 0.0;
  double RefValue = 0.0;
  std::string Units;
  std::int32_t RefDiv = 0;
  std::uint8_t Flag = 0;  // carried by the presets, read by nobody
};

// A record's display state for one class of data.
struct TDefaultSettings {
  std::string Title;
  double RefScale = 1.0;
  std::string SubTitle;
  std::array<float, 5> MarkerX{};
  double ViewStart = 0.0;
  double ViewStop = 0.0;
  double StartTime = 0.0;
  double EndX = 0.0;
  std::uint8_t LogX = 0;
  std::int32_t NumDivisions = 0;
  std::array<TFieldInitType, 5> Columns;
  float SpareDouble1 = 0.0f;
  std::int32_t TraceA = -1;
  std::int32_t TraceB = -1;
};

// The three presets. Only the time preset depends on a program-wide value ("TimeLogMagDef").
TDefaultSettings TimePreset(const RecordDefaults& defaults);
TDefaultSettings FrequencyPreset();
TDefaultSettings ImpedancePreset();

}  // namespace vireon
