#include "plot/OverlayList.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/AtomicFile.h"
#include "files/TextNumbers.h"
#include "plot/Overlays.h"

namespace vireon {
namespace {

void StoreList(TDataMeas& record, const StringList& names) {
  if (names.empty()) {
    record.ClearOverlayNames();
  } else {
    record.SetOverlayNames(names, std::nullopt);
  }
}

std::size_t AddTo(StringList& names, std::span<const std::filesystem::path> files) {
  std::size_t added = 0;
  for (const std::filesystem::path& file : files) {
    if (names.size() >= kMaxHoldOverlays) break;
    const std::string name = file.string();
    if (name.empty() || std::find(names.begin(), names.end(), name) != names.end()) continue;
    names.push_back(name);
    ++added;
  }
  return added;
}

}  // namespace

std::size_t AddOverlayFiles(TDataMeas& record, std::span<const std::filesystem::path> files) {
  StringList names = record.FOverlayNames.value_or(StringList{});
  const std::size_t added = AddTo(names, files);
  if (added > 0) StoreList(record, names);
  return added;
}

bool RemoveOverlay(TDataMeas& record, std::size_t index) {
  if (!record.FOverlayNames || index >= record.FOverlayNames->size()) return false;
  StringList names = *record.FOverlayNames;
  names.erase(names.begin() + static_cast<std::ptrdiff_t>(index));
  StoreList(record, names);
  return true;
}

void SaveOverlayList(const TDataMeas& record, const std::filesystem::path& file) {
  std::string text;
  for (const std::string& name : record.FOverlayNames.value_or(StringList{})) {
    text += name;
    text += '\n';
  }
  WriteFileAtomically(file, text);
}

bool LoadOverlayList(TDataMeas& record, const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return false;
  std::vector<std::filesystem::path> files;
  for (const std::string_view line : SplitLines(*text)) {
    const std::string_view path = TrimBlanks(line);
    if (!path.empty()) files.emplace_back(std::string(path));
  }
  StringList names;
  AddTo(names, files);
  StoreList(record, names);
  return true;
}

}  // namespace vireon
