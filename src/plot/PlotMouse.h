#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "record/DataObj.h"

namespace vireon {

// What a click on the graph does (`MouseMode`).
enum class TDPMouseMode : std::uint8_t {
  mmUnused,
  mmReadout,
  mmMarker,
  mmSetLWin,
  mmSetRWin,
  mmSetLHor,
  mmSetRHor,
  mmSetCent,
  mmScript,
};

// The point under the pointer and the two traces' values at its height.
struct PointerReading {
  std::int32_t index = 0;
  double domain = 0.0;   // x of that point
  double trace_a = 0.0;  // in display units (dB for dB curves)
  double trace_b = 0.0;
};

// Maps a pointer at (x, y) of a graph bitmap width × height to the nearest point of the record
// and inverts the traces' vertical mappings; none for a record too short to draw.
std::optional<PointerReading> ReadPointer(TDataMeas& record, int width, int height, int x, int y);

// What a click changed, for the plot to refresh.
struct ClickEffect {
  bool record_changed = false;      // window or view range: recompute and redraw
  std::optional<int> marker_moved;  // 0..4: its tracking is off and its readout stale
};

// Applies a click of the given mode at the reading: moves marker `marker` (0..4) within
// [minimum usable x, last x], sets the window's start or end of a time record (only on its own
// side of the other end), or sets the view's start, stop or centre by the range-entry rules.
ClickEffect ApplyClick(TDataMeas& record, TDPMouseMode mode, int marker,
                       const PointerReading& reading);

}  // namespace vireon
