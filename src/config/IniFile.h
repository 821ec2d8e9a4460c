#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vireon {

// An INI file held in memory as its lines. Sections and keys are found without regard to ASCII
// case; names and values are kept as the bytes they were stored as. Lines the program does not
// change are written back byte for byte, so unknown sections, keys and comments survive a load and
// save. Reads take the current value as their default: a missing key or a value that does not
// parse leaves it unchanged. Lines end in CR LF when written; LF alone is accepted when read.
class IniFile {
 public:
  IniFile() = default;
  static IniFile FromText(std::string_view text);
  // A missing or unreadable file gives an empty INI file.
  static IniFile FromFile(const std::filesystem::path& file);

  std::string Text() const;
  // The whole text written at once; a failure throws VireonError and keeps the old file.
  void SaveFile(const std::filesystem::path& file) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;  // in file order, each name once
  std::vector<std::string> Keys(std::string_view section) const;
  std::optional<std::string> RawValue(std::string_view section, std::string_view key) const;

  int ReadInteger(std::string_view section, std::string_view key, int current) const;
  double ReadFloat(std::string_view section, std::string_view key, double current) const;
  bool ReadBool(std::string_view section, std::string_view key, bool current) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string current) const;

  // A new key goes at the end of its section, a new section at the end of the file. Keys and
  // section names must be single-line names; line breaks in a value become blanks.
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteFloat(std::string_view section, std::string_view key, double value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);

 private:
  struct Line {
    std::string raw;
    bool is_key = false;
    std::string key;
    std::string value;
  };
  struct Section {
    std::string header;  // the header line as read
    std::string name;
    std::vector<Line> lines;
    std::unordered_map<std::string, std::size_t> key_index;  // folded key -> first line
  };

  void AddLine(std::string_view raw);
  const Section* FindSection(std::string_view section) const;
  Section& SectionForWrite(std::string_view section);
  const Line* FindLine(std::string_view section, std::string_view key) const;

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> section_index_;  // folded name -> first section
};

}  // namespace vireon
