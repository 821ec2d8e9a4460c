#include "audio/settings/TimingEditorValues.h"

#include <algorithm>
#include <cmath>

namespace vireon {

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

}  // namespace

double TimingEditorValue(TimingEditor editor, const AudioInterfaceSettings& audio,
                         const TimingSettings& timing) {
  switch (editor) {
    case TimingEditor::kStabilizingTime:
      return audio.StabilizingTimeMs() / kMillisecondsPerSecond;
    case TimingEditor::kDacLatency:
      return audio.DeviceCal(WaveDirection::kPlay).latency;
    case TimingEditor::kAdcLatency:
      return audio.DeviceCal(WaveDirection::kRecord).latency;
    case TimingEditor::kAdcLpfDelay:
      return timing.adc_lpf_delay;
    case TimingEditor::kRecordPlayLatency:
      return timing.latency_48k_s;
    case TimingEditor::kBufferLength:
      return timing.buffer_length_s;
    case TimingEditor::kDriverMaxBuffer:
      return timing.driver_max_buffer;
  }
  return 0.0;
}

void SetTimingEditorValue(TimingEditor editor, double value, AudioInterfaceSettings& audio,
                          TimingSettings& timing) {
  if (std::isnan(value)) return;
  const NumericEditorSpec& spec = EditorSpec(editor);
  double limited = std::clamp(value, spec.min, spec.max);
  if (spec.whole_numbers) limited = std::round(limited);
  const int whole = static_cast<int>(limited);
  switch (editor) {
    case TimingEditor::kStabilizingTime:
      audio.SetStabilizingTime(limited * kMillisecondsPerSecond);
      return;
    case TimingEditor::kDacLatency:
      audio.SetLatency(whole, WaveDirection::kPlay);
      return;
    case TimingEditor::kAdcLatency:
      audio.SetLatency(whole, WaveDirection::kRecord);
      return;
    case TimingEditor::kAdcLpfDelay:
      timing.adc_lpf_delay = whole;
      return;
    case TimingEditor::kRecordPlayLatency:
      timing.latency_48k_s = limited;
      return;
    case TimingEditor::kBufferLength:
      timing.buffer_length_s = limited;
      return;
    case TimingEditor::kDriverMaxBuffer:
      timing.driver_max_buffer = whole;
      return;
  }
}

}  // namespace vireon
