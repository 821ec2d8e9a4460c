#include "audio/settings/DeviceIndexFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "common/VireonError.h"
#include "files/TextNumbers.h"

namespace vireon {

namespace {

std::string_view BasePrefix(WaveDirection direction) {
  return direction == WaveDirection::kPlay ? "PDEV" : "RDEV";
}

// A line break inside a name would shift every later triple, so names are kept on one line.
std::string OneLine(std::string_view name) {
  std::string line(name);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

// The number at the end of a base name ("PDEV12" -> 12); nullopt when it has none.
std::optional<std::int64_t> TrailingNumber(std::string_view base_name) {
  std::size_t start = base_name.size();
  while (start > 0 && std::isdigit(static_cast<unsigned char>(base_name[start - 1]))) --start;
  if (start == base_name.size()) return std::nullopt;
  return ParseInt(base_name.substr(start));
}

// The base name becomes a file name in the data directory: one that could point elsewhere ("..",
// a folder, an absolute path) is never used.
bool UsableBaseName(std::string_view base_name) {
  return !base_name.empty() && base_name != "." && base_name != ".." &&
         base_name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

}  // namespace

std::vector<DeviceIndexEntry> ParseDeviceIndex(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  std::vector<DeviceIndexEntry> entries;
  for (std::size_t i = 0; i + 2 < lines.size(); i += 3) {
    entries.push_back(
        {std::string(lines[i]), std::string(lines[i + 1]), std::string(lines[i + 2])});
  }
  return entries;
}

std::string DeviceIndexText(const std::vector<DeviceIndexEntry>& entries) {
  std::string text;
  for (const DeviceIndexEntry& entry : entries) {
    for (const std::string& field : {entry.device_name, entry.base_name, entry.mixer_name}) {
      text += OneLine(field);
      text += "\r\n";
    }
  }
  return text;
}

std::string FindOrAddDeviceBaseName(std::vector<DeviceIndexEntry>& entries, WaveDirection direction,
                                    std::string_view device_name, std::string_view mixer_name,
                                    bool& added) {
  const std::string device = OneLine(device_name);
  const std::string mixer = OneLine(mixer_name);
  for (const DeviceIndexEntry& entry : entries) {
    if (entry.device_name == device && entry.mixer_name == mixer &&
        UsableBaseName(entry.base_name)) {
      added = false;
      return entry.base_name;
    }
  }
  // One more than the highest number, not merely the last one: an edited index whose last entry
  // is not the highest would otherwise give two devices the same file.
  std::int64_t next = 0;
  for (const DeviceIndexEntry& entry : entries) {
    const std::optional<std::int64_t> number = TrailingNumber(entry.base_name);
    if (number && *number >= next) next = *number + 1;
  }
  std::string base_name = std::string(BasePrefix(direction)) + FormatInt(next);
  entries.push_back({device, base_name, mixer});
  added = true;
  return base_name;
}

std::filesystem::path DeviceCalFilePath(const std::filesystem::path& data_directory,
                                        WaveDirection direction, std::string_view device_name,
                                        std::string_view mixer_name) {
  const std::filesystem::path index_file =
      data_directory /
      (direction == WaveDirection::kPlay ? kPlayDeviceIndexName : kRecordDeviceIndexName);
  std::vector<DeviceIndexEntry> entries = ParseDeviceIndex(ReadWholeFile(index_file).value_or(""));
  bool added = false;
  const std::string base_name =
      FindOrAddDeviceBaseName(entries, direction, device_name, mixer_name, added);
  if (added) {
    try {
      WriteFileAtomically(index_file, DeviceIndexText(entries));
    } catch (const VireonError&) {
      // The device still gets its file name for this session.
    }
  }
  return data_directory / (base_name + std::string(kDeviceFileExtension));
}

}  // namespace vireon
