#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "files/DataItemWalk.h"
#include "files/ForeignFormats.h"
#include "files/LoadError.h"
#include "files/TextNumbers.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr int kMaxHeaderLines = 15;

struct ResponsePoint {
  double Freq = 0.0;
  double Magnitude = 0.0;
  double Phase = 0.0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool StartsLikeNumber(std::string_view line) {
  return !line.empty() && (IsDigit(line.front()) || line.front() == '+' || line.front() == '-');
}

std::vector<std::string_view> SplitAt(std::string_view line, std::string_view separators) {
  std::vector<std::string_view> tokens;
  while (true) {
    const auto start = line.find_first_not_of(separators);
    if (start == std::string_view::npos) return tokens;
    line.remove_prefix(start);
    const auto end = line.find_first_of(separators);
    tokens.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return tokens;
    line.remove_prefix(end);
  }
}

// "3,5" but not "3," or "3.5" or "1,2,3".
bool IsDecimalCommaOrPlain(std::string_view token) {
  const auto comma = token.find(',');
  if (comma == std::string_view::npos) return true;
  return comma > 0 && comma + 1 < token.size() &&
         token.find(',', comma + 1) == std::string_view::npos &&
         token.find('.') == std::string_view::npos;
}

// Values are separated by blanks, tabs, semicolons or commas. A line whose blank-separated
// fields each hold at most one comma between digits ("1000,5 -3,2") uses decimal commas.
std::optional<ResponsePoint> ParseResponseLine(std::string_view line) {
  std::vector<std::string_view> tokens = SplitAt(line, " \t;");
  const auto used =
      tokens.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(tokens.size(), 3));
  const bool decimal_commas =
      tokens.size() >= 2 && std::all_of(tokens.begin(), used, IsDecimalCommaOrPlain);
  if (!decimal_commas) tokens = SplitAt(line, " \t;,");
  if (tokens.size() < 2) return std::nullopt;
  std::array<double, 3> values{};
  for (std::size_t i = 0; i < std::min<std::size_t>(tokens.size(), 3); ++i) {
    const auto value = ParseDouble(tokens[i]);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    values[i] = *value;
  }
  return ResponsePoint{values[0], values[1], values[2]};
}

void ResetForResponse(TDataMeas& record, bool impedance) {
  record.ClearSlices();
  record.FNumFields = 3;
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FRtaFlag = 0;
  record.FNumDivisions = 8;
  record.FMarkerOn = {};
  record.FXUnits = "Hz";
  record.FFields[0].Units = "Hz";
  record.FFields[0].Name = "Frequency";
  record.FLogX = 1;
  record.FLinearFreq = 0;
  record.FSampleBits = 12;
  record.FSampleRate = 192000;
  record.FDisplayDelay = 0.0;
  record.FDelayA = 0.0;
  record.FDelayB = 0.0;
  record.FGridFlag = 1;
  record.FSpareDouble2 = 0.001;
  TFieldType& magnitude = record.FFields[1];
  TFieldType& phase = record.FFields[2];
  phase.Units.assign(1, '\xB0');  // the degree sign as the byte the files hold
  phase.PerDiv = 90.0;
  phase.RefValue = -180.0;
  phase.RefDiv = 4;
  phase.WrapPhase = 1;
  magnitude.PerDiv = 5.0;
  magnitude.WrapPhase = 1;
  magnitude.RefValue = 0.0;
  if (impedance) {
    record.FDataType = kImpedance;
    record.FTitle = "Impedance";
    magnitude.Name = "Impedance Magnitude";
    magnitude.Units = "Ohm";
    magnitude.ShowAsDb = 0;
    magnitude.RefDiv = 0;
    phase.Name = "Impedance Phase";
  } else {
    record.FDataType = kFrequencyResponse;
    record.FTitle = "Frequency Response";
    magnitude.Name = "Frequency Response Magnitude";
    magnitude.Units = "dB";
    magnitude.ShowAsDb = 1;
    magnitude.RefDiv = 6;
    phase.Name = "Frequency Response Phase";
  }
}

class ResponseReader {
 public:
  explicit ResponseReader(std::string_view text) : lines_(SplitLines(text)) {}

