// Loads arbitrary bytes as a wave-set file: nothing may crash, and a set that loads must write
// out and load back unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzRequire.h"
#include "stimulus/ToneSetFile.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto list = vireon::ParseToneSetText(bytes, 48000);
  if (!list) return 0;
  const auto again = vireon::ParseToneSetText(vireon::ToneSetText(*list), 48000);
  Require(again.has_value() && again->size() == list->size());
  for (std::size_t i = 0; i < list->size(); ++i) {
    const vireon::TSinePars& a = (*list)[i];
    const vireon::TSinePars& b = (*again)[i];
    Require(a.Kind == b.Kind && a.Frequency == b.Frequency && a.Amplitude == b.Amplitude &&
            a.Phase == b.Phase && a.Duty == b.Duty);
  }
  for (const std::int64_t n : {0, 1, 12345, 1 << 30}) (void)vireon::ToneSetValue(*list, n);
  return 0;
}
