#include "files/WeightingFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "files/TextNumbers.h"
#include "record/DataTypes.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kSeparators = "\t ,;";
constexpr std::size_t kExtensionLength = 4;  // ".wgt", ".frd", ".dat"

std::string_view SkipBlanks(std::string_view text) {
  const std::size_t start = text.find_first_not_of(kBlanks);
  return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

// Commas separate the numbers here, so a decimal comma cannot be part of one.
std::optional<double> ParseNumber(std::string_view token) {
  if (token.empty() || token.find_first_of(kSeparators) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<double> value = ParseDouble(token);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

bool StartsLikeNumber(std::string_view line) {
  return !line.empty() && (line.front() == '+' || line.front() == '-' ||
                           (line.front() >= '0' && line.front() <= '9'));
}

}  // namespace

std::optional<CurveLine> ParseCurveLine(std::string_view line) {
  line = SkipBlanks(line);
  std::array<double, 2> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t end = line.find_first_of(kSeparators);
    const std::optional<double> value = ParseNumber(line.substr(0, end));
    if (!value) return std::nullopt;
    values[i] = *value;
    line = end == std::string_view::npos ? std::string_view{} : SkipBlanks(line.substr(end + 1));
    if (i == 0 && line.empty()) return std::nullopt;
  }
  CurveLine point{values[0], values[1], 0.0};
  line = TrimBlanks(line);
  if (!line.empty()) {
    const std::optional<double> phase = ParseNumber(line);
    if (!phase) return std::nullopt;
    point.Phase = *phase;
  }
  return point;
}

std::optional<TWeighting> LoadWeightingFile(const std::filesystem::path& file, bool keep_phase,
                                            MessageSink& messages) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return std::nullopt;
  std::vector<std::string_view> lines;
  for (std::string_view line : SplitLines(*text)) {
    line = SkipBlanks(line);
    if (!line.empty()) lines.push_back(line);
  }
  // A title, and whatever header follows it, ends at the first line that starts like a number.
  auto first = lines.begin();
  while (first != lines.end() && !StartsLikeNumber(*first)) ++first;
  if (first == lines.end() || !ParseCurveLine(*first)) {
    messages.ShowMessage("File Format Error!");
    return std::nullopt;
  }

  TWeighting weighting;
  for (auto line = first; line != lines.end(); ++line) {
    const std::optional<CurveLine> point = ParseCurveLine(*line);
    if (!point) return std::nullopt;  // data must run to the end of the file
    weighting.Points.push_back(
        {point->Freq, FromDb(point->Level), keep_phase ? point->Phase : 0.0});
  }
  weighting.Info = file.string();
  const std::string name = file.filename().string();
  weighting.Name = name.substr(0, name.size() - std::min(name.size(), kExtensionLength));
  return weighting;
}

bool TakesWeightingFile(const TDataMeas& record) {
  switch (record.FDataType) {
    case kFrequencyResponse:
    case kSpectrum:
    case kRtaBands:
    case kMaximumLevelCapability:
      return true;
    default:
      return false;
  }
}

std::string WeightingCaption(const TDataMeas& record) {
  return record.FWeighting ? record.FWeighting->Name : std::string("<none>");
}

}  // namespace vireon
