// Loads arbitrary bytes as a text data file: nothing may crash, hang or allocate beyond what
// the file's lines can hold, and a record that loads must save.

#include "FuzzInputFile.h"
#include "files/TextDataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".vrd");
  CollectedMessages messages;
  TDataMeas record;
  if (LoadTextDataFile(file, record, FileContext{}, messages)) {
    fuzzing::Require(!EncodeTextDataFile(record, file.string()).empty());
  }
  return 0;
}
