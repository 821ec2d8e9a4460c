// Reads arbitrary bytes as a weighting curve file: nothing may crash or hang, and an accepted
// weighting holds finite, positive factors at ascending-or-equal order of reading.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "FuzzInputFile.h"
#include "files/FileContext.h"
#include "files/WeightingFile.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = vireon::fuzzing::WriteInput(data, size, ".wgt");
  for (const bool keep_phase : {false, true}) {
    vireon::CollectedMessages messages;
    const std::optional<vireon::TWeighting> weighting =
        vireon::LoadWeightingFile(file, keep_phase, messages);
    if (!weighting) continue;
    Require(!weighting->Points.empty());
    for (const vireon::WeightingPoint& point : weighting->Points) {
      Require(std::isfinite(point.Freq));
      Require(std::isfinite(point.Factor) && point.Factor >= 0.0);
    }
  }
  std::filesystem::remove(file);
  return 0;
}
