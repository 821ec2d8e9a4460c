#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "plot/FrequencyTrace.h"
#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// A rectangular range of table cells: grid columns and record point indexes, both inclusive.
struct TableSelection {
  int first_column = 0;
  int last_column = 0;
  std::int32_t first_point = 0;
  std::int32_t last_point = 0;

  std::int64_t CellCount() const;
  TableSelection Ordered() const;  // first ≤ last in both directions
};

// A copy of more cells than this asks first: it may take long.
inline constexpr std::int64_t kBigCopyCells = 100000;
std::string BigCopyQuestion(std::int64_t cells);

// The top of the table's scroll bar: the first point shown ranges over 0..this.
std::int32_t TableScrollMaximum(std::int32_t points, int grid_rows);

// The numbers of a record as its table window shows and copies them, read as the plot shows
// them (dB, distortion percent, delay-corrected phase). Time records get a time column first.
// Keeps references: the record and options must outlive it.
class DataTable {
 public:
  DataTable(const TDataMeas& record, const PlotOptions& options);

  int ColumnCount() const;
  std::string HeaderText(int grid_column) const;
  std::string CellText(int grid_column, std::int32_t point);  // at most 12 characters
  // Tab-separated cells, CR LF lines, for pasting into a spreadsheet.
  std::string CopyText(const TableSelection& selection);

 private:
  double ShownValue(int column, std::int32_t point);  // dB, percent or corrected phase
  bool TimeColumnFirst() const;
  double SampleTime(std::int32_t point) const;  // from the first sample, FStartTime not added

  const TDataMeas& record_;
  const PlotOptions& options_;
  DisplayValueReader reader_;
  std::array<std::optional<ShownPhase>, kMaxColumns> phases_;  // made when first read
};

}  // namespace vireon
