#include "audio/devices/simulated/BenchValueText.h"

#include <cmath>
#include <optional>

#include "common/NumberText.h"
#include "config/AsciiCase.h"
#include "files/FileContext.h"
#include "files/WavFile.h"
#include "record/DataObj.h"

namespace vireon {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kMaxFirTaps = 65536;

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

void RequireWordCount(std::string_view stage, const std::vector<std::string_view>& words,
                      std::size_t count) {
  if (words.size() != count) {
    throw BenchValueError("stage " + Quoted(stage) + " needs " + std::to_string(count - 1) +
                          " numbers");
  }
}

double PositiveNumber(std::string_view word) {
  const double value = ParseFiniteNumber(word);
  if (value <= 0.0) throw BenchValueError(Quoted(word) + " must be above 0");
  return value;
}

ButterworthStage Butterworth(ButterworthKind kind, std::string_view stage,
                             const std::vector<std::string_view>& words) {
  RequireWordCount(stage, words, 3);
  return {kind, static_cast<int>(ParseWholeNumber(words[1], 1, 8)), PositiveNumber(words[2])};
}

PeakStage Peak(std::string_view stage, const std::vector<std::string_view>& words) {
  RequireWordCount(stage, words, 4);
  return {PositiveNumber(words[1]), ParseFiniteNumber(words[2]), PositiveNumber(words[3])};
}

BiquadStage Biquad(std::string_view stage, const std::vector<std::string_view>& words) {
  RequireWordCount(stage, words, 6);
  const BiquadStage biquad{ParseFiniteNumber(words[1]), ParseFiniteNumber(words[2]),
                           ParseFiniteNumber(words[3]), ParseFiniteNumber(words[4]),
                           ParseFiniteNumber(words[5])};
  // Poles inside the unit circle (the stability triangle); an unstable stage would only ever
  // record full-scale garbage.
  if (!(std::abs(biquad.a2) < 1.0 && std::abs(biquad.a1) < 1.0 + biquad.a2)) {
    throw BenchValueError("stage " + Quoted(stage) + " is unstable");
  }
  return biquad;
}

FirStage Fir(std::string_view stage, const std::filesystem::path& folder) {
  const std::string_view name = Trim(stage.substr(3));
  if (name.empty()) throw BenchValueError("stage " + Quoted(stage) + " needs a WAV file");
  const std::filesystem::path file = folder / std::filesystem::path(std::string(name));
  TDataMeas record;
  CollectedMessages messages;
  if (!LoadWavData(file, record, FileContext{}, messages) || record.FNumPoints < 1) {
    throw BenchValueError("cannot read the WAV file " + Quoted(file.string()));
  }
  const DataArray& channel1 = record.FFields[0].Values;
  if (channel1.size() > kMaxFirTaps) {
    throw BenchValueError("the WAV file " + Quoted(file.string()) + " has more than " +
                          std::to_string(kMaxFirTaps) + " taps");
  }
  return FirStage{channel1};
}

FilterStage Stage(std::string_view stage, const std::filesystem::path& folder) {
  const std::vector<std::string_view> words = SplitWords(stage);
  const std::string kind = FoldAsciiCase(words.front());
  if (kind == "lowpass") return Butterworth(ButterworthKind::kLowpass, stage, words);
  if (kind == "highpass") return Butterworth(ButterworthKind::kHighpass, stage, words);
  if (kind == "peak") return Peak(stage, words);
  if (kind == "biquad") return Biquad(stage, words);
  if (kind == "fir") return Fir(stage, folder);
  throw BenchValueError("unknown filter stage " + Quoted(stage));
}

}  // namespace

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  while (true) {
    const auto start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) return words;
    text.remove_prefix(start);
    const auto end = std::min(text.find_first_of(kBlanks), text.size());
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
}

double ParseFiniteNumber(std::string_view word) {
  const std::optional<double> value = ParseDouble(word);
  if (!value || !std::isfinite(*value)) throw BenchValueError(Quoted(word) + " is not a number");
  return *value;
}

long long ParseWholeNumber(std::string_view word, long long min, long long max) {
  const std::optional<std::int64_t> value = ParseInt(word);
  if (!value) throw BenchValueError(Quoted(word) + " is not a whole number");
  if (*value < min || *value > max) {
    throw BenchValueError(Quoted(word) + " is outside " + std::to_string(min) + " to " +
                          std::to_string(max));
  }
  return *value;
}

std::vector<FilterStage> ParseFilterStages(std::string_view text,
                                           const std::filesystem::path& folder) {
  std::vector<FilterStage> stages;
  if (EqualIgnoringAsciiCase(Trim(text), "none")) return stages;
  while (!text.empty()) {
    const auto end = std::min(text.find(';'), text.size());
    const std::string_view stage = Trim(text.substr(0, end));
    if (!stage.empty()) stages.push_back(Stage(stage, folder));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return stages;
}

}  // namespace vireon
