#pragma once

// The item walks shared by the binary (.vr2) and text (.vrd) data files. Each walk runs in
// either direction: `Items` is a writer or a reader of one of the two files, and `Record` is a
// const record when writing. Reading-only steps are marked with `if constexpr`.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

struct DataWalkOptions {
  std::string FileName;  // the name being written, or the name actually read
  bool Hold = false;     // snapshots and backups keep the stored file name
  bool MainOnly = false;
  const FileContext& Context;
};

// Columns the writer stores: the leading columns that hold all FNumPoints values (0 = none).
std::int32_t StorableColumns(const TDataMeas& record);

// Waterfalls hold column 1 as linear magnitudes but store it in dB.
bool StoresColumnInDb(const TDataMeas& record, int column);
DataArray LinearToStoredDb(std::span<const double> linear);
void StoredDbToLinear(DataArray& values);

// What every successful load of a data file sets: loaded, unchanged, not derived.
void FinishLoad(TDataMeas& record);

// The slice's values, or none when the record lacks it (the writer then stores zeros).
std::span<const double> SliceOrEmpty(const TDataMeas& record, std::int32_t slice);

template <class Items, class Record>
void WalkCounts(Items& items, Record& record, std::int32_t fields_to_write) {
  if constexpr (Items::kReading) {
    items.Int(record.FNumFields);
    items.Int(record.FNumPoints);
    if (record.FNumFields < 1 || record.FNumFields > kMaxColumns || record.FNumPoints < 0) {
      items.Malformed();
    }
  } else {
    items.Int(fields_to_write);
    items.Int(record.FNumPoints);
  }
  items.Int(record.FTraceA);
  items.Int(record.FTraceB);
  items.Int(record.FSampleRate);
}

template <class Items, class Record>
void WalkMarkersAndColumnInfo(Items& items, Record& record) {
  for (std::size_t i = 0; i < 5; ++i) {
    items.Int(record.FMarkerPixY[i]);
    items.Int(record.FMarkerPixX[i]);
    items.Flag(record.FMarkerOn[i]);
    double x = record.FMarkerX[i];
    items.Double(x);
    if constexpr (Items::kReading) record.FMarkerX[i] = static_cast<float>(x);
  }
  for (auto& field : record.FFields) {
    items.String(field.Name);
    items.String(field.Units);
    items.Int(field.RefDiv);
    items.Flag(field.ShowAsDb);
    items.Flag(field.WrapPhase);
    items.Flag(field.AuxFlag);
    items.Flag(field.Unwrapped);
    items.Double(field.PerDiv);
    items.Double(field.RefValue);
    items.Bint(field.InputKind);
  }
}

// Everything from the sample resolution to the window type.
template <class Items, class Record>
void WalkBody(Items& items, Record& record, const DataWalkOptions& options) {
  items.Int(record.FSampleBits);
  items.Int(record.FSpareInt);
  items.Int(record.FAvgCount);
  items.Int(record.FAvgTarget);
  items.Int(record.FWinStart);
  items.Int(record.FWinEnd);
  items.Int(record.FWinStart2);
  items.Int(record.FWinEnd2);
  items.Int(record.FWindowLen);
  items.Int(record.FNumDivisions);
  WalkMarkersAndColumnInfo(items, record);

  std::uint8_t ignored_flag = 1;
  items.Flag(record.FSpareByte1);
  items.Flag(ignored_flag);
  items.Flag(record.FChanged);
  items.Flag(record.FTitleLocked);
  items.Flag(record.FLinearFreq);
  items.Flag(record.FMarkerCacheValid);
  items.Flag(record.FLogX);
  items.Flag(record.FGridFlag);

  double unity = 1.0;  // always stored as 1.0, and 1.0 again after reading
  items.Double(record.FDisplayDelay);
  items.Double(record.FDelayA);
  items.Double(record.FDelayB);
  items.Double(record.FBinWidth[0]);
  items.Double(record.FBinWidth[1]);
  items.Double(record.FPeakTime[0]);
  items.Double(record.FPeakTime[1]);
  items.Double(record.FRefScale);
  items.Double(unity);
  items.Double(record.FViewStart);
  items.Double(record.FViewStop);
  items.Double(record.FStartTime);
  items.Double(record.FEndX);
  items.Double(record.FSpareDouble1);
  items.Double(record.FSpareDouble2);
  items.Double(record.FSpareDouble3);
  items.Double(record.FDisplayScale);
  items.Double(record.FTimeStamp);
  items.String(record.FSubTitle);
  items.String(record.FXUnits);

  // Without the hold flag the file name item is the file's own name; snapshots and backups
  // keep the name of the file the data first came from.
  if constexpr (Items::kReading) {
    std::string stored;
    items.String(stored);
    record.FUnity = 1.0;
    record.FFileName = options.Hold ? stored : options.FileName;
  } else {
    items.String(options.Hold ? std::string(record.FFileName) : options.FileName);
  }

  items.Bint(record.FRtaFlag);
  items.Bint(record.FSpareByte2);
  items.Bint(record.FAvgType);
  items.Bint(record.FWindowType);
}

