#include "measure/AcquisitionConfig.h"

#include <array>
#include <limits>
#include <string>

#include "config/ConfigKeys.h"
#include "measure/AcquisitionTypes.h"
#include "record/Averaging.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

constexpr std::string_view kSystem = "VireonSystem";
constexpr int kLastWindowCode = 15;

// A value limited by one of the acquisition window's limit functions; the binding's range is
// what the function makes of the extremes, so a `--set` outside the window's range is refused.
template <typename Limit>
void BindLimited(ConfigBindings& software, std::string_view section, std::string_view key,
                 int& value, Limit limit) {
  software.BindInteger(
      section, key, [&value] { return value; },
      [&value, limit](int read) { value = static_cast<int>(limit(read)); },
      static_cast<int>(limit(std::numeric_limits<int>::min())),
      static_cast<int>(limit(std::numeric_limits<int>::max())));
}

void BindLimited(ConfigBindings& software, std::string_view section, std::string_view key,
                 double& value, double (*limit)(double)) {
  software.BindFloat(
      section, key, [&value] { return value; },
      [&value, limit](double read) { value = limit(read); },
      limit(std::numeric_limits<double>::lowest()), limit(std::numeric_limits<double>::max()));
}

// One flag of an auto-stop mode. Setting it selects the mode; clearing it turns the mode off
// only while that mode is selected, so the two flags written for any mode read back to that mode
// in either order.
void BindAutoStopFlag(ConfigBindings& software, std::string_view section, std::string_view key,
                      AutoStopMode& mode, AutoStopMode flagged) {
  software.BindBool(
      section, key, [&mode, flagged] { return mode == flagged; },
      [&mode, flagged](bool on) {
        if (on) {
          mode = flagged;
        } else if (mode == flagged) {
          mode = AutoStopMode::kOff;
        }
      });
}

template <typename Enum>
void BindEnum(ConfigBindings& software, std::string_view key, Enum& value, Enum last) {
  software.BindInteger(
      kSystem, key, [&value] { return static_cast<int>(value); },
      [&value](int read) { value = static_cast<Enum>(read); }, 0, static_cast<int>(last));
}

// "Acq Ch<n>: Hide tones from" "stim Ch1" and "stim Ch2", kept as bits 0 and 1 of one number.
void BindHiddenTones(ConfigBindings& software, std::string_view key, std::array<bool, 2>& from) {
  software.BindInteger(
      "V2 Parameters", key, [&from] { return (from[0] ? 1 : 0) | (from[1] ? 2 : 0); },
      [&from](int bits) {
        from[0] = (bits & 1) != 0;
        from[1] = (bits & 2) != 0;
      },
      0, 3);
}

void BindWindowCode(ConfigBindings& software, std::string_view key, std::uint8_t& code) {
  software.BindInteger(
      kSystem, key, [&code] { return static_cast<int>(code); },
      [&code](int read) { code = static_cast<std::uint8_t>(read); }, kNoWindow, kLastWindowCode);
}

// One group of a per-acquisition section; `suffix` is "" or "_S", and the flags "UseAvg" and
// "AutoStopOnTime" carry the section's number after it.
void BindGroup(ConfigBindings& software, const std::string& section, const std::string& suffix,
               int section_number, AcquisitionGroup& group) {
  const std::string number = std::to_string(section_number);
  software.Bind(section, "AverageType" + suffix, group.avg_type, kAverageLog, kAverageDecay);
  BindLimited(software, section, "FftSize" + suffix, group.fft_size, LimitFftSize);
  BindLimited(software, section, "AcqSize" + suffix, group.acq_size, LimitAcqSize);
  BindLimited(software, section, "AvgMax" + suffix, group.avg_target, LimitAvgTarget);
  BindAutoStopFlag(software, section, "AutoStop" + suffix, group.auto_stop, AutoStopMode::kAvgs);
  software.Bind(section, "UseAvg" + suffix + number, group.avg_on);
  BindAutoStopFlag(software, section, "AutoStopOnTime" + suffix + number, group.auto_stop,
                   AutoStopMode::kTimer);
}

void BindFormats(ConfigBindings& software, AcquisitionFormats& formats) {
  for (int n = 0; n < kAcqSectionCount; ++n) {
    AcquisitionFormat& record = formats.Record(AcqTypeOfItem(n));
    const std::string section = "AcqMode" + std::to_string(n);
    BindGroup(software, section, "", n, record.primary);
    BindLimited(software, section, "AverageLimit", record.rta_resolution, LimitRtaResolution);
    BindGroup(software, section, "_S", n, record.spectrum);
  }
}

void BindTrigger(ConfigBindings& software, AcquisitionTrigger& trigger) {
  BindEnum(software, "TrigPolarity", trigger.polarity, TriggerPolarity::kBoth);
  software.Bind(kSystem, "TrigChannel", trigger.channel, 0, 1);
  software.Bind(kSystem, "TrigPosPercent", trigger.position_percent, 1.0, 100.0);
  software.Bind(kSystem, "TrigThreshold", trigger.threshold, 1e-06, 1000.0);
  BindEnum(software, "TrigSlope", trigger.slope, TriggerSlope::kAny);
  software.Bind(kSystem, "FreeRunAfterTrig", trigger.free_run_after_trigger);
}

}  // namespace

void BindAcquisitionSettings(ConfigBindings& software, AcquisitionSettings& settings,
                             AcquisitionExtras& extras, AcquisitionFormats& formats) {
  const int last_stimulus_item = static_cast<int>(StimulusTypes().size()) - 1;
  software.Bind(kSystem, "Stimulus_Index", extras.stimulus_item, 0, last_stimulus_item);
  software.Bind(kSystem, "Acquisition_Index", extras.acquisition_item, 0,
                kAcquisitionItemCount - 1);
  software.Bind(kSystem, "UseMaxHold", settings.max_hold);
  software.Bind(kSystem, "UseMinHold", settings.min_hold);
  software.Bind(kSystem, "SpectrumNormalize", settings.normalize);
  software.Bind(kSystem, "FindWinEdgesEachAcq", settings.find_edges_each);
  BindTrigger(software, extras.trigger);
  BindLimited(software, kSystem, "AutoStopTime", settings.auto_stop_seconds, LimitAutoStopSeconds);
  BindAutoStopFlag(software, kSystem, "UseAutoStopTime", settings.auto_stop, AutoStopMode::kTimer);
  BindAutoStopFlag(software, kSystem, "UseAutoStopAvg", settings.auto_stop, AutoStopMode::kAvgs);
  software.Bind(kSystem, "ShouldCalcTotal1", extras.totals.channel1);
  software.Bind(kSystem, "ShouldCalcTotal2", extras.totals.channel2);
  software.Bind(kSystem, "CalcDisplayedFreqsOnly", extras.totals.displayed_freqs_only);
  software.Bind(kSystem, "ReferenceResistor", settings.reference_resistor, 0.1, 1000000.0);
  BindHiddenTones(software, "SpectrumHideStimulus1", settings.hide_tones[0]);
  BindHiddenTones(software, "SpectrumHideStimulus2", settings.hide_tones[1]);
  software.Bind("V2 Parameters", "HideLineBW", settings.hide_bandwidth_bins, 1, 100);
  BindWindowCode(software, "WndKindSync", extras.window_sync);
  BindWindowCode(software, "WndKindAsync", extras.window_async);
  BindFormats(software, formats);
}

}  // namespace vireon
