#include "config/IniFile.h"

#include <algorithm>
#include <stdexcept>

#include "common/AtomicFile.h"
#include "config/AsciiCase.h"
#include "config/IniValues.h"

namespace vireon {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsBlank(std::string_view line) { return Trim(line).empty(); }

// The section name of a header line: everything between the first "[" and the last "]", so
// device names that contain brackets survive.
std::optional<std::string_view> HeaderName(std::string_view line) {
  const std::string_view text = line.substr(std::min(line.find_first_not_of(kBlanks), line.size()));
  if (text.empty() || text.front() != '[') return std::nullopt;
  const auto close = text.rfind(']');
  if (close == 0 || close == std::string_view::npos) return std::nullopt;
  return text.substr(1, close - 1);
}

void RequireName(std::string_view name, std::string_view what) {
  if (name.find_first_of(kLineEnd) != std::string_view::npos) {
    throw std::invalid_argument(std::string(what) + " name holds a line break");
  }
}

void RequireKeyName(std::string_view key) {
  RequireName(key, "key");
  if (key.empty() || Trim(key) != key || key.find('=') != std::string_view::npos ||
      key.front() == '[' || key.front() == ';') {
    throw std::invalid_argument("not a key name: " + std::string(key));
  }
}

std::string SingleLine(std::string_view value) {
  std::string text(value);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

IniFile IniFile::FromText(std::string_view text) {
  IniFile file;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    file.AddLine(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return file;
}

IniFile IniFile::FromFile(const std::filesystem::path& file) {
  const auto content = ReadWholeFile(file);
  return content ? FromText(*content) : IniFile();
}

void IniFile::AddLine(std::string_view raw) {
  if (const auto name = HeaderName(raw)) {
    sections_.push_back(Section{std::string(raw), std::string(*name), {}, {}});
    section_index_.emplace(FoldAsciiCase(*name), sections_.size() - 1);
    return;
  }
  if (sections_.empty()) {
    preamble_.emplace_back(raw);
    return;
  }
  Section& section = sections_.back();
  Line line;
  line.raw = raw;
  const std::string_view text = Trim(raw);
  const auto equals = text.find('=');
  if (!text.empty() && text.front() != ';' && text.front() != '[' &&
      equals != std::string_view::npos && !Trim(text.substr(0, equals)).empty()) {
    line.is_key = true;
    line.key = Trim(text.substr(0, equals));
    line.value = Trim(text.substr(equals + 1));
    section.key_index.emplace(FoldAsciiCase(line.key), section.lines.size());
  }
  section.lines.push_back(std::move(line));
}

std::string IniFile::Text() const {
  std::string text;
  for (const std::string& line : preamble_) text.append(line).append(kLineEnd);
  for (const Section& section : sections_) {
    text.append(section.header).append(kLineEnd);
    for (const Line& line : section.lines) text.append(line.raw).append(kLineEnd);
  }
  return text;
}

void IniFile::SaveFile(const std::filesystem::path& file) const {
  WriteFileAtomically(file, Text());
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
  const auto found = section_index_.find(FoldAsciiCase(section));
  return found == section_index_.end() ? nullptr : &sections_[found->second];
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
  const Section* found_section = FindSection(section);
  if (found_section == nullptr) return nullptr;
  const auto found = found_section->key_index.find(FoldAsciiCase(key));
  return found == found_section->key_index.end() ? nullptr : &found_section->lines[found->second];
}

bool IniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindLine(section, key) != nullptr;
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (section_index_.at(FoldAsciiCase(sections_[i].name)) == i)
      names.push_back(sections_[i].name);
  }
  return names;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const Section* found = FindSection(section);
  if (found == nullptr) return keys;
  for (std::size_t i = 0; i < found->lines.size(); ++i) {
    const Line& line = found->lines[i];
    if (line.is_key && found->key_index.at(FoldAsciiCase(line.key)) == i) keys.push_back(line.key);
  }
  return keys;
}

std::optional<std::string> IniFile::RawValue(std::string_view section, std::string_view key) const {
  const Line* line = FindLine(section, key);
  if (line == nullptr) return std::nullopt;
  return line->value;
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int current) const {
  const Line* line = FindLine(section, key);
  return line == nullptr ? current : ParseIniInteger(line->value).value_or(current);
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double current) const {
  const Line* line = FindLine(section, key);
  return line == nullptr ? current : ParseIniFloat(line->value).value_or(current);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool current) const {
  const Line* line = FindLine(section, key);
  return line == nullptr ? current : ParseIniBool(line->value).value_or(current);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string current) const {
  const Line* line = FindLine(section, key);
  return line == nullptr ? current : line->value;
}

IniFile::Section& IniFile::SectionForWrite(std::string_view section) {
  const auto found = section_index_.find(FoldAsciiCase(section));
  if (found != section_index_.end()) return sections_[found->second];
  RequireName(section, "section");

  // A blank line keeps the new section apart from the text before it.
  if (!sections_.empty()) {
    std::vector<Line>& lines = sections_.back().lines;
    if (lines.empty() || !IsBlank(lines.back().raw)) lines.push_back(Line{});
  } else if (!preamble_.empty() && !IsBlank(preamble_.back())) {
    preamble_.emplace_back();
  }
  sections_.push_back(Section{"[" + std::string(section) + "]", std::string(section), {}, {}});
  section_index_.emplace(FoldAsciiCase(section), sections_.size() - 1);
  return sections_.back();
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, FormatIniInteger(value));
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FormatIniFloat(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, FormatIniBool(value));
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string text = SingleLine(value);
  Section& target = SectionForWrite(section);
  const std::string folded = FoldAsciiCase(key);
  if (const auto found = target.key_index.find(folded); found != target.key_index.end()) {
    Line& line = target.lines[found->second];
    if (line.value != text) line = Line{line.key + "=" + text, true, line.key, text};
    return;
  }
  RequireKeyName(key);
  // After the section's last non-blank line: the blank lines that part it from the next section
  // stay where they are, and no key line moves, so the key index stays valid.
  std::size_t position = target.lines.size();
  while (position > 0 && IsBlank(target.lines[position - 1].raw)) --position;
  target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(position),
                      Line{std::string(key) + "=" + text, true, std::string(key), text});
  target.key_index.emplace(folded, position);
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  const auto found = section_index_.find(FoldAsciiCase(section));
  if (found == section_index_.end()) return;
  Section& target = sections_[found->second];
  const std::string folded = FoldAsciiCase(key);
  std::erase_if(target.lines,
                [&](const Line& line) { return line.is_key && FoldAsciiCase(line.key) == folded; });
  target.key_index.clear();
  for (std::size_t i = 0; i < target.lines.size(); ++i) {
    if (target.lines[i].is_key) target.key_index.emplace(FoldAsciiCase(target.lines[i].key), i);
  }
}

}  // namespace vireon
