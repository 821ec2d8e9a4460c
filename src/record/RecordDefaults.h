#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vireon {

// Plot colours are 0x00BBGGRR values.
using PlotColor = std::uint32_t;

// Background, grid, markers, trace A, trace B and three more.
inline constexpr std::array<PlotColor, 8> kDefaultPlotColors = {
    0xFFFFFF, 0x804000, 0x1E7500, 0x9F0000, 0x7E7EFA, 0xFFFFFF, 0x800000, 0xFFFFFF};
inline constexpr std::array<double, 2> kDefaultDbRange = {-30.0, 30.0};

// The main plot's look, which new records take over.
struct MainPlotAppearance {
  std::array<PlotColor, 8> Colors = kDefaultPlotColors;
  std::array<double, 2> DbRange = kDefaultDbRange;
  std::uint8_t ColorFlag = 0;
  std::uint8_t CustomBitmap = 0;
};

// Program-wide values a record reads when it is created, nulled or preset.
struct RecordDefaults {
  double VertDefault = 80.0;
  std::uint8_t TimeLogMagDef = 0;              // configuration key "TimeLogMagDef"
  std::optional<MainPlotAppearance> MainPlot;  // none until the main plot exists
};

}  // namespace vireon
