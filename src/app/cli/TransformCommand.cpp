#include "app/cli/TransformCommand.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "app/cli/SavedRecord.h"
#include "record/RecordConversion.h"

namespace vireon::cli {
namespace {

const std::map<std::string, RecordConversion> kConversionNames = {
    {"fr", RecordConversion::kFrequencyResponse},
    {"time", RecordConversion::kTimeDomain},
    {"spectrum", RecordConversion::kSpectrum},
    {"rta", RecordConversion::kRta},
    {"transfer", RecordConversion::kTransfer},
    {"2ch-spectrum", RecordConversion::kTwoChannelSpectrum},
    {"deconvolve", RecordConversion::kDeconvolve}};

struct TransformOptions {
  std::string in;
  std::string out;
  std::string to;
  std::optional<int> window;
  std::optional<int> fft;
  std::vector<int> gate;  // START END
  int rta_resolution = 6;
};

ConversionRequest RequestOf(const TransformOptions& options) {
  ConversionRequest request;
  request.to = kConversionNames.at(options.to);
  if (options.window) request.window = static_cast<std::uint8_t>(*options.window);
  request.fft_length = options.fft;
  if (options.gate.size() == 2) {
    if (options.gate[0] >= options.gate[1]) throw UsageError("--gate needs START below END");
    request.gate = std::pair(options.gate[0], options.gate[1]);
  }
  request.rta_resolution = options.rta_resolution;
  return request;
}

}  // namespace

std::function<int()> AddTransformCommand(CLI::App& app) {
  auto options = std::make_shared<TransformOptions>();
  CLI::App* command = app.add_subcommand(
      "transform", "Convert a record: frequency response, spectrum, bands, transfer function...");
  std::vector<std::string> names;
  for (const auto& [name, conversion] : kConversionNames) names.push_back(name);
  command->add_option("--to", options->to, "The conversion")
      ->required()
      ->check(CLI::IsMember(names));
  command->add_option("--window", options->window, "Window code 0..15 (default: the record's)")
      ->check(CLI::Range(0, 15));
  command->add_option("--fft", options->fft, "FFT length setting (default: the record's length)")
      ->check(CLI::Range(16, 1 << 24));
  command
      ->add_option("--gate", options->gate,
                   "Gate START END, inclusive sample indexes (default: the record's)")
      ->expected(2)
      ->check(CLI::NonNegativeNumber);
  command->add_option("--rta-resolution", options->rta_resolution, "RTA bands of 1/N octave")
      ->check(CLI::Range(1, 48));
  command->add_option("IN", options->in, "Data file to load")->required();
  command->add_option("OUT", options->out, "File to write, in the format its extension names")
      ->required();

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    const ConversionRequest request = RequestOf(*options);
    AnalysisContext context;
    SaveRecordOrThrow(options->out,
                      ConvertRecord(LoadRecordOrThrow(options->in), request, context));
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
