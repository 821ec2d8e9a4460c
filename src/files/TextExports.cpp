#include "files/TextExports.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "common/AtomicFile.h"
#include "common/DateTime.h"
#include "common/NumberText.h"
#include "common/VireonError.h"
#include "files/TextItems.h"
#include "files/TextNumbers.h"
#include "plot/FrequencyTrace.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr int kFirstXDecimals = 4;
constexpr int kLastXDecimals = 14;

// Export lines keep their full length; only header lines are cut.
void AppendLine(std::string& text, std::string_view line) {
  text.append(line);
  text.append("\r\n");
}

bool WriteText(const std::filesystem::path& file, const std::string& text) {
  try {
    WriteFileAtomically(file, text);
  } catch (const VireonError&) {
    return false;
  }
  return true;
}

std::int32_t RoundToIndex(double value) {
  if (!(std::fabs(value) < 2.0e9)) return value > 0 ? INT32_MAX : 0;
  return static_cast<std::int32_t>(std::nearbyint(value));
}

// The columns the export prints: trace A and trace B, skipping a negative trace. A response
// with only trace A on its magnitude and an unnamed column 2 prints column 2 as trace B.
std::vector<int> ExportedColumns(const TDataMeas& record) {
  std::int32_t trace_b = record.FTraceB;
  if (record.FTraceA == 1 && trace_b < 0 && record.FNumFields > 2 &&
      record.FFields[2].Units == "?") {
    trace_b = 2;
  }
  std::vector<int> columns;
  for (const std::int32_t trace : {record.FTraceA, trace_b}) {
    if (trace >= 0) columns.push_back(record.ClampColumn(trace));
  }
  return columns;
}

// Phase columns are read as the plot draws them; `phase` is the column's when it is one.
double ExportedValue(TDataMeas& record, int column, std::int32_t index,
                     const std::optional<ShownPhase>& phase, const AsciiExportOptions& options) {
  const TFieldType& field = record.FFields[static_cast<std::size_t>(column)];
  if (record.IsSampled()) return field.Values[static_cast<std::size_t>(index)];
  if (phase) return phase->At(index, false);
  if (record.FDataType == kImpedance) return record.ValueAt(column, index, -1);
  if (field.ShowAsDb != 0) {
    const double value = record.ValueAt(column, index, -1);
    return options.DistortionAsPercent ? 100.0 * value : ToDb(value);
  }
  return field.Values[static_cast<std::size_t>(index)];
}

// Prints x with as many decimals (4 to 14) as it takes to come out above the x printed before;
// `previous` becomes the value printed.
std::string FormatRisingX(double x, std::optional<double>& previous) {
  for (int decimals = kFirstXDecimals;; ++decimals) {
    std::string text = FormatScientific(x, decimals);
    const double printed = ParseDouble(text).value_or(x);
    if (!previous || printed > *previous || decimals == kLastXDecimals) {
      previous = printed;
      return text;
    }
  }
}

}  // namespace

bool ExportMlssaTime(const std::filesystem::path& file, const TDataMeas& record) {
  if (!record.IsSampled() || record.FSampleRate <= 0 || record.FNumFields < 1) return false;
  std::string text;
  AppendLine(text, " 1");
  AppendLine(text, " " + FormatDouble(1000.0 / record.FSampleRate));
  const std::int32_t points = std::max(record.FNumPoints, 0);
  const DataArray& samples = record.FFields[0].Values;
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(points), samples.size());
  AppendLine(text, " " + FormatInt(static_cast<std::int64_t>(count)));
  for (std::size_t i = 0; i < count; ++i) AppendLine(text, " " + FormatDouble(samples[i]));
  AppendLine(text, " " + record.FTitle);
  return WriteText(file, text);
}

bool ExportAsciiGeneral(const std::filesystem::path& file, const TDataMeas& source,
                        const AsciiExportOptions& options) {
  // The weighting cursors change the record the values are read from.
  TDataMeas record;
  record.CopyFrom(source);
  const std::int32_t points = std::min<std::int32_t>(
      std::max(record.FNumPoints, 0),
      static_cast<std::int32_t>(std::min<std::size_t>(record.FFields[0].Values.size(), INT32_MAX)));
  if (points < 1) return false;
  const bool sampled = record.IsSampled();
  std::int32_t first = 0;
  std::int32_t last = points - 1;
  if (sampled && !options.AllPoints) {
    first = std::clamp(RoundToIndex(record.FSampleRate * record.FViewStart), 0, points - 1);
    last = std::clamp(RoundToIndex(record.FSampleRate * record.FViewStop) + 1, 0, points - 1);
  }
  const std::vector<int> columns = ExportedColumns(record);
  std::array<std::optional<ShownPhase>, kMaxColumns> phases;
  for (const int column : columns) {
    const TFieldType& field = record.FFields[static_cast<std::size_t>(column)];
    if (field.Values.size() < static_cast<std::size_t>(points)) return false;
    if (!sampled && record.IsPhase(column))
      phases[static_cast<std::size_t>(column)].emplace(record, column);
  }

  std::string text;
  for (const std::string& header : options.HeaderLines) {
    AppendLine(text, std::string_view(header).substr(0, kMaxTextLine));
  }
  const std::string separator = options.Comma ? "," : "   ";
  std::optional<double> previous_x;
  std::optional<double> previous_printed;
  std::string line;
  for (std::int32_t i = first; i <= last; ++i) {
    double x = sampled ? i / static_cast<double>(record.FSampleRate)
                       : record.FFields[0].Values[static_cast<std::size_t>(i)];
    // A first x of 0 (a DC point) cannot go on a logarithmic axis: print half the next x.
    if (!sampled && i == 0 && x <= 0.0 && points > 1) x = record.FFields[0].Values[1] / 2.0;
    if (previous_x && !(x > *previous_x)) return false;
    previous_x = x;
    line = FormatRisingX(x, previous_printed);
    for (const int column : columns) {
      line += separator;
      line += FormatScientific(
          ExportedValue(record, column, i, phases[static_cast<std::size_t>(column)], options), 4);
    }
    AppendLine(text, line);
  }
  return WriteText(file, text);
}

