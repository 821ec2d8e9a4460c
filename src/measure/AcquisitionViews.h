#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "config/ConfigBindings.h"
#include "measure/AcquisitionTypes.h"
#include "plot/PlotFormat.h"

namespace vireon {

// The two results of a measurement the primary plot shows.
enum class ResultDomain { kFrequency, kTime };

// The views the primary plot last showed each acquisition type's results in, by list item (type
// 99 is the last item); none for a result that was never shown. The wavelet types 21..24 share
// the view of item 21.
struct AcquisitionViews {
  using Kept = std::array<std::optional<PlotFormat>, kAcquisitionItemCount>;
  Kept frequency;  // "AcqMode"n's display keys
  Kept time;       // its "_T" keys

  bool operator==(const AcquisitionViews&) const = default;
};

// The item whose kept views an acquisition type uses.
int KeptViewItem(int acq_type);

// The data type every result of the type has in that domain; none when the type makes no such
// result or its data type depends on other settings (type 5 shows a spectrum or a response).
std::optional<std::uint8_t> ResultDataType(int acq_type, ResultDomain domain);

// Whether a kept view can be put on a result: a finite horizontal range running upwards, above
// zero on a log axis. A view saved while none was kept reads back with an empty range.
bool IsShowableView(const PlotFormat& view);

// Binds the display keys of every "AcqMode"n section (and the wavelet types' shared view to
// "AcqMode WaveletPrimaryINI"). A view not kept is written as a blank view. The file carries no
// data type: a key read goes into a view of the data type `ResultDataType` gives (a kept view of
// another type is started afresh), and is ignored where that data type is unknown, so a view is
// never put on a result of another data type.
void BindAcquisitionViews(ConfigBindings& software, AcquisitionViews& views);

// Files before version 1.14 kept no dB or phase-wrap flag for the columns: columns 1 to 4 of
// every view show dB and wrap the phase.
inline constexpr int kFirstVersionWithColumnFlags = 114;
void ForceOldColumnFlags(AcquisitionViews& views);

}  // namespace vireon
