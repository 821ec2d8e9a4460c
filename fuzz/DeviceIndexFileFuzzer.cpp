// Loads arbitrary bytes as a device index file: nothing may crash, the entries must survive a
// write and read, and a looked-up file name never leaves the data directory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzRequire.h"
#include "audio/settings/DeviceIndexFile.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto entries = vireon::ParseDeviceIndex(bytes);
  const auto again = vireon::ParseDeviceIndex(vireon::DeviceIndexText(entries));
  Require(again.size() == entries.size());

  const std::size_t before = entries.size();
  const std::string device = entries.empty() ? std::string("Card") : entries.front().device_name;
  const std::string mixer = entries.empty() ? std::string() : entries.front().mixer_name;
  bool added = false;
  const std::string base =
      vireon::FindOrAddDeviceBaseName(entries, vireon::WaveDirection::kPlay, device, mixer, added);
  Require(entries.size() == before + (added ? 1 : 0));
  Require(!base.empty() && base != "." && base != "..");
  Require(base.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos);
  return 0;
}
