#include "record/DataObj.h"

#include <algorithm>

#include "common/DateTime.h"

namespace vireon {
namespace {

bool ValidColumn(int column) { return column >= 0 && column < kMaxColumns; }

// Everything of a column but its values.
void CopyColumnIdentity(const TFieldType& from, TFieldType& to) {
  to.Name = from.Name;
  to.InputKind = from.InputKind;
  to.ShowAsDb = from.ShowAsDb;
  to.PerDiv = from.PerDiv;
  to.RefValue = from.RefValue;
  to.RefDiv = from.RefDiv;
  to.Units = from.Units;
  to.WrapPhase = from.WrapPhase;
  to.AuxFlag = from.AuxFlag;
  to.Unwrapped = from.Unwrapped;
}

bool KeepsSliceTags(std::int32_t plot_kind) { return plot_kind == 6 || plot_kind == 7; }

}  // namespace

TDataMeas::TDataMeas() : TDataMeas(RecordDefaults{}) {}

TDataMeas::TDataMeas(const RecordDefaults& defaults) {
  FTimeStamp = NowAsDateTime();
  FVertDefault = defaults.VertDefault;
  if (defaults.MainPlot) {
    FColors = defaults.MainPlot->Colors;
    FDbRange = defaults.MainPlot->DbRange;
    FColorFlag = defaults.MainPlot->ColorFlag;
    FCustomBitmap = defaults.MainPlot->CustomBitmap;
  }
}

int TDataMeas::UsedColumns() const { return std::clamp(FNumFields, 0, kMaxColumns); }

std::int32_t TDataMeas::PointsIn(int column) const {
  if (!ValidColumn(column)) return 0;
  const auto stored = static_cast<std::int32_t>(
      std::min<std::size_t>(FFields[static_cast<std::size_t>(column)].Values.size(), INT32_MAX));
  return std::clamp(FNumPoints, 0, stored);
}

void TDataMeas::CopyFrom(const TDataMeas& source) {
  if (&source == this) return;
  FAxisSignature = source.FAxisSignature != 0 ? source.FAxisSignature : source.AxisSignature();
  FColors = source.FColors;
  FDbRange = source.FDbRange;
  FColorFlag = source.FColorFlag;
  FCustomBitmap = source.FCustomBitmap;
  FNumPoints = source.FNumPoints;
  FNumFields = source.FNumFields;
  FDataType = source.FDataType;
  FDerived = source.FDerived;
  FSpareByte1 = source.FSpareByte1;
  for (int c = 0; c < kMaxColumns; ++c) {
    TFieldType& target = FFields[static_cast<std::size_t>(c)];
    if (c < UsedColumns()) {
      const TFieldType& from = source.FFields[static_cast<std::size_t>(c)];
      CopyColumnIdentity(from, target);
      target.Values = from.Values;
      target.Values.resize(static_cast<std::size_t>(std::max(FNumPoints, 0)));
    } else {
      target.Name.clear();
      target.Units.clear();
      target.Values.clear();
    }
  }
  FTraceA = source.FTraceA;
  FTraceB = source.FTraceB;
  FTitle = source.FTitle;
  FTimeStamp = source.FTimeStamp;
  FRtaFlag = source.FRtaFlag;
  FLinearFreq = source.FLinearFreq;
  FSampleRate = source.FSampleRate;
  FSampleBits = source.FSampleBits;
  FDisplayScale = source.FDisplayScale;
  FAvgCount = source.FAvgCount;
  FAvgTarget = source.FAvgTarget;
  FDisplayDelay = source.FDisplayDelay;
  FDelayA = source.FDelayA;
  FDelayB = source.FDelayB;
  FWinStart = source.FWinStart;
  FWinStart2 = source.FWinStart2;
  FWinEnd = source.FWinEnd;
  FWinEnd2 = source.FWinEnd2;
  FBinWidth = source.FBinWidth;
  FPeakTime = source.FPeakTime;
  FWindowLen = source.FWindowLen;
  FWindowType = source.FWindowType;
  FSubTitle = source.FSubTitle;
  FRefScale = source.FRefScale;
  FMarkerX = source.FMarkerX;
  FMarkerOn = source.FMarkerOn;
  FMarkerPixY = source.FMarkerPixY;
  FMarkerPixX = source.FMarkerPixX;
  FMarkerCacheValid = source.FMarkerCacheValid;
  FViewStart = source.FViewStart;
  FViewStop = source.FViewStop;
  FStartTime = source.FStartTime;
  FEndX = source.FEndX;
  FXUnits = source.FXUnits;
  FLogX = source.FLogX;
  FGridFlag = source.FGridFlag;
  FNumDivisions = source.FNumDivisions;
  FSpareDouble1 = source.FSpareDouble1;
  FSpareDouble2 = source.FSpareDouble2;
  FSpareDouble3 = source.FSpareDouble3;
  FFileName = source.FFileName;
  FComplete = source.FComplete;
  FVertLimit3 = source.FVertLimit3;

  FWeighting.reset();
  if (source.FWeighting) {
    FWeighting.emplace();
    FWeighting->Name = source.FWeighting->Name;
    FWeighting->Info = source.FWeighting->Info;
    FWeighting->Points = source.FWeighting->Points;
  }

  // Slices of a plain x-y record are leftovers no plot shows: the copy starts without them.
  ClearSlices();
  if (source.FPlotKind != 0) {
    FPlotKind = source.FPlotKind;
    FSliceCount = source.FSliceCount;
    FSlices = source.FSlices;
    FSliceValues = source.FSliceValues;
    FSliceUnits = source.FSliceUnits;
    FSliceParam1 = source.FSliceParam1;
    FSliceParam2 = source.FSliceParam2;
    if (KeepsSliceTags(FPlotKind)) {
      FSliceTags = source.FSliceTags;
      FSliceLabels = source.FSliceLabels;
    }
  }

  FOverlayNames = source.FOverlayNames;
  const bool has_overlay_names = source.FOverlayNames && !source.FOverlayNames->empty();
  FOverlayFlag1 = has_overlay_names ? source.FOverlayFlag1 : 0;
  FOverlayFlag2 = has_overlay_names ? source.FOverlayFlag2 : 0;
  FOverlayStyles = source.FOverlayStyles;
  FVertDefault = source.FVertDefault;
  FSliceTagMode = source.FSliceTagMode;
  FSliceTagScale = source.FSliceTagScale;
  FNotes = source.FNotes;
}

void TDataMeas::MakeNull(const RecordDefaults& defaults) {
  FWeighting.reset();
  FOverlayNames.reset();
  FNotes.reset();
  FAxisSignature = -1.0;
  FNumFields = 1;
  FNumPoints = 4;
  TFieldType& samples = FFields[0];
  samples.Values = {1.0, 0.0, 0.0, 0.0};
  samples.Name = "null time domain";
  samples.PerDiv = 0.125;
  samples.RefValue = 0.0;
  samples.RefDiv = 4;
  samples.Units.clear();
  for (std::size_t c = 1; c <= 3; ++c) {
    FFields[c].Name.clear();
    FFields[c].Units.clear();
  }
  AllocColumns();
  FDataType = kTimeDomain;
  ClearSlices();
  FTraceA = 0;
  FTraceB = -1;
  FTitle = "null data";
  FTimeStamp = -10.0;
  FRtaFlag = 0;
  FLinearFreq = 1;
  FSampleRate = 48000;
  FSampleBits = 16;
  FAvgCount = 0;
  FAvgTarget = 0;
  FDisplayDelay = 0.0;
  FDelayA = 0.0;
  FWinStart = 0;
  FWinEnd = 3;
  FBinWidth[0] = 1.0;
  FPeakTime = {};
  FWindowLen = 4;
  FWindowType = 3;
  FSubTitle.clear();
  FFileName.clear();
  FMarkerX = {};
  FMarkerOn = {};
  FMarkerCacheValid = 0;
  FViewStart = 0.0;
  FViewStop = 0.001;
  FStartTime = 0.0;
  FEndX = 3.0 / FSampleRate;
  FXUnits = "sec";
  FLogX = 0;
  FGridFlag = 0;
  FNumDivisions = 8;
  FSpareDouble1 = 0.0;
  FSpareDouble2 = 0.001;
  FSpareDouble3 = 0.0;
  FVertDefault = defaults.VertDefault;
}

void TDataMeas::ApplyPreset(const TDefaultSettings& preset) {
  FMarkerOn = {};
  FSpareByte1 = 0;
  FTitle = preset.Title;
  FDerived = 0;
  FDisplayScale = 1.0;
  FBinWidth = {};
  FRefScale = preset.RefScale;
  FSubTitle = preset.SubTitle;
  FMarkerX = preset.MarkerX;
  FViewStart = preset.ViewStart;
  FViewStop = preset.ViewStop;
  FStartTime = preset.StartTime;
  FEndX = preset.EndX;
  FLogX = preset.LogX;
  FNumDivisions = preset.NumDivisions;
  FSpareDouble1 = preset.SpareDouble1;
  FWindowType = 4;
  FWinStart = FWinStart2 = 0;
  FWinEnd = FWinEnd2 = 511;
  FWeighting.reset();
  FAvgCount = 0;
  FAvgTarget = 0;
  for (std::size_t c = 0; c < FFields.size(); ++c) {
    const TFieldInitType& init = preset.Columns[c];
    TFieldType& column = FFields[c];
    column.Name = init.Name;
    column.ShowAsDb = init.ShowAsDb;
    column.PerDiv = init.PerDiv;
    column.RefValue = init.RefValue;
    column.RefDiv = init.RefDiv;
    column.InputKind = 4;
    column.Units = "tbd";
    column.WrapPhase = 1;
  }
  FTraceA = preset.TraceA;
  FTraceB = preset.TraceB;
  FSpareByte2 = 0;
}

void TDataMeas::ClearSlices() {
  FPlotKind = 0;
  FSliceCount = 0;
  FSlices.clear();
  FSliceValues.clear();
  FSliceUnits.clear();
  FSliceTags.clear();
  FSliceLabels.clear();
}

void TDataMeas::AllocColumns() {
  const auto points = static_cast<std::size_t>(std::max(FNumPoints, 0));
  for (int c = 0; c < kMaxColumns; ++c) {
    DataArray& values = FFields[static_cast<std::size_t>(c)].Values;
    if (c < UsedColumns()) {
      values.resize(points);
    } else {
      values.clear();
    }
  }
}

void TDataMeas::ResizePadded(std::int32_t new_length) {
  const auto length = static_cast<std::size_t>(std::max(new_length, 0));
  for (int c = 0; c < UsedColumns(); ++c) {
    DataArray& values = FFields[static_cast<std::size_t>(c)].Values;
    const std::size_t old_length = values.size();
    const bool x_column = c == 0 && !IsSampled();
    const double last = old_length > 0 ? values.back() : 0.0;
    values.resize(length);
    for (std::size_t j = old_length; j < length; ++j) {
      if (!x_column) {
        values[j] = last;
      } else {
        values[j] = j > 0 ? values[j - 1] + 0.001 : 0.0;
      }
    }
  }
  FNumPoints = static_cast<std::int32_t>(length);
  FAxisSignature = AxisSignature();
}

TFieldInitType TDataMeas::GetColumnInit(int column) const {
  if (!ValidColumn(column)) return {};
  const TFieldType& field = FFields[static_cast<std::size_t>(column)];
  return {.Name = field.Name,
          .ShowAsDb = field.ShowAsDb,
          .PerDiv = field.PerDiv,
          .RefValue = field.RefValue,
          .Units = field.Units,
          .RefDiv = field.RefDiv};
}

void TDataMeas::SetColumnInit(int column, const TFieldInitType& init) {
  if (!ValidColumn(column)) return;
  TFieldType& field = FFields[static_cast<std::size_t>(column)];
  field.Name = init.Name;
  field.ShowAsDb = init.ShowAsDb;
  field.PerDiv = init.PerDiv;
  field.RefValue = init.RefValue;
  field.RefDiv = init.RefDiv;
  field.Units = init.Units;
}

void TDataMeas::CopyColumnInfo(const TDataMeas& source, int source_column, int target_column) {
  if (!ValidColumn(source_column) || !ValidColumn(target_column)) return;
  CopyColumnIdentity(source.FFields[static_cast<std::size_t>(source_column)],
                     FFields[static_cast<std::size_t>(target_column)]);
}

void TDataMeas::CopyColumn(const TDataMeas& source, int source_column, int target_column) {
  if (!ValidColumn(source_column) || !ValidColumn(target_column)) return;
  CopyColumnInfo(source, source_column, target_column);
  FFields[static_cast<std::size_t>(target_column)].Values =
      source.FFields[static_cast<std::size_t>(source_column)].Values;
}

void TDataMeas::AddOverlayName(const std::string& name) {
  if (!FOverlayNames) FOverlayNames.emplace();
  if (FOverlayNames->size() < kMaxOverlayNames) FOverlayNames->push_back(name);
}

void TDataMeas::ClearOverlayNames() { FOverlayNames.reset(); }

void TDataMeas::SetOverlayNames(const StringList& names,
                                const std::optional<OverlayStyles>& styles) {
  const std::size_t kept = std::min(names.size(), kMaxOverlayNames);
  FOverlayNames.emplace(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(kept));
  if (styles) FOverlayStyles = *styles;
}

}  // namespace vireon
