#pragma once

#include <string>
#include <string_view>

#include "audio/devices/WaveDevice.h"
#include "audio/settings/AudioInterfaceSettings.h"

namespace vireon {

// The main window's status bar panels for the devices: "D/A(" + kHz + "k): " + play device and
// "A/D(" + kHz + "k): " + record device. kHz is the rate index's rounded rate, "0" while no rate
// is known; "*DIGITAL*" stands for the device in digital mode; without usable sound hardware the
// device part is left off.
std::string DeviceStatusPanel(WaveDirection direction, int rate_index, std::string_view device_name,
                              bool digital, bool hardware_usable);
// The same for the current choice of the audio interface settings.
std::string DeviceStatusPanel(const AudioInterfaceSettings& audio, WaveDirection direction);

}  // namespace vireon
