#include "files/DataTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "common/NumberText.h"
#include "files/TextNumbers.h"
#include "plot/CurveRules.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr std::size_t kCellChars = 12;
constexpr int kGeneralDigits = 7;
// Enough decimals to tell apart any two doubles; the widening of the first column stops here
// even when lines repeat a value.
constexpr int kMaxFirstCellDecimals = 16;
constexpr int kFirstCellDecimals = 4;
constexpr int kDataCellDecimals = 6;

std::string Cut(std::string text) {
  if (text.size() > kCellChars) text.resize(kCellChars);
  return text;
}

std::string General(double value, int digits = kGeneralDigits) {
  return FormatGeneral(value, digits, 1);
}

// Fixed point with trailing zeros, and then a trailing point, removed: 1000.000 → "1000".
std::string FixedTrimmed(double value, int decimals) {
  if (!std::isfinite(value)) return General(value);
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text(buffer);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

// The first cell of each copied line: its exponent format widens until consecutive lines read
// differently, so a spreadsheet never sees two equal x values that were distinct.
class WideningFirstCell {
 public:
  std::string Next(double value) {
    // Compared as printed with one decimal fewer than the cell itself gets.
    double shown = ParseBack(value, decimals_ - 1);
    while (previous_ && shown <= *previous_ && decimals_ < kMaxFirstCellDecimals) {
      ++decimals_;
      shown = ParseBack(value, decimals_ - 1);
    }
    previous_ = shown;
    return FormatScientific(value, decimals_);
  }

 private:
  static double ParseBack(double value, int decimals) {
    return ParseDouble(FormatScientific(value, decimals)).value_or(value);
  }

  int decimals_ = kFirstCellDecimals;
  std::optional<double> previous_;  // none before the first line
};

}  // namespace

std::int64_t TableSelection::CellCount() const {
  const TableSelection o = Ordered();
  return std::int64_t{o.last_column - o.first_column + 1} *
         (std::int64_t{o.last_point} - o.first_point + 1);
}

TableSelection TableSelection::Ordered() const {
  return {std::min(first_column, last_column), std::max(first_column, last_column),
          std::min(first_point, last_point), std::max(first_point, last_point)};
}

std::string BigCopyQuestion(std::int64_t cells) {
  return "Selected range includes " + FormatInt(cells) +
         " cells, and will require you to wait!  Continue?";
}

std::int32_t TableScrollMaximum(std::int32_t points, int grid_rows) {
  return std::max<std::int32_t>(1, points - grid_rows + 1);
}

DataTable::DataTable(const TDataMeas& record, const PlotOptions& options)
    : record_(record), options_(options), reader_(record) {}

bool DataTable::TimeColumnFirst() const { return IsSampledType(record_.FDataType); }

double DataTable::SampleTime(std::int32_t point) const {
  // A record without a sample rate counts its samples.
  return record_.FSampleRate > 0 ? point / static_cast<double>(record_.FSampleRate) : point;
}

int DataTable::ColumnCount() const {
  return static_cast<int>(record_.FNumFields) + (TimeColumnFirst() ? 1 : 0);
}

std::string DataTable::HeaderText(int grid_column) const {
  if (grid_column < 0 || grid_column >= ColumnCount()) return {};
  if (grid_column == 0) return "  " + record_.FXUnits;
  const int column = TimeColumnFirst() ? grid_column - 1 : grid_column;
  if (ShowsDistortionPercent(record_, column, options_)) return " %";
  return " " + record_.FFields[static_cast<std::size_t>(column)].Units;
}

double DataTable::ShownValue(int column, std::int32_t point) {
  if (column < 0 || column >= kMaxColumns) return 0.0;
  const TFieldType& field = record_.FFields[static_cast<std::size_t>(column)];
  const auto raw = [&] {
    const auto i = static_cast<std::size_t>(point);
    return i < field.Values.size() ? field.Values[i] : 0.0;
  };
  if (TimeColumnFirst()) return raw();
  if (record_.FDataType == kImpedance && !record_.IsPhase(column)) {
    return reader_.ValueAt(column, point);
  }
  const bool percent = ShowsDistortionPercent(record_, column, options_);
  if (field.ShowAsDb) {
    const double value = reader_.ValueAt(column, point);
    return percent ? 100.0 * value : 20.0 * SafeLog10(value);
  }
  // A distortion curve held in dB but shown in percent reads as its header says.
  if (percent) return PercentOfDb(raw());
  if ((column == 2 || column == 4) && record_.IsPhase(column)) {
    std::optional<ShownPhase>& phase = phases_[static_cast<std::size_t>(column)];
    if (!phase) phase.emplace(record_, column);
    return phase->At(point, options_.PhaseInvert);
  }
  return raw();
}

std::string DataTable::CellText(int grid_column, std::int32_t point) {
  if (point < 0 || point >= record_.FNumPoints || grid_column < 0 || grid_column >= ColumnCount()) {
    return {};
  }
  if (TimeColumnFirst()) {
    if (grid_column > 0) return Cut(General(ShownValue(grid_column - 1, point)));
    const double time = SampleTime(point) + record_.FStartTime;
    return Cut(General(time, time < 0 ? kGeneralDigits - 1 : kGeneralDigits));
  }
  const double value = ShownValue(grid_column, point);
  if (grid_column == 0) {
    const auto type = record_.FDataType;
    const bool time_like = type == kEnergyTimeCurve || type == kPowerCepstrum;
    return Cut(time_like ? General(value) : FixedTrimmed(value, 3));
  }
  const TFieldType& field = record_.FFields[static_cast<std::size_t>(grid_column)];
  const bool impedance = record_.FDataType == kImpedance && !record_.IsPhase(grid_column);
  const bool level =
      !impedance && (field.ShowAsDb || ShowsDistortionPercent(record_, grid_column, options_));
  return Cut(level ? FixedTrimmed(value, 4) : General(value));
}

std::string DataTable::CopyText(const TableSelection& selection) {
  TableSelection range = selection.Ordered();
  range.first_column = std::max(range.first_column, 0);
  range.last_column = std::min(range.last_column, ColumnCount() - 1);
  range.first_point = std::max(range.first_point, 0);
  range.last_point = std::min(range.last_point, record_.FNumPoints - 1);
  const bool time_first = TimeColumnFirst();

  std::string text;
  WideningFirstCell first_cell;
  for (std::int32_t point = range.first_point; point <= range.last_point; ++point) {
    for (int grid_column = range.first_column; grid_column <= range.last_column; ++grid_column) {
      if (grid_column == 0) {
        // The copy's time starts at 0 whatever the record's start time.
        text += first_cell.Next(time_first ? SampleTime(point) : ShownValue(0, point));
      } else {
        text += FormatScientific(ShownValue(time_first ? grid_column - 1 : grid_column, point),
                                 kDataCellDecimals);
      }
      text += '\t';
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace vireon