template <class Items, class Record>
void WalkWeighting(Items& items, Record& record) {
  std::int32_t present = record.FWeighting ? 1 : 0;
  items.Int(present);
  if constexpr (Items::kReading) {
    record.FWeighting.reset();
    if (present >= 1) record.FWeighting.emplace();
  }
  if (present < 1) return;
  auto& weighting = *record.FWeighting;
  items.String(weighting.Name);
  items.String(weighting.Info);
  items.Int(weighting.HiIndex);
  items.Int(weighting.LoIndex);
  auto points = static_cast<std::int32_t>(weighting.Points.size());
  items.Int(points);
  if constexpr (Items::kReading) {
    items.RequireCount(points, 16, 2);
    weighting.Points.resize(static_cast<std::size_t>(points));
  }
  for (auto& point : weighting.Points) {
    items.Double(point.Freq);
    items.Double(point.Factor);
  }
}

// The optional sections after the weighting. A reader applies each section's default and
// skips it when the file ends before it; the writer writes them all.
template <class Items, class Record>
void WalkTail(Items& items, Record& record, const DataWalkOptions& options) {
  constexpr bool kReading = Items::kReading;
  const FileContext& context = options.Context;

  if constexpr (kReading) record.ClearSlices();
  if (!items.AtEnd()) {
    items.Int(record.FPlotKind);
    for (auto& parameter : record.FExtraParams) items.Double(parameter);
  }

  if (record.FPlotKind > 0) {
    auto count = record.FSliceCount;
    items.Int(count);
    if constexpr (kReading) {
      items.RequireCount(count, 8 + 4 * std::int64_t{record.FNumPoints},
                         1 + std::int64_t{record.FNumPoints});
      record.FSliceCount = count;
      record.FSlices.resize(static_cast<std::size_t>(count));
    }
    items.Double(record.FSliceParam1);
    items.Double(record.FSliceParam2);
    items.String(record.FSliceUnits);
    items.Singles(record.FSliceValues, count);
    for (std::int32_t s = 0; s < count; ++s) {
      if constexpr (kReading) {
        items.Singles(record.FSlices[static_cast<std::size_t>(s)], record.FNumPoints);
      } else {
        items.Singles(SliceOrEmpty(record, s), record.FNumPoints);
      }
    }
    if constexpr (kReading) {
      if (record.FPlotKind == 2 && record.FNumFields > 1)
        StoredDbToLinear(record.FFields[1].Values);
    }
  }

  if constexpr (kReading) record.FOverlayNames.reset();
  if (!items.AtEnd()) {
    std::int32_t count = 0;
    if (record.FOverlayNames) {
      count = static_cast<std::int32_t>(std::min(record.FOverlayNames->size(), kMaxOverlayNames));
    }
    items.Int(count);
    if constexpr (kReading) {
      // An impossible count ends the load here, successfully, without overlays or notes.
      if (count < 0 || count > static_cast<std::int32_t>(kMaxOverlayNames)) {
        record.FNotes.reset();
        return;
      }
    }
    items.Byte(record.FOverlayFlag1);
    items.Byte(record.FOverlayFlag2);
    if constexpr (kReading) {
      items.RequireCount(count, 5, 1);
      if (count > 0) record.FOverlayNames.emplace(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; i < count; ++i) {
      items.String((*record.FOverlayNames)[static_cast<std::size_t>(i)]);
    }
  }

  if constexpr (kReading) record.FVertLimit3 = -1000000.0;
  if (!items.AtEnd()) items.Double(record.FVertLimit3);

  if constexpr (kReading) record.FVertDefault = context.Defaults.VertDefault;
  if (!items.AtEnd()) items.Double(record.FVertDefault);

  const bool keeps_tags = record.FPlotKind == 6 || record.FPlotKind == 7;
  if constexpr (kReading) {
    record.FSliceTags.clear();
    record.FSliceLabels.clear();
  }
  if (!items.AtEnd() && keeps_tags) {
    items.Int(record.FSliceTagMode);
    items.Double(record.FSliceTagScale);
    const auto count = static_cast<std::size_t>(std::max(record.FSliceCount, 0));
    if constexpr (kReading) {
      items.RequireCount(record.FSliceCount, 9, 2);
      record.FSliceTags.resize(count);
      record.FSliceLabels.resize(count);
    }
    for (std::size_t s = 0; s < count; ++s) {
      std::int32_t tag = s < record.FSliceTags.size() ? record.FSliceTags[s] : 0;
      std::string label = s < record.FSliceLabels.size() ? record.FSliceLabels[s] : "";
      items.Int(tag);
      items.String(label);
      if constexpr (kReading) {
        record.FSliceTags[s] = tag;
        record.FSliceLabels[s] = label;
      }
    }
  }

  if constexpr (kReading) record.FAvgCount = 2;
  if (!items.AtEnd()) items.Int(record.FAvgCount);

  if constexpr (kReading) record.FNotes.reset();
  if (!items.AtEnd()) {
    auto count = static_cast<std::int32_t>(record.FNotes ? record.FNotes->size() : 0);
    items.Int(count);
    if constexpr (kReading) {
      items.RequireCount(count, 5, 1);
      if (count > 0) record.FNotes.emplace(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; i < count; ++i) {
      items.String((*record.FNotes)[static_cast<std::size_t>(i)]);
    }
  }

  if constexpr (kReading) record.FOverlayStyles = context.OverlayTable;
  if (!items.AtEnd()) {
    for (auto& style : record.FOverlayStyles) {
      auto colour = static_cast<std::int32_t>(style.Color);
      items.Bint(style.Symbol);
      items.Int(colour);
      if constexpr (kReading) style.Color = static_cast<PlotColor>(colour);
    }
  }

  // The file keeps trace A and trace B before the background, grid and marker colours.
  constexpr std::array<std::size_t, 8> kStoredColorOrder = {3, 4, 0, 1, 2, 5, 6, 7};
  if constexpr (kReading) record.FColors = context.PlotColors;
  if (!items.AtEnd()) {
    for (const std::size_t index : kStoredColorOrder) {
      auto colour = static_cast<std::int32_t>(record.FColors[index]);
      items.Int(colour);
      if constexpr (kReading) record.FColors[index] = static_cast<PlotColor>(colour);
    }
    items.Double(record.FDbRange[0]);
    items.Double(record.FDbRange[1]);
    items.Byte(record.FColorFlag);
  }
  if constexpr (kReading) {
    if (context.UsePrimaryColorsOnOpen) {
      record.FOverlayStyles = context.OverlayTable;
      record.FColors = context.PlotColors;
    }
  }

  if constexpr (kReading) record.FCustomBitmap = 1;
  if (!items.AtEnd()) items.Byte(record.FCustomBitmap);
}

}  // namespace vireon
