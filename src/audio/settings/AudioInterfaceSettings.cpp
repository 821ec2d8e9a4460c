#include "audio/settings/AudioInterfaceSettings.h"

#include <algorithm>

#include "audio/settings/DeviceIndexFile.h"
#include "common/NumberText.h"
#include "stimulus/OutputGain.h"

namespace vireon {

namespace {

// No system mixer belongs to a wave device on this platform.
constexpr int kNoMixerNumber = -1;
constexpr std::string_view kNoMixerName = "";

constexpr int kProbeBits = 16;
// 24-bit resolution is offered where the device takes it at the common rate.
constexpr int kResolutionProbeRate = 48000;
// Cards that take this format have a digital twin device.
constexpr int kDigitalProbeRate = 192000;

// The stabilizing time before any play device is chosen, and after choosing one without a file.
constexpr double kUnchosenStabilizingMs = 900.0;
constexpr double kResetStabilizingMs = 100.0;
constexpr int kResetLatency = 100;

bool IsPlay(WaveDirection direction) { return direction == WaveDirection::kPlay; }

int RateAt(int index) { return RateTable()[static_cast<std::size_t>(index)].rate; }

}  // namespace

AudioInterfaceSettings::AudioInterfaceSettings(WaveDriver& driver,
                                               std::filesystem::path data_directory,
                                               SettingsLog log)
    : driver_(driver), data_directory_(std::move(data_directory)), log_(std::move(log)) {
  play_.cal.stabilizing_ms = kUnchosenStabilizingMs;
  ListWavDevices();
  Rebuild();
}

void AudioInterfaceSettings::ListWavDevices() {
  for (Side* side : {&play_, &record_}) {
    side->devices = driver_.DeviceNames(side->direction);
    for (std::string& name : side->devices) {
      if (name.empty()) name = "ERROR!";
    }
    const auto found = std::find(side->devices.begin(), side->devices.end(), side->name);
    side->device =
        found == side->devices.end() ? -1 : static_cast<int>(found - side->devices.begin());
  }
  Log("ListWavDevices", "Finished Procedure.");
}

bool AudioInterfaceSettings::RefreshDevicesIfChanged() {
  if (driver_.DeviceNames(WaveDirection::kPlay).size() == play_.devices.size() &&
      driver_.DeviceNames(WaveDirection::kRecord).size() == record_.devices.size()) {
    return false;
  }
  RelistDevices();
  return true;
}

void AudioInterfaceSettings::RelistDevices() {
  const std::string play_name = play_.name;
  const std::string record_name = record_.name;
  ListWavDevices();
  SelectDAC(play_name);
  SelectADC(record_name);
}

bool AudioInterfaceSettings::SelectDAC(std::string_view name) { return Select(play_, name); }
bool AudioInterfaceSettings::SelectADC(std::string_view name) { return Select(record_, name); }

bool AudioInterfaceSettings::Select(Side& side, std::string_view name) {
  const bool play = IsPlay(side.direction);
  const std::string_view step = play ? "SelectDAC" : "SelectADC";
  Log(step, "Name = " + std::string(name));
  const auto found = std::find(side.devices.begin(), side.devices.end(), name);
  side.cal = TDeviceCal{};
  side.has_file = false;
  side.use_digital = false;  // the digital twins belong to the card chosen before
  side.digital_name.clear();
  if (side.devices.empty()) {
    side.device = -1;
    side.name.clear();
    side.available.fill(false);
    side.offers_24 = false;
    side.digital_capable = false;
    Rebuild();
    return false;
  }
  side.device = found == side.devices.end() ? 0 : static_cast<int>(found - side.devices.begin());
  side.name = side.devices[static_cast<std::size_t>(side.device)];
  Log(step, (play ? "PlayDevNum = " : "RecDevNum = ") + FormatInt(side.device));
  Log(step, (play ? "PlayDevName = " : "RecDevName = ") + side.name);
  if (play) side.cal.stabilizing_ms = kResetStabilizingMs;
  side.cal.latency = kResetLatency;
  LoadDeviceFile(side, step);
  side.digital_capable = Accepts(side, kDigitalProbeRate, 24);
  (play ? soundcards_.play_device_name : soundcards_.record_device_name) = side.name;
  Rebuild();
  return found != side.devices.end();
}

std::filesystem::path AudioInterfaceSettings::DeviceFile(const Side& side) const {
  return DeviceCalFilePath(data_directory_, side.direction, side.name, kNoMixerName);
}

void AudioInterfaceSettings::LoadDeviceFile(Side& side, std::string_view step) {
  const bool play = IsPlay(side.direction);
  const std::string key = play ? "PDevFileName" : "RDevFileName";
  const std::filesystem::path file = DeviceFile(side);
  Log(step, key + " = " + file.string());
  Log(step, "MixerNum = " + FormatInt(kNoMixerNumber));
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    Log(step,
        key + (play ? " does not exist. Using defaults" : " does not exist. Using defaults."));
    ProbeDevice(side);
    return;
  }
  Log(step, key + " exists.");
  const std::optional<TDeviceCal> cal = ReadDeviceCalFile(file);
  if (!cal) {
    Log(step, "Could not set mixer settings.");
    ProbeDevice(side);
    return;
  }
  Log(step, "Set mixer settings.");
  side.cal = *cal;
  side.cal.mixer_number = kNoMixerNumber;
  side.has_file = true;
  // The file's flags cover the rates down to 32000 Hz; the slower ones need only the driver's word.
  for (int i = 0; i < kRateCount; ++i) {
    const bool file_allows = i >= kFileRateCount || cal->rate_flags[static_cast<std::size_t>(i)];
    side.available[static_cast<std::size_t>(i)] =
        file_allows && Accepts(side, RateAt(i), kProbeBits);
  }
  side.offers_24 = cal->bits >= 24 && Accepts(side, kResolutionProbeRate, 24);
}

