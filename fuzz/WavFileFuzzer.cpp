// Loads arbitrary bytes as a WAV file: nothing may crash, hang or allocate beyond the file's
// size; a file that loads holds one or two full columns and writes back as a WAV file.

#include "FuzzInputFile.h"
#include "files/WavFile.h"
#include "files/WavFileWrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vireon;
  const auto file = fuzzing::WriteInput(data, size, ".wav");
  (void)ProbeWavFile(file);
  (void)WavFileInfo(file);
  CollectedMessages messages;
  TDataMeas record;
  if (!LoadWavData(file, record, FileContext{}, messages)) return 0;
  fuzzing::Require(record.FNumFields == 1 || record.FNumFields == 2);
  for (int c = 0; c < record.FNumFields; ++c) {
    fuzzing::Require(record.FFields[static_cast<std::size_t>(c)].Values.size() ==
                     static_cast<std::size_t>(record.FNumPoints));
  }
  if (record.FSampleRate > 0) {
    fuzzing::Require(SaveWavData(file, record, 16, 1.0, WavChannelChoice::kMix, true, messages));
  }
  return 0;
}
