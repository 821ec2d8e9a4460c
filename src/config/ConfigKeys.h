#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vireon {

// The registry of every section and key of the two configuration files, in file order.
// Defaults and meanings belong to the code that binds each setting.

enum class ConfigFile { kSoftware, kHardware };
enum class ConfigType : char { kInteger = 'i', kDouble = 'd', kBool = 'b', kString = 's' };

inline constexpr std::string_view kSoftwareConfigName = "VireonFree.ini";
inline constexpr std::string_view kHardwareConfigName = "VireonFree.hdi";
inline constexpr std::string_view kVersionSection = "Vireon Version";
inline constexpr std::string_view kVersionKey = "Ver";
inline constexpr std::string_view kAcqSectionCountSection = "ComponentTracking";
inline constexpr std::string_view kAcqSectionCountKey = "OldAcqNum";
inline constexpr int kAcqSectionCount = 28;  // "AcqMode0" .. "AcqMode27"

struct ConfigKey {
  ConfigFile file;
  std::string section;
  // For a counted key, the stem: the file holds stem + "0" .. stem + (count - 1).
  std::string key;
  ConfigType type;
  // Non-empty for a counted key: the integer key of the same section giving the count.
  // Consecutive counted keys with the same count key form one group, written index by index.
  std::string count_key = {};
  int acq_index = -1;          // the per-acquisition section this key belongs to, -1 for none
  bool only_when_set = false;  // an empty string is not written (the key is removed)
};

// Keys the configuration walk keeps itself: no part binds them.
inline bool IsVersionKey(const ConfigKey& entry) {
  return entry.section == kVersionSection && entry.key == kVersionKey;
}
inline bool IsAcqSectionCountKey(const ConfigKey& entry) {
  return entry.section == kAcqSectionCountSection && entry.key == kAcqSectionCountKey;
}

// Every key of both files, each file's keys in file order.
// File names kept relative to the data directory, so that they keep working when the whole data
// directory moves.
bool IsDataRelativeKey(const ConfigKey& entry);

std::span<const ConfigKey> ConfigKeyTable();

// The table entry of a key (ASCII case ignored); nullptr when the file has no such key.
// A counted key is found by its stem.
const ConfigKey* FindConfigKey(ConfigFile file, std::string_view section, std::string_view key);

}  // namespace vireon
