#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// The native binary data file (.vr2, also .vbu backups and hold snapshots): a field-by-field
// dump of a record, little-endian, without magic number or version. Everything after the
// weighting is optional, so older, shorter files load with defaults.

inline constexpr std::string_view kHoldDataFileName = "HoldData.vr2";
inline constexpr std::string_view kHoldDataTitle = "<\"Hold\" Data file>";
inline constexpr std::string_view kBackupDataFileName = "VireonSaveData.vbu";
inline constexpr std::string_view kReservedNameMessage =
    "Cannot save a file named \"HoldData.vr2\"!: reserved name";

// True for "HoldData.vr2" in any letter case: a name the save dialog refuses.
bool IsReservedHoldName(const std::filesystem::path& file);

// The bytes of the file `file_name` would hold; nullopt when no column holds all points.
// With `hold` the stored file name is the record's own, else `file_name`.
std::optional<std::string> EncodeDataFile(const TDataMeas& record, const std::string& file_name,
                                          bool hold);

// Writes the file in one atomic step: a failed save leaves the old file as it was.
bool SaveDataFile(const std::filesystem::path& file, const TDataMeas& record, bool hold,
                  MessageSink& messages);

// Reads into an existing record; false when the file does not exist (the record untouched) or
// does not load (the record partly filled, the message shown). `main_only` stops before the
// optional sections.
bool LoadDataFile(const std::filesystem::path& file, TDataMeas& record, bool hold, bool main_only,
                  const FileContext& context, MessageSink& messages);

}  // namespace vireon
