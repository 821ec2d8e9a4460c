#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "config/ConfigBindings.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

namespace vireon {

enum class WalkDirection { kRead, kSave };

// Most indexes a counted key family is walked over, whatever count a file claims.
inline constexpr int kMaxCountedKeys = 1000;

// Reads and writes one configuration file by walking its key table in order. A bound entry writes
// its current value or reads a new one (a missing or unparsable value leaves it unchanged, one out
// of range is limited to the range). An entry no code binds passes through: the text read for it
// is kept here and written back on saving, even into another file.
class ConfigWalk {
 public:
  // With a data directory, the bound file-name settings are written relative to it and made
  // absolute again when read.
  explicit ConfigWalk(ConfigFile file, std::string data_directory = {});

  ConfigBindings& Bindings() { return bindings_; }

  // The one walk over an in-memory file, in either direction.
  void Walk(IniFile& ini, WalkDirection direction);
  // A missing or unreadable file reads as empty.
  void Load(const std::filesystem::path& file);
  // Updates the file's keys in place, keeping sections and keys the table does not hold, and
  // writes it at once; throws VireonError when it cannot be written (the old file stays).
  void Save(const std::filesystem::path& file);

  // "Ver" of the file read last (this program's version before any read); a hardware file
  // without the key counts as 216. Parts apply their compatibility rules with it.
  int FileVersion() const { return file_version_; }
  // How many "AcqMode" sections, from 0, the reads restore.
  int AcqSectionsRead() const { return acq_sections_read_; }

  // Sets one key from text, as a `--set SECTION/KEY=VALUE` does; nothing changes unless kStored.
  // A counted key's index must lie below the current count.
  StoreResult Assign(const ConfigKey& entry, int index, std::string_view text);

 private:
  void Visit(IniFile& ini, WalkDirection direction, const ConfigKey& entry, int index);
  void VisitCountedGroup(IniFile& ini, WalkDirection direction, std::span<const ConfigKey> group);
  void VisitVersion(IniFile& ini, WalkDirection direction);
  void VisitAcqSectionCount(IniFile& ini, WalkDirection direction);
  std::optional<std::string> CurrentText(const ConfigKey& entry, int index) const;
  int CurrentCount(std::string_view section, std::string_view count_key) const;

  ConfigFile file_;
  std::string data_directory_;
  ConfigBindings bindings_;
  std::map<std::string, std::string> pass_through_;  // folded section and key -> text read
  int file_version_;
  int acq_sections_read_ = kAcqSectionCount;
};

enum class AssignmentResult { kApplied, kMalformed, kUnknownKey, kUnparsable, kOutOfRange };

// Applies "SECTION/KEY=VALUE" (split at the first "/" and the first "=") to whichever file holds
// the key, the software file first.
AssignmentResult ApplyAssignment(std::string_view assignment, ConfigWalk& software,
                                 ConfigWalk& hardware);

}  // namespace vireon
