#include "audio/settings/TimingSettings.h"

#include <array>

namespace vireon {

namespace {

constexpr std::array<TimingEditor, 7> kEditors = {
    TimingEditor::kStabilizingTime, TimingEditor::kDacLatency,        TimingEditor::kAdcLatency,
    TimingEditor::kAdcLpfDelay,     TimingEditor::kRecordPlayLatency, TimingEditor::kBufferLength,
    TimingEditor::kDriverMaxBuffer,
};

// Ranges the menu items leave open are kept wide enough for any card, yet finite.
constexpr std::array<NumericEditorSpec, 7> kSpecs = {{
    {"DAC Stabilization",
     "This time is used to allow the DAC output to recover from any startup transients that may "
     "occur when a new acquisition is started.  Typical values range from 0.1 to 1.0 seconds.",
     0.1, 1.5, 0.01, "Stabilizing Time...", false},
    {"DAC Latency",
     "Used only in Asynchronous measurements.  This is the minimum number of samples delay "
     "anticipated between when digital data is provided by the operating system and when it can "
     "appear at the analog output.  Typical value: 100.",
     0, 100000, 1, "DAC Latency...", true},
    {"ADC Latency",
     "Used only in Asynchronous measurements.  This is the minimum number of samples delay "
     "anticipated between when an analog signal is input and when digital data is provided to "
     "the operating system.  Typical value: 100.",
     0, 100000, 1, "ADC Latency...", true},
    {"ADC LPF delay", "", 10, 10000, 1, "ADC LPF delay", true},
    {"R/P Latency of soundcard",
     "Use to determine optimum synchronization parameters for synch type stimuli.\r"
     "Typical = 50m[sec]",
     0.0, 0.2, 0.001, "R/P 48kHz Latency", false},
    {"BufferLength for MME drivers", "", 0.01, 10.0, 0.01, "BufferLength(MME)", false},
    {"Maximum buffer size allwed by Windows drivers",
     "Buffer size limit tolerated by the MME buffer (for Win2k+).\r"
     "Older (or low grade soundcard) drivers may freeze Windows audio if\r"
     "values above 32767 are used.  But operation is more reliable at 65535.",
     1024, 131072, 1, "DriverMaxBuffer", true},
}};

}  // namespace

const NumericEditorSpec& EditorSpec(TimingEditor editor) {
  return kSpecs[static_cast<std::size_t>(editor)];
}

std::span<const TimingEditor> TimingEditors() { return kEditors; }

}  // namespace vireon
