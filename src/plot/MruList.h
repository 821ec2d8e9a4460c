#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vireon {

// The recently-used data files: up to eight full paths, the most recent first, kept in the INI
// file "MRU_list.qtq" of the data folder.
class TMruList {
 public:
  static constexpr std::size_t kMaxEntries = 8;
  static constexpr const char* kFileName = "MRU_list.qtq";
  static constexpr const char* kSection = "Most Recently Used Files";

  // Puts the file at the top; an equal entry moves there, the oldest beyond eight goes. Backup
  // files (".VBU", any case) are never listed.
  void Add(const std::filesystem::path& file);
  const std::vector<std::filesystem::path>& Entries() const { return entries_; }

  // Reads the list of `data_folder`, leaving out files that no longer exist; a missing list
  // file gives an empty list.
  void Load(const std::filesystem::path& data_folder);
  // Writes all eight keys (unused ones empty) at once; false when the file cannot be written.
  bool Save(const std::filesystem::path& data_folder) const;

 private:
  std::vector<std::filesystem::path> entries_;
};

// The File menu's text for entry `index` (from 0): "1 " + path, a path inside the data folder
// shown relative to it.
std::string MruMenuCaption(std::size_t index, const std::filesystem::path& file,
                           const std::filesystem::path& data_folder);

}  // namespace vireon
