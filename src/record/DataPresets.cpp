#include "record/DataPresets.h"

namespace vireon {
namespace {

// The frequency-like presets share their axis; they differ in title, scale, markers and columns.
TDefaultSettings FrequencyAxisPreset(std::string title, double ref_scale, float marker_step,
                                     float first_marker) {
  TDefaultSettings preset;
  preset.Title = std::move(title);
  preset.RefScale = ref_scale;
  for (std::size_t i = 0; i < preset.MarkerX.size(); ++i) {
    preset.MarkerX[i] = first_marker + marker_step * static_cast<float>(i);
  }
  preset.ViewStart = 20.0;
  preset.ViewStop = 400000.0;
  preset.StartTime = 1.0;
  preset.EndX = 400000.0;
  preset.LogX = 1;
  preset.NumDivisions = 8;
  for (TFieldInitType& column : preset.Columns) column.Flag = 1;
  return preset;
}

// Columns 1 and 3 hold magnitudes, 2 and 4 phases.
void SetMagnitudePhaseColumns(TDefaultSettings& preset, const TFieldInitType& magnitude,
                              const TFieldInitType& phase) {
  preset.Columns[1] = preset.Columns[3] = magnitude;
  preset.Columns[2] = preset.Columns[4] = phase;
}

}  // namespace

TDefaultSettings TimePreset(const RecordDefaults& defaults) {
  TDefaultSettings preset;
  preset.Title = "Time Domain Data";
  preset.RefScale = 1.0;
  preset.MarkerX = {0.005f, 0.010f, 0.015f, 0.000001f, 0.01f};
  preset.ViewStart = 0.0;
  preset.ViewStop = 0.025;
  preset.StartTime = 0.000001;
  preset.EndX = 0.025;
  preset.LogX = 0;
  preset.NumDivisions = 8;
  for (TFieldInitType& column : preset.Columns) {
    column.ShowAsDb = defaults.TimeLogMagDef;
    column.PerDiv = 0.1;
    column.RefValue = 0.0;
    column.RefDiv = 4;
  }
  preset.Columns[0].Name = "Time Domain[A]";
  preset.Columns[1].Name = "Time Domain[B]";
  preset.TraceA = 0;
  preset.TraceB = -1;
  return preset;
}

TDefaultSettings FrequencyPreset() {
  TDefaultSettings preset = FrequencyAxisPreset("Frequency Domain Data", 1.0, 1000.0f, 1000.0f);
  SetMagnitudePhaseColumns(preset, {"dB", 1, 20.0, 0.0, "", 7, 1},
                           {"\xB0", 0, 45.0, 180.0, "", 8, 1});
  preset.TraceA = 1;
  preset.TraceB = -1;
  return preset;
}

TDefaultSettings ImpedancePreset() {
  TDefaultSettings preset = FrequencyAxisPreset("Impedance Data", 10.0, 0.0f, 20.0f);
  SetMagnitudePhaseColumns(preset, {"Ohm", 0, 20.0, 50.0, "", 0, 1},
                           {"\xB0", 0, 90.0, 180.0, "", 4, 1});
  preset.TraceA = 1;
  preset.TraceB = 2;
  return preset;
}

}  // namespace vireon
