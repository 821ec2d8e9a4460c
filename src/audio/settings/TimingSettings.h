#pragma once

#include <span>
#include <string_view>

namespace vireon {

// Timing values of the streaming engine that the configuration files keep. The stabilizing time
// and the converter latencies belong to the devices (TDeviceCal).
struct TimingSettings {
  int adc_lpf_delay = 56;           // samples: the converter's anti-aliasing filter delay
  double latency_48k_s = 0.05;      // "Latency48k": round trip of the card, sizes the sync code
  double buffer_length_s = 0.17;    // "BufferLengthMME": nominal block duration
  int driver_max_buffer = 32767;    // "DriverMaxBuffer", bytes
  int timer_thread_priority = 4;    // "TimerThreadPriority": 1 lowest .. 6 time-critical
  int overall_priority = 1;         // "OverallPriority": 1 normal, 2 high
  int pulse_out_height_db = -9;     // "PulseOutHeight": sync code level, (this - 40) dB re FS
  double line_frequency_hz = 60.0;  // "LineFrequency": mains frequency for period alignment
};

// The small numeric editor each timing menu item opens.
struct NumericEditorSpec {
  std::string_view caption;
  std::string_view help;
  double min;
  double max;
  double step;
  std::string_view menu_item;  // the window's menu item that opens the editor
  bool whole_numbers;          // samples and bytes
};

enum class TimingEditor {
  kStabilizingTime,  // seconds in the editor, kept in ms
  kDacLatency,
  kAdcLatency,
  kAdcLpfDelay,
  kRecordPlayLatency,
  kBufferLength,
  kDriverMaxBuffer,
};

const NumericEditorSpec& EditorSpec(TimingEditor editor);
std::span<const TimingEditor> TimingEditors();  // in menu order

}  // namespace vireon
