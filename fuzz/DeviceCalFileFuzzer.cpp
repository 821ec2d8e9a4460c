// Loads arbitrary bytes as a per-device file: nothing may crash, and a file that loads must write
// out and load back unchanged.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzRequire.h"
#include "audio/settings/TDeviceCal.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto cal = vireon::ParseDeviceCal(bytes);
  if (!cal) return 0;
  Require(cal->stabilizing_ms >= 0.0);
  Require(cal->probe_balance_ratio >= 0.1);
  Require(cal->maximum_code >= 1000);
  const auto again = vireon::ParseDeviceCal(vireon::DeviceCalText(*cal));
  Require(again.has_value());
  vireon::TDeviceCal expected = *cal;
  // Older files are written as the current version, their older reference value dropped.
  expected.version = vireon::kDeviceCalVersion;
  expected.older_reference = 0.0;
  Require(*again == expected);
  return 0;
}