  // The next line that is not empty, without leading and trailing blanks.
  std::optional<std::string_view> Next() {
    while (next_ < lines_.size()) {
      const std::string_view line = TrimBlanks(lines_[next_++]);
      if (!line.empty()) return line;
    }
    return std::nullopt;
  }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

// Reads the points: a repeated frequency replaces the point before it, the second point fixes
// the direction, and a point that breaks it or a line that does not parse ends the data.
std::vector<ResponsePoint> ReadPoints(ResponseReader& reader,
                                      std::optional<std::string_view> line) {
  std::vector<ResponsePoint> points;
  for (; line; line = reader.Next()) {
    if (!points.empty() && !(IsDigit(line->front()) || line->front() == '+')) continue;
    const auto point = ParseResponseLine(*line);
    if (!point) break;
    if (!points.empty() && point->Freq == points.back().Freq) {
      points.back() = *point;
      continue;
    }
    if (points.size() >= 2) {
      const bool ascending = points[1].Freq > points[0].Freq;
      if (ascending ? point->Freq < points.back().Freq : point->Freq > points.back().Freq) break;
    }
    points.push_back(*point);
  }
  return points;
}

void FillRecord(TDataMeas& record, std::vector<ResponsePoint> points, bool impedance,
                const FileContext& context) {
  if (points.size() >= 2 && points[1].Freq < points[0].Freq) {
    std::reverse(points.begin(), points.end());
  }
  const auto count = static_cast<std::int32_t>(points.size());
  record.FNumPoints = count;
  record.AllocColumns();
  for (std::size_t i = 0; i < points.size(); ++i) {
    record.FFields[0].Values[i] = points[i].Freq;
    record.FFields[1].Values[i] = impedance ? points[i].Magnitude : FromDb(points[i].Magnitude);
    record.FFields[2].Values[i] = points[i].Phase;
  }
  const double first = points.front().Freq;
  const double last = points.back().Freq;
  if (last > 24000.0) {
    record.FSampleRate = static_cast<std::int32_t>(std::nearbyint(std::min(2.0 * last, 2.0e9)));
  }
  record.FViewStart = record.FStartTime = first;
  record.FBinWidth = {first, first};
  record.FViewStop = record.FEndX = last;
  record.FMarkerPixX = {0, count - 1, 0, 0, 0};
  for (std::size_t m = 0; m < 5; ++m) {
    record.FMarkerX[m] =
        static_cast<float>(points[static_cast<std::size_t>(record.FMarkerPixX[m])].Freq);
  }
  if (impedance) {
    record.FRefScale = 10.0;
    record.FUnity = 1.0;
  }
  record.FOverlayStyles = context.OverlayTable;
  record.FColors = context.PlotColors;
  record.FChanged = 0;
  record.FDerived = 0;
  record.FAxisSignature = record.AxisSignature();
}

}  // namespace

bool ImportResponseText(const std::filesystem::path& file, TDataMeas& record, bool impedance,
                        const FileContext& context, MessageSink& messages) {
  const auto text = ReadWholeFile(file);
  if (!text) return false;
  int progress = 0;
  try {
    ResetForResponse(record, impedance);
    ResponseReader reader(*text);
    std::optional<std::string_view> line = reader.Next();
    bool titled = false;
    if (line && !StartsLikeNumber(*line)) {
      progress = 1;
      record.FTitle = std::string(*line);
      titled = true;
      progress = 2;
      int skipped = 0;
      for (line = reader.Next(); line && !StartsLikeNumber(*line); line = reader.Next()) {
        if (++skipped > kMaxHeaderLines) throw LoadError(LoadFailure::kLinesExhausted);
      }
    }
    std::vector<ResponsePoint> points = ReadPoints(reader, line);
    // A title without data gives one neutral point at 1 kHz; a few points are no curve.
    if (points.empty() && titled) {
      points.push_back({1000.0, impedance ? 1.0 : 0.0, 0.0});
    } else if (points.size() < 4) {
      throw LoadError(LoadFailure::kLinesExhausted);
    }
    FillRecord(record, std::move(points), impedance, context);
  } catch (const LoadError& error) {
    ReportLoadFailure(error.Failure(), progress, record, messages);
    return false;
  }
  return true;
}

}  // namespace vireon