void AudioInterfaceSettings::ProbeDevice(Side& side) {
  for (int i = 0; i < kRateCount; ++i) {
    side.available[static_cast<std::size_t>(i)] = Accepts(side, RateAt(i), kProbeBits);
  }
  side.offers_24 = Accepts(side, kResolutionProbeRate, 24);
  // What was found is what a file written later for this device keeps.
  std::copy_n(side.available.begin(), kFileRateCount, side.cal.rate_flags.begin());
  side.cal.bits = side.offers_24 ? 24 : 16;
}

bool AudioInterfaceSettings::Accepts(const Side& side, int rate, int bits) const {
  return side.device >= 0 &&
         driver_.QueryFormat(side.direction, side.device, WaveFormat{rate, bits}) == kMmNoError;
}

void AudioInterfaceSettings::SaveDeviceFile(Side& side) {
  if (side.device < 0) return;
  WriteDeviceCalFile(DeviceFile(side), side.cal);
  side.has_file = true;
}

std::optional<std::string> AudioInterfaceSettings::MatchingRecordDevice(
    std::string_view play_name) const {
  const auto found = std::find(record_.devices.begin(), record_.devices.end(), play_name);
  if (found == record_.devices.end()) return std::nullopt;
  return *found;
}

std::optional<std::string> AudioInterfaceSettings::SelectMatchingRecordDevice() {
  if (play_.device < 0) return std::nullopt;
  if (const std::optional<std::string> match = MatchingRecordDevice(play_.name)) {
    SelectADC(*match);
    return std::nullopt;
  }
  soundcards_.allow_separate_ad = true;
  Rebuild();
  return play_.name + " has no matching A/D device";
}

std::optional<std::string> AudioInterfaceSettings::ChoosePlayDevice(std::string_view name) {
  SelectDAC(name);
  if (soundcards_.allow_separate_ad) return std::nullopt;
  return SelectMatchingRecordDevice();
}

std::optional<std::string> AudioInterfaceSettings::SetAllowSeparateAD(bool allow) {
  soundcards_.allow_separate_ad = allow;
  if (!allow) return SelectMatchingRecordDevice();
  Rebuild();
  return std::nullopt;
}

void AudioInterfaceSettings::SetAllowDifferentRates(bool allow) {
  soundcards_.allow_different_rates = allow;
  Rebuild();
}

void AudioInterfaceSettings::SetAllowDifferentResolution(bool allow) {
  soundcards_.allow_different_resolution = allow;
  Rebuild();
}

