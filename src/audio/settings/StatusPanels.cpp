#include "audio/settings/StatusPanels.h"

#include "audio/settings/RateTable.h"

namespace vireon {

std::string DeviceStatusPanel(WaveDirection direction, int rate_index, std::string_view device_name,
                              bool digital, bool hardware_usable) {
  const bool known = rate_index >= 0 && rate_index < kRateCount;
  std::string text = direction == WaveDirection::kPlay ? "D/A(" : "A/D(";
  text += known ? RateTable()[static_cast<std::size_t>(rate_index)].short_k : "0";
  text += "k): ";
  if (digital) {
    text += "*DIGITAL*";
  } else if (hardware_usable) {
    text += device_name;
  }
  return text;
}

std::string DeviceStatusPanel(const AudioInterfaceSettings& audio, WaveDirection direction) {
  return DeviceStatusPanel(direction, audio.RateIndex(direction), audio.DeviceName(direction),
                           audio.UsesDigital(direction), audio.HasDevices());
}

}  // namespace vireon
