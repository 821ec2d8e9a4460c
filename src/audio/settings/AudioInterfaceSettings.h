#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/settings/RateTable.h"
#include "audio/settings/SoundcardSettings.h"
#include "audio/settings/TADDASettings.h"
#include "audio/settings/TDeviceCal.h"
#include "stimulus/CfgStim.h"

namespace vireon {

// Receives the logged steps ("SelectDAC", "PDevFileName = ..."), as DebugLog::Log does.
using SettingsLog = std::function<void(std::string_view step, std::string_view text)>;

struct MenuItem {
  std::string caption;
  bool enabled = true;
  bool checked = false;
  bool operator==(const MenuItem&) const = default;
};

// The two output level controls ("Output 1 (L)", "Output 2 (R)").
struct OutputLevels {
  double level1_db = 1.0;
  double level2_db = 1.0;
  bool enabled1 = true;
  bool enabled2 = true;
};
// The levels and enable boxes the stimulus settings keep.
OutputLevels OutputLevelsOf(const StimulusSettings& stimulus);

// The device choice of the audio interface window without the window: which play and record
// devices are current, what they accept, their per-device calibration, the chosen rates and
// resolutions, and the settings record handed to the engine.
//
// This platform associates no system mixer with a wave device: every device has mixer number -1
// and an empty mixer name, so a device's per-device file is keyed by its name alone.
class AudioInterfaceSettings {
 public:
  AudioInterfaceSettings(WaveDriver& driver, std::filesystem::path data_directory, SettingsLog log);

  // Enumerates the devices (an unnamed device shows "ERROR!").
  void ListWavDevices();
  // Re-enumerates when the device counts changed since the last listing, then selects the
  // remembered devices again by name; true when it did.
  bool RefreshDevicesIfChanged();
  // Re-enumerates regardless (the devices may have changed while the machine slept) and selects
  // the remembered devices again by name.
  void RelistDevices();

  // Makes a device current (the first one when the name is not listed); false when the name was
  // not found. Both re-check the rates and resolutions and rebuild the settings record.
  bool SelectDAC(std::string_view name);
  bool SelectADC(std::string_view name);
  // The play device menu's choice: the play device, and with it its matching record device unless
  // separate A&D is allowed. Returns the message to show when it has none (then separate A&D is
  // switched on).
  std::optional<std::string> ChoosePlayDevice(std::string_view name);
  // On a record device listed under the same name, as one duplex device is listed.
  std::optional<std::string> MatchingRecordDevice(std::string_view play_name) const;

  // "Allow &Separate A&&D": switching it off selects the play device's matching record device
  // again (a message as for ChoosePlayDevice when there is none).
  std::optional<std::string> SetAllowSeparateAD(bool allow);
  void SetAllowDifferentRates(bool allow);
  void SetAllowDifferentResolution(bool allow);

  // A rate menu's choice: the usable rate nearest to it (SelectRate); -1 marks the engine not
  // ready.
  int SelectRate(int rate, WaveDirection direction);
  // A resolution menu's choice; 24 bits only where the device offers them.
  void SelectResolution(int bits, WaveDirection direction);
  void SetOutputLevels(const OutputLevels& levels);
  void SetInputDesignations(int input1_list_index, int input2_list_index);
  // Kept in the device's per-device file (the stabilizing time in the play device's), which is
  // written at once; throws VireonError when it cannot be.
  void SetStabilizingTime(double milliseconds);
  void SetLatency(int samples, WaveDirection direction);

  // Selects the devices, rates and resolutions that `Soundcards()` names, after a configuration
  // has been read into it. A rate outside the table becomes the usable rate SelectRate finds for
  // it. Returns a message as ChoosePlayDevice does.
  std::optional<std::string> ApplySoundcards();
  // Bound to the configuration; kept current by every selection.
  SoundcardSettings& Soundcards() { return soundcards_; }

  const TADDASettings& Settings() const { return settings_; }
  // False while a current device accepts none of the rates: starting then does nothing.
  bool Ready() const { return ready_; }
  bool HasDevices() const { return !play_.devices.empty() && !record_.devices.empty(); }

  const std::vector<std::string>& Devices(WaveDirection direction) const;
  int DeviceNumber(WaveDirection direction) const;  // -1 while none is current
  const std::string& DeviceName(WaveDirection direction) const;
  const TDeviceCal& DeviceCal(WaveDirection direction) const;
  // Whether the per-device file was read for the current device.
  bool HasDeviceFile(WaveDirection direction) const;
  const RateAvailability& Availability(WaveDirection direction) const;
  int RateIndex(WaveDirection direction) const;  // -1 when none is usable
  bool Offers24Bits(WaveDirection direction) const;
  double StabilizingTimeMs() const { return play_.cal.stabilizing_ms; }

  std::vector<MenuItem> DeviceMenu(WaveDirection direction) const;
  std::vector<MenuItem> RateMenu(WaveDirection direction) const;
  // "Devs = " play + "->" + record, "Dev = " + play with separate A&D, "No DAC!" without devices.
  std::string PlayMenuCaption() const;
  // "Dev: " + record, "No ADC!" without a record device.
  std::string RecordMenuCaption() const;
  // A device accepting 192000 Hz at 24 bits can have a digital twin device.
  bool DigitalCapable(WaveDirection direction) const;
  // The twins the digital matching declares for the current card ("NONE" or empty: none).
  void SetDigitalDevices(std::string output_device, std::string input_device);
  // "Use Digital Out" / "Use Digital In": nullopt when done, else the message to show ("Digital
  // Out device is not declared for this soundcard"), and the option stays off.
  std::optional<std::string> UseDigital(WaveDirection direction, bool use);
  bool UsesDigital(WaveDirection direction) const { return SideOf(direction).use_digital; }
  // The device the engine opens: the digital twin while it is used; -1 when it is not listed.
  int StreamDeviceNumber(WaveDirection direction) const;

 private:
  struct Side {
    explicit Side(WaveDirection d) : direction(d) { available.fill(true); }
    WaveDirection direction;
    std::vector<std::string> devices;
    int device = -1;
    std::string name;
    TDeviceCal cal;
    bool has_file = false;
    RateAvailability available{};
    bool offers_24 = true;
    bool digital_capable = false;
    std::string digital_name;
    bool use_digital = false;
    int rate_index = kDefaultRateIndex;
  };

  bool Select(Side& side, std::string_view name);
  std::optional<std::string> SelectMatchingRecordDevice();
  std::filesystem::path DeviceFile(const Side& side) const;
  void LoadDeviceFile(Side& side, std::string_view step);
  void SaveDeviceFile(Side& side);
  void ProbeDevice(Side& side);
  bool Accepts(const Side& side, int rate, int bits) const;
  void Rebuild();
  void Log(std::string_view step, std::string_view text) const;
  Side& SideOf(WaveDirection direction) {
    return direction == WaveDirection::kPlay ? play_ : record_;
  }
  const Side& SideOf(WaveDirection direction) const {
    return direction == WaveDirection::kPlay ? play_ : record_;
  }

  WaveDriver& driver_;
  std::filesystem::path data_directory_;
  SettingsLog log_;
  Side play_{WaveDirection::kPlay};  // with every rate available until a device is chosen
  Side record_{WaveDirection::kRecord};
  SoundcardSettings soundcards_;
  OutputLevels levels_;
  TADDASettings settings_;
  bool ready_ = true;
};

}  // namespace vireon