std::optional<std::string> AudioInterfaceSettings::ApplySoundcards() {
  const SoundcardSettings wanted = soundcards_;
  SelectDAC(wanted.play_device_name);
  std::optional<std::string> message;
  if (wanted.allow_separate_ad) {
    SelectADC(wanted.record_device_name);
  } else {
    message = SelectMatchingRecordDevice();
  }
  // Each selection fits the rates and resolutions to the devices current at that moment (the
  // record device still the old one while the play device changes); fit the loaded ones to both.
  soundcards_.play_rate = wanted.play_rate;
  soundcards_.record_rate = wanted.record_rate;
  soundcards_.play_bits = wanted.play_bits;
  soundcards_.record_bits = wanted.record_bits;
  Rebuild();
  return message;
}

int AudioInterfaceSettings::SelectRate(int rate, WaveDirection direction) {
  if (IsPlay(direction) || soundcards_.RecordRateFollowsPlay()) {
    soundcards_.play_rate = rate;
  } else {
    soundcards_.record_rate = rate;
  }
  Rebuild();
  return RateIndex(direction);
}

void AudioInterfaceSettings::SelectResolution(int bits, WaveDirection direction) {
  if (IsPlay(direction) || soundcards_.RecordBitsFollowPlay()) {
    soundcards_.play_bits = bits;
  } else {
    soundcards_.record_bits = bits;
  }
  Rebuild();
}

OutputLevels OutputLevelsOf(const StimulusSettings& stimulus) {
  return {stimulus.output1_db, stimulus.output2_db, stimulus.output1_enabled,
          stimulus.output2_enabled};
}

void AudioInterfaceSettings::SetOutputLevels(const OutputLevels& levels) {
  levels_ = levels;
  Rebuild();
}

void AudioInterfaceSettings::SetInputDesignations(int input1_list_index, int input2_list_index) {
  soundcards_.input1_designation = input1_list_index;
  soundcards_.input2_designation = input2_list_index;
  Rebuild();
}

void AudioInterfaceSettings::SetStabilizingTime(double milliseconds) {
  play_.cal.stabilizing_ms = std::max(0.0, milliseconds);
  SaveDeviceFile(play_);
}

void AudioInterfaceSettings::SetLatency(int samples, WaveDirection direction) {
  Side& side = SideOf(direction);
  side.cal.latency = samples;
  SaveDeviceFile(side);
}

void AudioInterfaceSettings::Rebuild() {
  play_.rate_index = vireon::SelectRate(soundcards_.play_rate, play_.available);
  if (play_.rate_index >= 0) soundcards_.play_rate = RateAt(play_.rate_index);
  if (soundcards_.RecordRateFollowsPlay()) {
    record_.rate_index = play_.rate_index;
    soundcards_.record_rate = soundcards_.play_rate;
  } else {
    record_.rate_index = vireon::SelectRate(soundcards_.record_rate, record_.available);
    if (record_.rate_index >= 0) soundcards_.record_rate = RateAt(record_.rate_index);
  }
  ready_ = play_.rate_index >= 0 && record_.rate_index >= 0;

  soundcards_.play_bits = soundcards_.play_bits >= 24 && play_.offers_24 ? 24 : 16;
  const int record_bits =
      soundcards_.RecordBitsFollowPlay() ? soundcards_.play_bits : soundcards_.record_bits;
  soundcards_.record_bits = record_bits >= 24 && record_.offers_24 ? 24 : 16;

  settings_.PlayRate = soundcards_.play_rate;
  settings_.RecRate = soundcards_.record_rate;
  settings_.PlayBits = soundcards_.play_bits;
  settings_.RecBits = soundcards_.record_bits;
  settings_.InSel1 = soundcards_.input1_designation;
  settings_.InSel2 = soundcards_.input2_designation;
  const TDeviceCal& cal = play_.cal;
  settings_.Gain1 = OutputGain(
      {levels_.level1_db, levels_.enabled1, double(cal.maximum_code), cal.scale1, cal.scale2});
  settings_.Gain2 = OutputGain(
      {levels_.level2_db, levels_.enabled2, double(cal.maximum_code), cal.scale2, cal.scale1});
}

