#include "app/cli/ConvertCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/FileIO_Data.h"
#include "files/TextDataFile.h"
#include "files/TextExports.h"
#include "files/WavFileWrite.h"

namespace vireon::cli {
namespace {

struct ConvertOptions {
  std::string in;
  std::string out;
  std::string format;
  int bits = 0;
};

// The record's own resolution, as the nearest depth a WAV file can hold (24 when unknown).
int DefaultWavBits(std::int32_t sample_bits) {
  if (sample_bits <= 0) return 24;
  for (const int bits : {8, 16, 24}) {
    if (sample_bits <= bits) return bits;
  }
  return 32;
}

bool Write(const ConvertOptions& options, const TDataMeas& record, MessageSink& messages) {
  const std::filesystem::path out(options.out);
  const std::string extension = FoldAsciiCase(out.extension().string());
  if (options.format == "mlssa") return ExportMlssaTime(out, record);
  if (extension == FoldAsciiCase(".vr2")) return SaveDataFile(out, record, false, messages);
  if (extension == FoldAsciiCase(".vrd")) return SaveTextDataFile(out, record, messages);
  if (extension == FoldAsciiCase(".wav")) {
    const int bits = options.bits != 0 ? options.bits : DefaultWavBits(record.FSampleBits);
    return SaveWavData(out, record, bits, 1.0, WavChannelChoice::kColumn0, record.FNumFields >= 2,
                       messages);
  }
  AsciiExportOptions ascii;
  ascii.Comma = extension == FoldAsciiCase(".csv");
  ascii.AllPoints = true;
  return ExportAsciiGeneral(out, record, ascii);
}

}  // namespace

std::function<int()> AddConvertCommand(CLI::App& app) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command =
      app.add_subcommand("convert", "Load a data file and write it in the format OUT names");
  command->add_option("IN", options->in, "Data file to load")->required();
  command
      ->add_option("OUT", options->out,
                   "File to write: .vr2, .vrd, .wav, .csv, else the ASCII export")
      ->required();
  command->add_option("--format", options->format, "mlssa: the MLSSA time export")
      ->check(CLI::IsMember({"mlssa"}));
  command->add_option("--bits", options->bits, "WAV resolution (default: the record's)")
      ->check(CLI::IsMember({8, 16, 24, 32}));

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    const TDataMeas record = LoadRecordOrThrow(options->in);
    CollectedMessages messages;
    if (Write(*options, record, messages)) return kExitSuccess;
    for (const std::string& message : messages.Texts())
      std::fprintf(stderr, "%s\n", message.c_str());
    throw VireonError("Error saving file!");
  };
}

}  // namespace vireon::cli
