// Loads arbitrary bytes as an .im2 impulse file of 6-byte reals: nothing may crash or hang.

#include "FuzzInputFile.h"
#include "files/ForeignFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".im2");
  CollectedMessages messages;
  TDataMeas record;
  if (ImportIm2(file, record, FileContext{}, messages)) {
    fuzzing::Require(record.FWinStart >= 0 && record.FWinEnd < record.FNumPoints);
  }
  return 0;
}
