// Loads arbitrary bytes as a binary data file: nothing may crash, hang or allocate beyond the
// file's size, and a record that loads must write a file that loads back to the same bytes.

#include "FuzzInputFile.h"
#include "files/FileIO_Data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".vr2");
  const FileContext context;
  CollectedMessages messages;
  TDataMeas record;
  if (!LoadDataFile(file, record, false, false, context, messages)) return 0;
  fuzzing::Require(messages.Texts().empty());
  // Waterfalls convert column 1 through decibels, which need not round-trip to the last bit.
  if (record.FPlotKind == 2) return 0;
  const auto written = EncodeDataFile(record, file.string(), false);
  fuzzing::Require(written.has_value());
  const auto again_file = fuzzing::WriteInput(
      reinterpret_cast<const std::uint8_t*>(written->data()), written->size(), ".vr2");
  TDataMeas again;
  fuzzing::Require(LoadDataFile(again_file, again, false, false, context, messages));
  fuzzing::Require(EncodeDataFile(again, file.string(), false) == written);
  return 0;
}