bool ExportSlices(const std::filesystem::path& file, const TDataMeas& record) {
  if (record.FPlotKind < 2 || record.FPlotKind > 5 || record.FNumFields < 2) return false;
  std::string text;
  AppendLine(text, record.FSliceUnits + ", " + record.FXUnits + ", " + record.FFields[1].Units);
  std::string line;
  for (const double value : record.FSliceValues) line += ", " + FormatDouble(value);
  AppendLine(text, line);
  const std::int32_t points = std::max(record.FNumPoints, 0);
  for (std::int32_t i = 0; i < points; ++i) {
    line = FormatDouble(record.XAt(i));
    for (const DataArray& slice : record.FSlices) {
      const auto index = static_cast<std::size_t>(i);
      line += ", " + FormatDouble(index < slice.size() ? slice[index] : 0.0);
    }
    AppendLine(text, line);
  }
  return WriteText(file, text);
}

bool ExportPolarCsv(const std::filesystem::path& file, const TDataMeas& source) {
  constexpr double kLowestFrequency = 0.1;
  constexpr int kLevelDigits = 3;
  if (source.FPlotKind != kPolarPlotKind || source.FNumFields < 2) return false;
  // The weighting cursors change the record the levels are read from.
  TDataMeas record;
  record.CopyFrom(source);
  std::string text;
  AppendLine(text, "Vireon Polar Data:  dB");
  AppendLine(text, "  data aquired on " + FormatDateTime(record.FTimeStamp).value_or(""));
  std::string line = "Hz \\ \xB0";  // the record's 8-bit degree sign
  for (const double angle : record.FSliceValues) line += "," + FormatDouble(angle);
  AppendLine(text, line);
  const std::int32_t points = std::max(record.FNumPoints, 0);
  const int slices = static_cast<int>(record.FSlices.size());
  for (std::int32_t i = 0; i < points; ++i) {
    const double frequency = record.XAt(i);
    if (frequency < kLowestFrequency) continue;
    line = FormatDouble(frequency);
    for (int slice = 0; slice < slices; ++slice) {
      const double level = 20.0 * SafeLog10(record.ValueAt(1, i, slice));
      line += "," + FormatGeneral(level, kLevelDigits);
    }
    AppendLine(text, line);
  }
  return WriteText(file, text);
}

bool IsSliceKind(const TDataMeas& record) { return record.FPlotKind >= 2 && record.FPlotKind <= 5; }

TDataMeas RecordInRange(const TDataMeas& source, double first, double last) {
  const double low = std::min(first, last);
  const double high = std::max(first, last);
  TDataMeas record;
  record.CopyFrom(source);
  if (record.IsSampled()) {
    record.FViewStart = low;
    record.FViewStop = high;
  } else if (IsSliceKind(record)) {
    for (std::size_t i = record.FSliceValues.size(); i-- > 0;) {
      if (record.FSliceValues[i] >= low && record.FSliceValues[i] <= high) continue;
      record.FSliceValues.erase(record.FSliceValues.begin() + static_cast<std::ptrdiff_t>(i));
      if (i < record.FSlices.size()) {
        record.FSlices.erase(record.FSlices.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    record.FSliceCount = static_cast<std::int32_t>(record.FSliceValues.size());
  } else {
    const DataArray& x = record.FFields[0].Values;
    const auto begin = std::lower_bound(x.begin(), x.end(), low) - x.begin();
    const auto end = std::upper_bound(x.begin(), x.end(), high) - x.begin();
    for (int column = 0; column < record.FNumFields; ++column) {
      DataArray& values = record.FFields[static_cast<std::size_t>(column)].Values;
      if (values.size() < static_cast<std::size_t>(end)) continue;
      values = DataArray(values.begin() + begin, values.begin() + end);
    }
    record.FNumPoints = static_cast<std::int32_t>(end - begin);
    if (end > begin) {
      record.FStartTime = record.FFields[0].Values.front();
      record.FEndX = record.FFields[0].Values.back();
    }
  }
  return record;
}

}  // namespace vireon
