#include "audio/settings/AudioSettingsConfig.h"

#include "audio/settings/InputDesignation.h"
#include "audio/settings/RateTable.h"

namespace vireon {

namespace {

constexpr std::string_view kSoundcards = "Soundcards";

int FastestRate() { return RateTable().front().rate; }

}  // namespace

void BindAudioSettings(ConfigBindings& software, ConfigBindings& hardware,
                       SoundcardSettings& soundcards, TimingSettings& timing) {
  const NumericEditorSpec& buffer_length = EditorSpec(TimingEditor::kBufferLength);
  const NumericEditorSpec& max_buffer = EditorSpec(TimingEditor::kDriverMaxBuffer);
  hardware.Bind(kSoundcards, "DriverMaxBuffer", timing.driver_max_buffer,
                static_cast<int>(max_buffer.min), static_cast<int>(max_buffer.max));
  hardware.Bind(kSoundcards, "BufferLengthMME", timing.buffer_length_s, buffer_length.min,
                buffer_length.max);
  hardware.Bind(kSoundcards, "DPLayDevName", soundcards.playback_device_name);
  hardware.Bind(kSoundcards, "WAVE_EXT", soundcards.wave_extensible);
  hardware.Bind(kSoundcards, "RecDevName", soundcards.record_device_name);
  hardware.Bind(kSoundcards, "PlayDevName", soundcards.play_device_name);
  hardware.Bind(kSoundcards, "AllowSepAD", soundcards.allow_separate_ad);
  hardware.Bind(kSoundcards, "AllowDiffRes", soundcards.allow_different_resolution);
  hardware.Bind(kSoundcards, "AllowDiffRates", soundcards.allow_different_rates);
  hardware.Bind(kSoundcards, "PlayRate", soundcards.play_rate, 1, FastestRate());
  hardware.Bind(kSoundcards, "RecRate", soundcards.record_rate, 1, FastestRate());
  hardware.Bind(kSoundcards, "PlayResolution", soundcards.play_bits, 16, 24);
  hardware.BindInteger(
      kSoundcards, "RecResolution",
      [&soundcards] {
        return soundcards.RecordBitsFollowPlay() ? soundcards.play_bits : soundcards.record_bits;
      },
      [&soundcards](int bits) { soundcards.record_bits = bits; }, 16, 24);
  hardware.Bind(kSoundcards, "SkipCalibration", soundcards.skip_calibration);
  software.Bind("VireonSystem", "Ch1_Input_Select", soundcards.input1_designation, 0,
                kInputDesignationCount - 1);
  software.Bind("VireonSystem", "Ch2_Input_Select", soundcards.input2_designation, 0,
                kInputDesignationCount - 1);

  software.Bind("Priority", "TimerThreadPriority", timing.timer_thread_priority, 1, 6);
  software.Bind("Priority", "OverallPriority", timing.overall_priority, 1, 2);
  software.Bind("InputSourceGainSettings", "PulseOutHeight", timing.pulse_out_height_db, -100, 40);
  const NumericEditorSpec& latency = EditorSpec(TimingEditor::kRecordPlayLatency);
  software.Bind("V2 Parameters", "Latency48k", timing.latency_48k_s, latency.min, latency.max);
  software.Bind("V2 Parameters", "LineFrequency", timing.line_frequency_hz, 30.0, 400.0);
}

}  // namespace vireon
