#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "record/DataObj.h"

namespace vireon {

// Text exports of a record for other programs. Each writes the whole file atomically and
// returns false when it cannot; the caller then shows "Error saving file!".

struct AsciiExportOptions {
  std::vector<std::string> HeaderLines;  // written first, each cut to 125 characters
  bool Comma = false;                    // "," between values, else three blanks
  bool AllPoints = false;                // sampled data: every point, not only the view range
  bool DistortionAsPercent = false;      // dB columns as 100·value, as the plot shows them
};

// "Export Polar csv" (polar records, plot kind 3): the angles in a header, then per frequency
// of at least 0.1 Hz the level in dB at every angle, to 3 significant digits.
inline constexpr std::uint8_t kPolarPlotKind = 3;
bool ExportPolarCsv(const std::filesystem::path& file, const TDataMeas& record);

// Waterfall, polar and the related kinds (plot kinds 2 to 5) are exported slice by slice.
bool IsSliceKind(const TDataMeas& record);

// A copy of the record holding what an export writes of the range from `first` to `last`
// (either order): the samples in it, the points in it, or the slices of those times.
TDataMeas RecordInRange(const TDataMeas& source, double first, double last);

// "MLSSA ASCII time": sampled records only.
bool ExportMlssaTime(const std::filesystem::path& file, const TDataMeas& record);

// "ASCII general format": x, then the values of trace A and trace B as the plot shows them.
bool ExportAsciiGeneral(const std::filesystem::path& file, const TDataMeas& record,
                        const AsciiExportOptions& options);

// Waterfall, polar and related records (plot kinds 2 to 5): a header line, the slice values,
// then one line per point with x and every slice's value.
bool ExportSlices(const std::filesystem::path& file, const TDataMeas& record);

}  // namespace vireon
