#include "app/cli/SavedRecord.h"

#include <filesystem>

#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/FileContext.h"
#include "files/FileIO_Data.h"
#include "files/TextDataFile.h"
#include "files/TextExports.h"
#include "files/WavFileWrite.h"

namespace vireon::cli {
namespace {

// The record's own resolution, as the nearest depth a WAV file can hold (24 when unknown).
int DefaultWavBits(std::int32_t sample_bits) {
  if (sample_bits <= 0) return 24;
  for (const int bits : {8, 16, 24}) {
    if (sample_bits <= bits) return bits;
  }
  return 32;
}

bool Write(const std::filesystem::path& out, const TDataMeas& record, const SaveChoices& choices,
           MessageSink& messages) {
  const std::string extension = FoldAsciiCase(out.extension().string());
  if (choices.format == "mlssa") return ExportMlssaTime(out, record);
  if (extension == ".vr2") return SaveDataFile(out, record, false, messages);
  if (extension == ".vrd") return SaveTextDataFile(out, record, messages);
  if (extension == ".wav") {
    const int bits = choices.wav_bits != 0 ? choices.wav_bits : DefaultWavBits(record.FSampleBits);
    return SaveWavData(out, record, bits, 1.0, WavChannelChoice::kColumn0, record.FNumFields >= 2,
                       messages);
  }
  AsciiExportOptions ascii;
  ascii.Comma = extension == ".csv";
  ascii.AllPoints = true;
  return ExportAsciiGeneral(out, record, ascii);
}

}  // namespace

void SaveRecordOrThrow(const std::string& file, const TDataMeas& record,
                       const SaveChoices& choices) {
  CollectedMessages messages;
  if (Write(file, record, choices, messages)) return;
  std::string text;
  for (const std::string& message : messages.Texts()) text += message + "\n";
  throw VireonError(text + "Error saving file!");
}

}  // namespace vireon::cli
