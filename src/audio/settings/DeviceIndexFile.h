#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/WaveDevice.h"

namespace vireon {

// The index files that name each device's per-device file: line triples of device name, file
// base name ("PDEV0", "RDEV3", ...) and mixer name.

inline constexpr std::string_view kPlayDeviceIndexName = "PLAYDEV.QTQ";
inline constexpr std::string_view kRecordDeviceIndexName = "RECDEV.QTQ";
inline constexpr std::string_view kDeviceFileExtension = ".QTQ";

struct DeviceIndexEntry {
  std::string device_name;
  std::string base_name;
  std::string mixer_name;
  bool operator==(const DeviceIndexEntry&) const = default;
};

// Whole triples in file order (lines end in CR LF or LF); a trailing partial triple is dropped.
std::vector<DeviceIndexEntry> ParseDeviceIndex(std::string_view text);
std::string DeviceIndexText(const std::vector<DeviceIndexEntry>& entries);

// The base name of the first entry with this device and mixer name (entries whose base name is not
// a plain file name are passed over). Without one, a new entry is appended whose base name is
// "PDEV" (play) or "RDEV" (record) and one more than the highest number of the entries, 0 for the
// first; `added` tells which happened.
std::string FindOrAddDeviceBaseName(std::vector<DeviceIndexEntry>& entries, WaveDirection direction,
                                    std::string_view device_name, std::string_view mixer_name,
                                    bool& added);

// The per-device file of a device in the data directory, adding it to the direction's index file
// when it is new. An index that cannot be written is left as it was (the entry is added again on
// the next look-up).
std::filesystem::path DeviceCalFilePath(const std::filesystem::path& data_directory,
                                        WaveDirection direction, std::string_view device_name,
                                        std::string_view mixer_name);

}  // namespace vireon
