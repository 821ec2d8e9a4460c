#include "plot/MruList.h"

#include <algorithm>
#include <system_error>

#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "config/IniFile.h"

namespace vireon {
namespace {

std::string KeyOf(std::size_t index) { return "File" + std::to_string(index); }

// True when `file` lies inside `folder`; `inside` then holds the rest of its path.
bool RelativeInside(const std::filesystem::path& file, const std::filesystem::path& folder,
                    std::filesystem::path& inside) {
  if (folder.empty()) return false;
  auto file_part = file.begin();
  for (const std::filesystem::path& folder_part : folder) {
    if (folder_part.empty()) continue;  // the trailing separator of "data/"
    if (file_part == file.end() || *file_part != folder_part) return false;
    ++file_part;
  }
  if (file_part == file.end()) return false;
  for (inside.clear(); file_part != file.end(); ++file_part) inside /= *file_part;
  return true;
}

}  // namespace

void TMruList::Add(const std::filesystem::path& file) {
  if (file.empty() || EqualIgnoringAsciiCase(file.extension().string(), ".vbu")) return;
  const std::filesystem::path entry = file.lexically_normal();
  std::erase(entries_, entry);
  entries_.insert(entries_.begin(), entry);
  if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
}

void TMruList::Load(const std::filesystem::path& data_folder) {
  const IniFile ini = IniFile::FromFile(data_folder / kFileName);
  entries_.clear();
  for (std::size_t i = 0; i < kMaxEntries; ++i) {
    const std::string name = ini.ReadString(kSection, KeyOf(i), "");
    std::error_code error;
    if (!name.empty() && std::filesystem::exists(name, error)) entries_.emplace_back(name);
  }
}

bool TMruList::Save(const std::filesystem::path& data_folder) const {
  const std::filesystem::path file = data_folder / kFileName;
  IniFile ini = IniFile::FromFile(file);  // other sections a user added survive
  for (std::size_t i = 0; i < kMaxEntries; ++i) {
    ini.WriteString(kSection, KeyOf(i), i < entries_.size() ? entries_[i].string() : "");
  }
  try {
    ini.SaveFile(file);
  } catch (const VireonError&) {
    return false;
  }
  return true;
}

std::string MruMenuCaption(std::size_t index, const std::filesystem::path& file,
                           const std::filesystem::path& data_folder) {
  std::filesystem::path inside;
  const std::string shown =
      RelativeInside(file, data_folder, inside) ? inside.string() : file.string();
  return std::to_string(index + 1) + " " + shown;
}

}  // namespace vireon
