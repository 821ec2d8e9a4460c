#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "record/DataPresets.h"
#include "record/DataTypes.h"
#include "record/RecordDefaults.h"
#include "record/Weighting.h"

namespace vireon {

using DataArray = std::vector<double>;
using dataArray3D = std::vector<DataArray>;
using ArrIntV = std::vector<std::int32_t>;
using StringList = std::vector<std::string>;

inline constexpr int kMaxColumns = 5;
inline constexpr std::size_t kMaxOverlayNames = 40;

// One column: its identity, display scaling and values. Units "deg" or "\xB0" mark a phase.
struct TFieldType {
  std::string Name = "undefined";
  std::uint8_t InputKind = 0;
  std::uint8_t ShowAsDb = 0;  // linear magnitudes shown as 20·log10
  double PerDiv = 1.0;
  double RefValue = 0.0;
  std::int32_t RefDiv = 0;
  std::string Units = "?";
  std::uint8_t WrapPhase = 0;
  std::uint8_t AuxFlag = 0;
  std::uint8_t Unwrapped = 0;  // cleared whenever a delay is added to or removed from the phase
  DataArray Values;
};

// Colour (0x00BBGGRR) and symbol of one overlay curve.
struct OverlayStyle {
  PlotColor Color = 0;
  std::uint8_t Symbol = 0;
  bool operator==(const OverlayStyle&) const = default;
};
using OverlayStyles = std::array<OverlayStyle, 8>;

inline constexpr OverlayStyles kDefaultOverlayStyles = {{{0x0000FF, 0},
                                                         {0xFFFF00, 1},
                                                         {0xFF0000, 2},
                                                         {0x379BFF, 3},
                                                         {0x000080, 4},
                                                         {0xFFFFFF, 5},
                                                         {0x800080, 6},
                                                         {0x808000, 7}}};

struct RangeStatistics {
  double Mean = 0.0;
  double Maximum = -1e30;
  double Minimum = 1e30;
};

// The measurement record: up to five equal-length columns, the data type that says how to
// read them, the sampling of time data, optional 3-D slices and weighting, and everything
// needed to draw it again as last shown. The field names are the vocabulary the data files,
// settings and scripts share.
//
// Invariants: 1 ≤ FNumFields ≤ 5; columns below FNumFields hold FNumPoints values, the others
// none; column 0 ascends for data that is not sampled; FSlices and FSliceValues have
// FSliceCount entries; FSliceTags and FSliceLabels too when FPlotKind is 6 or 7, else none.
// Operations given an index, column or slice out of range return safely without effect.
class TDataMeas {
 public:
  TDataMeas();  // with the default program-wide values
  explicit TDataMeas(const RecordDefaults& defaults);

  // Whole-record operations.
  void CopyFrom(const TDataMeas& source);
  void MakeNull(const RecordDefaults& defaults);  // the 4-sample "null data" time record
  void ApplyPreset(const TDefaultSettings& preset);
  void ClearSlices();
  void AllocColumns();
  void ResizePadded(std::int32_t new_length);
  TFieldInitType GetColumnInit(int column) const;  // empty for a column out of range
  void SetColumnInit(int column, const TFieldInitType& init);
  void CopyColumnInfo(const TDataMeas& source, int source_column, int target_column);
  void CopyColumn(const TDataMeas& source, int source_column, int target_column);
  void AddOverlayName(const std::string& name);  // ignored beyond kMaxOverlayNames
  void ClearOverlayNames();
  // Styles are the plot's eight overlay colour/symbol pairs, when a plot is given.
  void SetOverlayNames(const StringList& names, const std::optional<OverlayStyles>& styles);

  // Axis and value access.
  bool IsSampled() const;
  double XAt(std::int32_t index) const;
  std::int32_t IndexOf(double x);  // nearest point; also refreshes FNumPoints
  std::int32_t IndexOfSide(double x, bool upward);
  double AxisSignature() const;
  double CachedAxisSignature();
  bool SameAxis(TDataMeas& other);
  bool IsPhase(int column) const;
  bool HasPhaseTrace() const;
  int TraceColumn(int trace) const;  // trace 0 = A, 1 = B
  int ClampColumn(int column) const;
  int TraceOf(int column) const;                              // 0 = A, 1 = B (B wins), -1 = neither
  double ValueAt(int column, std::int32_t index, int slice);  // as the display reads it
  // The factor ValueAt applies to the stored values of a column (slice < 0) or slice, before
  // any weighting: the display scale, for the types it applies to.
  double DisplayFactor(int slice) const;
  double PhaseWithDelay(std::int32_t index, int column, bool subtract_180, double slope) const;

