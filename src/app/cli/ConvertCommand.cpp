#include "app/cli/ConvertCommand.h"

#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "app/cli/SavedRecord.h"

namespace vireon::cli {
namespace {

struct ConvertOptions {
  std::string in;
  std::string out;
  SaveChoices save;
};

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
  command->add_option("--format", options->save.format, "mlssa: the MLSSA time export")
      ->check(CLI::IsMember({"mlssa"}));
  command->add_option("--bits", options->save.wav_bits, "WAV resolution (default: the record's)")
      ->check(CLI::IsMember({8, 16, 24, 32}));

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    SaveRecordOrThrow(options->out, LoadRecordOrThrow(options->in), options->save);
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
