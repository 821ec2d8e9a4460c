// Reads arbitrary bytes as the channel skew file: nothing may crash or hang, a file is either
// accepted or reported with the file's error message, and a rejected file corrects nothing.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzRequire.h"
#include "audio/engine/ChannelSkewFile.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const int rate : {44100, 96000}) {
    for (const std::string_view device : {"Card [1]", "DEFAULT", ""}) {
      const vireon::ChannelSkewReading reading = vireon::ParseChannelSkew(bytes, device, rate);
      const vireon::ChannelSkew& skew = reading.skew;
      if (!reading.error.empty()) {
        Require(reading.error == "Error in SpecialSoundcard.qtq file!");
        Require(skew == vireon::ChannelSkew{});
      }
      Require(!(skew.left_late && skew.right_late));
      Require(std::isfinite(skew.time_correction) && std::fabs(skew.time_correction) <= 1.0);
      Require(skew.time_correction == 0.0 || (!skew.left_late && !skew.right_late));
    }
  }
  return 0;
}