void AudioInterfaceSettings::Log(std::string_view step, std::string_view text) const {
  if (log_) log_(step, text);
}

const std::vector<std::string>& AudioInterfaceSettings::Devices(WaveDirection direction) const {
  return SideOf(direction).devices;
}
int AudioInterfaceSettings::DeviceNumber(WaveDirection direction) const {
  return SideOf(direction).device;
}
const std::string& AudioInterfaceSettings::DeviceName(WaveDirection direction) const {
  return SideOf(direction).name;
}
const TDeviceCal& AudioInterfaceSettings::DeviceCal(WaveDirection direction) const {
  return SideOf(direction).cal;
}
bool AudioInterfaceSettings::HasDeviceFile(WaveDirection direction) const {
  return SideOf(direction).has_file;
}
const RateAvailability& AudioInterfaceSettings::Availability(WaveDirection direction) const {
  return SideOf(direction).available;
}
int AudioInterfaceSettings::RateIndex(WaveDirection direction) const {
  return SideOf(direction).rate_index;
}
bool AudioInterfaceSettings::Offers24Bits(WaveDirection direction) const {
  return SideOf(direction).offers_24;
}
bool AudioInterfaceSettings::DigitalCapable(WaveDirection direction) const {
  return SideOf(direction).digital_capable;
}

void AudioInterfaceSettings::SetDigitalDevices(std::string output_device,
                                               std::string input_device) {
  play_.digital_name = std::move(output_device);
  record_.digital_name = std::move(input_device);
}

std::optional<std::string> AudioInterfaceSettings::UseDigital(WaveDirection direction, bool use) {
  Side& side = SideOf(direction);
  const bool declared =
      side.digital_capable && !side.digital_name.empty() && side.digital_name != "NONE";
  if (use && !declared) {
    side.use_digital = false;
    return IsPlay(direction) ? "Digital Out device is not declared for this soundcard"
                             : "Digital Input device is not declared for this soundcard";
  }
  side.use_digital = use;
  return std::nullopt;
}

int AudioInterfaceSettings::StreamDeviceNumber(WaveDirection direction) const {
  const Side& side = SideOf(direction);
  if (!side.use_digital) return side.device;
  const auto found = std::find(side.devices.begin(), side.devices.end(), side.digital_name);
  return found == side.devices.end() ? -1 : static_cast<int>(found - side.devices.begin());
}

std::vector<MenuItem> AudioInterfaceSettings::DeviceMenu(WaveDirection direction) const {
  std::vector<MenuItem> items;
  if (IsPlay(direction)) {
    if (!HasDevices()) return {{"NO AUDIO CARDS", false, false}};
    for (std::size_t i = 0; i < play_.devices.size(); ++i) {
      const std::string& name = play_.devices[i];
      const bool checked = static_cast<int>(i) == play_.device;
      if (soundcards_.allow_separate_ad) {
        items.push_back({name, true, checked});
      } else {
        const std::optional<std::string> match = MatchingRecordDevice(name);
        items.push_back({match ? name + "->" + *match : name, match.has_value(), checked});
      }
    }
    return items;
  }
  if (record_.devices.empty()) return {{"NO ADC!", false, false}};
  for (std::size_t i = 0; i < record_.devices.size(); ++i) {
    items.push_back({record_.devices[i], true, static_cast<int>(i) == record_.device});
  }
  return items;
}

std::vector<MenuItem> AudioInterfaceSettings::RateMenu(WaveDirection direction) const {
  const Side& side = SideOf(direction);
  std::vector<MenuItem> items;
  for (int i = 0; i < kRateCount; ++i) {
    items.push_back({std::string(RateTable()[static_cast<std::size_t>(i)].caption),
                     side.available[static_cast<std::size_t>(i)], i == side.rate_index});
  }
  return items;
}

std::string AudioInterfaceSettings::PlayMenuCaption() const {
  if (play_.device < 0) return "No DAC!";
  if (soundcards_.allow_separate_ad) return "Dev = " + play_.name;
  return "Devs = " + play_.name + "->" + record_.name;
}

std::string AudioInterfaceSettings::RecordMenuCaption() const {
  if (record_.device < 0) return "No ADC!";
  return "Dev: " + record_.name;
}

}  // namespace vireon
