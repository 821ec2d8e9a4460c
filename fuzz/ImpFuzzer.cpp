// Loads arbitrary bytes as an .imp impulse file: nothing may crash or hang.

#include "FuzzInputFile.h"
#include "files/ForeignFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".imp");
  CollectedMessages messages;
  TDataMeas record;
  if (ImportImp(file, record, FileContext{}, messages)) {
    fuzzing::Require(record.FFields[0].Values.size() ==
                     static_cast<std::size_t>(record.FNumPoints));
  }
  return 0;
}
