// Loads arbitrary bytes as frequency-response and impedance text: nothing may crash or hang,
// and a curve that loads has ascending frequencies.

#include "FuzzInputFile.h"
#include "files/ForeignFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".frd");
  for (const bool impedance : {false, true}) {
    CollectedMessages messages;
    TDataMeas record;
    if (!ImportResponseText(file, record, impedance, FileContext{}, messages)) continue;
    const DataArray& x = record.FFields[0].Values;
    fuzzing::Require(x.size() == static_cast<std::size_t>(record.FNumPoints));
    for (std::size_t i = 1; i < x.size(); ++i) fuzzing::Require(x[i] > x[i - 1]);
  }
  return 0;
}
