#include "config/ConfigWalk.h"

#include <algorithm>
#include <stdexcept>

#include "common/Version.h"
#include "config/AsciiCase.h"
#include "config/Defaults.h"
#include "config/IniValues.h"

namespace vireon {
namespace {

// Hardware files written before the version key existed.
constexpr int kHardwareVersionWithoutKey = 216;

std::string KeyName(const ConfigKey& entry, int index) {
  return entry.count_key.empty() ? entry.key : entry.key + std::to_string(index);
}

std::string PassThroughKey(const ConfigKey& entry, int index) {
  return FoldAsciiCase(entry.section + "\n" + KeyName(entry, index));
}

bool Parses(ConfigType type, std::string_view text) {
  switch (type) {
    case ConfigType::kInteger:
      return ParseIniInteger(text).has_value();
    case ConfigType::kDouble:
      return ParseIniFloat(text).has_value();
    case ConfigType::kBool:
      return ParseIniBool(text).has_value();
    case ConfigType::kString:
      return true;
  }
  return false;
}

}  // namespace

ConfigWalk::ConfigWalk(ConfigFile file, std::string data_directory)
    : file_(file),
      data_directory_(std::move(data_directory)),
      bindings_(file),
      file_version_(kProgramVersionTimes100) {}

void ConfigWalk::Walk(IniFile& ini, WalkDirection direction) {
  const std::span<const ConfigKey> table = ConfigKeyTable();
  for (std::size_t i = 0; i < table.size();) {
    const ConfigKey& entry = table[i];
    if (entry.file != file_) {
      ++i;
    } else if (!entry.count_key.empty()) {
      std::size_t end = i + 1;
      while (end < table.size() && table[end].file == file_ &&
             table[end].section == entry.section && table[end].count_key == entry.count_key) {
        ++end;
      }
      VisitCountedGroup(ini, direction, table.subspan(i, end - i));
      i = end;
    } else {
      if (IsVersionKey(entry)) {
        VisitVersion(ini, direction);
      } else if (IsAcqSectionCountKey(entry)) {
        VisitAcqSectionCount(ini, direction);
      } else if (direction == WalkDirection::kSave || entry.acq_index < acq_sections_read_) {
        Visit(ini, direction, entry, 0);
      }
      ++i;
    }
  }
}

void ConfigWalk::VisitVersion(IniFile& ini, WalkDirection direction) {
  if (direction == WalkDirection::kSave) {
    ini.WriteInteger(kVersionSection, kVersionKey, kProgramVersionTimes100);
    return;
  }
  const int missing =
      file_ == ConfigFile::kHardware ? kHardwareVersionWithoutKey : kProgramVersionTimes100;
  file_version_ = ini.ReadInteger(kVersionSection, kVersionKey, missing);
}

// Files of older versions hold fewer "AcqMode" sections, and their last one held the type that is
// now section 27, so only the sections before it are read. A file with all sections (this
// version's) is read whole, so a save and load keeps every section.
void ConfigWalk::VisitAcqSectionCount(IniFile& ini, WalkDirection direction) {
  if (direction == WalkDirection::kSave) {
    ini.WriteInteger(kAcqSectionCountSection, kAcqSectionCountKey, kAcqSectionCount);
    acq_sections_read_ = kAcqSectionCount;
    return;
  }
  const auto text = ini.RawValue(kAcqSectionCountSection, kAcqSectionCountKey);
  const auto stored = text ? ParseIniInteger(*text) : std::nullopt;
  if (!stored) return;
  acq_sections_read_ =
      *stored >= kAcqSectionCount ? kAcqSectionCount : std::clamp(*stored - 1, 0, kAcqSectionCount);
}

void ConfigWalk::VisitCountedGroup(IniFile& ini, WalkDirection direction,
                                   std::span<const ConfigKey> group) {
  // The count key comes earlier in the table, so on reading it already holds the file's count.
  const int count = CurrentCount(group.front().section, group.front().count_key);
  for (int index = 0; index < count; ++index) {
    for (const ConfigKey& entry : group) Visit(ini, direction, entry, index);
  }
}

void ConfigWalk::Visit(IniFile& ini, WalkDirection direction, const ConfigKey& entry, int index) {
  const std::string key = KeyName(entry, index);
  const BoundValue* bound = bindings_.Find(entry);
  const bool relative = bound != nullptr && !data_directory_.empty() && IsDataRelativeKey(entry);
  if (direction == WalkDirection::kSave) {
    const auto text = CurrentText(entry, index);
    if (!text) return;
    if (entry.only_when_set && text->empty()) {
      ini.DeleteKey(entry.section, key);
    } else {
      ini.WriteString(entry.section, key,
                      relative ? ToDataRelative(*text, data_directory_) : *text);
    }
    return;
  }
  const auto text = ini.RawValue(entry.section, key);
  if (!text) return;
  if (bound != nullptr) {
    bound->store(index, relative ? FromDataRelative(*text, data_directory_) : *text,
                 RangePolicy::kClamp);
  } else {
    pass_through_[PassThroughKey(entry, index)] = *text;
  }
}

std::optional<std::string> ConfigWalk::CurrentText(const ConfigKey& entry, int index) const {
  if (const BoundValue* bound = bindings_.Find(entry)) return bound->text(index);
  const auto found = pass_through_.find(PassThroughKey(entry, index));
  if (found == pass_through_.end()) return std::nullopt;
  return found->second;
}

int ConfigWalk::CurrentCount(std::string_view section, std::string_view count_key) const {
  const ConfigKey* entry = FindConfigKey(file_, section, count_key);
  if (entry == nullptr) throw std::logic_error("counted keys without their count key");
  const auto text = CurrentText(*entry, 0);
  const auto count = text ? ParseIniInteger(*text) : std::nullopt;
  return count ? std::clamp(*count, 0, kMaxCountedKeys) : 0;
}

void ConfigWalk::Load(const std::filesystem::path& file) {
  IniFile ini = IniFile::FromFile(file);
  Walk(ini, WalkDirection::kRead);
}

void ConfigWalk::Save(const std::filesystem::path& file) {
  IniFile ini = IniFile::FromFile(file);
  Walk(ini, WalkDirection::kSave);
  ini.SaveFile(file);
}

StoreResult ConfigWalk::Assign(const ConfigKey& entry, int index, std::string_view text) {
  if (entry.file != file_) throw std::logic_error("key of the other configuration file");
  // Owners size their lists by the count: an index beyond it would reach past their end.
  if (!entry.count_key.empty() && index >= CurrentCount(entry.section, entry.count_key)) {
    return StoreResult::kOutOfRange;
  }
  if (const BoundValue* bound = bindings_.Find(entry)) {
    return bound->store(index, text, RangePolicy::kReject);
  }
  if (!Parses(entry.type, text)) return StoreResult::kUnparsable;
  if (!IsVersionKey(entry) && !IsAcqSectionCountKey(entry))
    pass_through_[PassThroughKey(entry, index)] = std::string(text);
  return StoreResult::kStored;
}

namespace {

struct ResolvedKey {
  const ConfigKey* entry;
  int index;
};

// A plain key, or a counted key's stem followed by its decimal index.
std::optional<ResolvedKey> Resolve(ConfigFile file, std::string_view section,
                                   std::string_view key) {
  if (const ConfigKey* entry = FindConfigKey(file, section, key);
      entry != nullptr && entry->count_key.empty()) {
    return ResolvedKey{entry, 0};
  }
  for (const ConfigKey& entry : ConfigKeyTable()) {
    if (entry.file != file || entry.count_key.empty() ||
        !EqualIgnoringAsciiCase(entry.section, section) || key.size() <= entry.key.size() ||
        !EqualIgnoringAsciiCase(key.substr(0, entry.key.size()), entry.key)) {
      continue;
    }
    const auto index = ParseIniInteger(key.substr(entry.key.size()));
    const bool digits_only =
        std::all_of(key.begin() + static_cast<std::ptrdiff_t>(entry.key.size()), key.end(),
                    [](char c) { return c >= '0' && c <= '9'; });
    if (digits_only && index && *index < kMaxCountedKeys) return ResolvedKey{&entry, *index};
  }
  return std::nullopt;
}

}  // namespace

AssignmentResult ApplyAssignment(std::string_view assignment, ConfigWalk& software,
                                 ConfigWalk& hardware) {
  const auto slash = assignment.find('/');
  const auto equals = assignment.find('=');
  if (slash == std::string_view::npos || equals == std::string_view::npos || equals < slash) {
    return AssignmentResult::kMalformed;
  }
  const std::string_view section = assignment.substr(0, slash);
  const std::string_view key = assignment.substr(slash + 1, equals - slash - 1);
  const std::string_view value = assignment.substr(equals + 1);
  for (ConfigWalk* walk : {&software, &hardware}) {
    const auto resolved = Resolve(walk->Bindings().File(), section, key);
    if (!resolved) continue;
    switch (walk->Assign(*resolved->entry, resolved->index, value)) {
      case StoreResult::kStored:
        return AssignmentResult::kApplied;
      case StoreResult::kUnparsable:
        return AssignmentResult::kUnparsable;
      case StoreResult::kOutOfRange:
        return AssignmentResult::kOutOfRange;
    }
  }
  return AssignmentResult::kUnknownKey;
}

}  // namespace vireon
