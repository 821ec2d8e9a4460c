// Reads arbitrary bytes as an overlay list file: nothing may crash or hang, and the list never
// grows past the eight overlays a plot draws or holds a name twice.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "FuzzInputFile.h"
#include "plot/OverlayList.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = vireon::fuzzing::WriteInput(data, size, ".txt");
  vireon::TDataMeas record;
  if (vireon::LoadOverlayList(record, file) && record.FOverlayNames) {
    auto names = *record.FOverlayNames;
    Require(names.size() <= 8);
    std::sort(names.begin(), names.end());
    Require(std::adjacent_find(names.begin(), names.end()) == names.end());
  }
  std::filesystem::remove(file);
  return 0;
}