  // Phase and sample processing.
  void UnwrapPhase(int column, bool force, double start_x);
  void RemoveDelay(double delay);
  void ApplyPendingDelay();
  void FindPeakTime(int channel);
  void RemoveMean();
  void IntegrateToStep(double offset);
  bool CheckLinearFreq();

  // View range.
  void NormalizeView();
  void SetViewRange(bool start_stop, double first, double second);
  std::pair<double, double> ViewCenterSpan(bool use_stored) const;  // centre, span
  void ExtendRange(double x);
  static std::pair<double, double> HalfWidthFactors(double octaves, double centre);  // low, high
  RangeStatistics RangeStats(int column, double lower_x, double upper_x, bool use_range,
                             bool log_x);

  double FAxisSignature = 0.0;
  std::uint8_t FDataType = 0;
  std::int32_t FNumPoints = 0;
  std::int32_t FNumFields = 1;
  std::int32_t FSpareInt = 0;
  std::string FTitle = "Newly Created Data Set";
  double FDisplayDelay = 0.0;
  double FDelayA = 0.0;
  double FDelayB = 0.0;
  double FViewStop = 0.0;
  double FStartTime = 0.0;
  double FEndX = 0.0;
  std::array<TFieldType, kMaxColumns> FFields;
  std::optional<StringList> FNotes;
  std::uint8_t FSpareByte1 = 0;
  std::uint8_t FComplete = 0;
  std::uint8_t FChanged = 1;
  std::uint8_t FDerived = 0;
  std::int32_t FTraceA = -1;
  std::int32_t FTraceB = -1;
  std::uint8_t FSpareByte2 = 0;
  std::uint8_t FTitleLocked = 0;
  double FTimeStamp = 0.0;
  std::uint8_t FRtaFlag = 0;
  std::optional<TWeighting> FWeighting;
  std::uint8_t FLinearFreq = 1;
  std::int32_t FSampleRate = 0;
  std::int32_t FSampleBits = 0;
  std::uint8_t FAvgType = 0;
  std::int32_t FAvgCount = 0;
  std::int32_t FAvgTarget = 0;
  std::int32_t FWinStart = 0;
  std::int32_t FWinStart2 = 0;
  std::int32_t FWinEnd = 0;
  std::int32_t FWinEnd2 = 0;
  std::array<double, 2> FBinWidth{};
  std::array<double, 2> FPeakTime{};
  std::int32_t FWindowLen = 0;
  std::uint8_t FWindowType = 0;
  double FRefScale = 1.0;
  double FUnity = 1.0;
  std::string FSubTitle;
  std::string FFileName;
  std::array<float, 5> FMarkerX{};
  std::array<std::uint8_t, 5> FMarkerOn{};
  std::array<std::int32_t, 5> FMarkerPixY{};
  std::array<std::int32_t, 5> FMarkerPixX{};
  std::uint8_t FMarkerCacheValid = 0;
  double FViewStart = 0.0;
  std::string FXUnits;
  std::uint8_t FLogX = 0;
  std::uint8_t FGridFlag = 1;
  std::int32_t FNumDivisions = 0;
  double FSpareDouble1 = 0.0;
  double FSpareDouble2 = 0.0;
  double FSpareDouble3 = 0.0;
  double FDisplayScale = 1.0;
  std::int32_t FSliceCount = 0;
  dataArray3D FSlices;
  DataArray FSliceValues;
  std::string FSliceUnits;
  std::int32_t FPlotKind = 0;
  double FSliceParam1 = 0.0;
  double FSliceParam2 = 0.0;
  ArrIntV FSliceTags;
  std::int32_t FSliceTagMode = 1;
  double FSliceTagScale = 1.0;
  StringList FSliceLabels;
  std::array<double, 32> FExtraParams{};
  std::optional<StringList> FOverlayNames;
  std::uint8_t FOverlayFlag1 = 0;
  std::uint8_t FOverlayFlag2 = 0;
  double FVertLimit1 = -1000000.0;  // values at or below -1000 mean unset
  double FVertLimit2 = -1000000.0;
  double FVertLimit3 = -1000000.0;
  double FVertDefault = 80.0;
  OverlayStyles FOverlayStyles = kDefaultOverlayStyles;
  std::array<PlotColor, 8> FColors = kDefaultPlotColors;
  std::array<double, 2> FDbRange = kDefaultDbRange;
  std::uint8_t FColorFlag = 0;
  std::uint8_t FCustomBitmap = 0;

 private:
  const DataArray* ValueSource(int column, int slice) const;
  double WeightingFactor(int column, std::int32_t index, int slice);
  int UsedColumns() const;
  std::int32_t PointsIn(int column) const;
  void ShiftPhases(double delay);
  double RangeValue(int column, std::int32_t index);
};

}  // namespace vireon
