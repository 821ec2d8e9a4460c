#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "record/DataObj.h"
#include "record/Weighting.h"

namespace vireon {

// The display format of one curve of a record.
struct CurveFormat {
  bool ShowAsDb = false;
  double PerDiv = 1.0;
  double RefValue = 0.0;
  std::int32_t RefDiv = 0;
  bool WrapPhase = false;
  bool operator==(const CurveFormat&) const = default;
};

// The overlay identification table a plot starts with.
inline constexpr OverlayStyles kPlotIdentificationDefaults = {{{0x0000FF, 0},
                                                               {0xFFFF00, 1},
                                                               {0xFF0000, 2},
                                                               {0x379BFF, 3},
                                                               {0x000080, 4},
                                                               {0xFFFFFF, 5},
                                                               {0x800080, 6},
                                                               {0x808000, 0}}};

// How a plot looks, without its data and colours: what "Save Format" writes, "Load Format.."
// reads and a drop on a window's status bar copies. Named after the keys of the format file.
struct PlotFormat {
  std::int32_t DataType = 0;
  std::int32_t Curve0 = -1;  // trace A's curve, -1 none
  std::int32_t Curve1 = -1;  // trace B's curve
  std::string WeightFile;    // the weighting's name; empty for none
  double DelayShift = 0.0;
  // The record holds no x reference, z scale or reference file: they are only carried so that
  // a format file keeps them.
  double XRefVal = 0.0;
  double ZScale = 1.0;
  std::string RefFile;
  std::array<float, 5> Mkr{};
  std::array<bool, 5> MkrVisible{};
  double HStart = 0.0;
  double HStop = 0.0;
  bool HFormatLog = false;
  bool HGridLabelDown = true;
  std::int32_t VNumDiv = 8;
  double MagOffset = 1.0;  // the record's display scale
  std::array<CurveFormat, kMaxColumns> Curves{};
  std::int32_t ScaledForA = -1;  // the traces the scales were saved for
  std::int32_t ScaledForB = -1;
  StringList Overlays;  // at most eight overlay files
  bool MPUse = false;
  bool MPShowLegends = false;
  OverlayStyles Identification = kPlotIdentificationDefaults;

  bool operator==(const PlotFormat&) const = default;
};

inline constexpr std::size_t kFormatOverlays = 8;

// Whether a format of one data type may go onto a record of another.
enum class FormatFit {
  Full,                 // everything is applied
  KeepHorizontalRange,  // applied, but the target keeps its horizontal start and stop
  Refused,              // nothing is applied
};

// Onto the primary plot only equal types fit. Onto other plots equal types and types of one
// group ({TimeDomain, Step Response}, {FrequencyResponse, Spectrum, 8, Complex Spectrum},
// {Impedance}, {RTA}) fit fully; a source type outside every group fits any target but
// leaves its horizontal range.
FormatFit PlotFormatFit(std::int32_t source_type, std::uint8_t target_type, bool target_is_primary);

PlotFormat CapturePlotFormat(const TDataMeas& record);

// Finds the weighting a format names; none when it cannot be loaded.
using WeightingLoader = std::function<std::optional<TWeighting>(const std::string& name)>;

// Applies the format as far as the data types fit and returns the fit. The target keeps its
// own data type and colours; a trace curve the target does not have leaves that trace as it
// was; a weighting that cannot be loaded is removed.
FormatFit ApplyPlotFormat(const PlotFormat& format, TDataMeas& target, bool target_is_primary,
                          const WeightingLoader& load_weighting);

}  // namespace vireon
