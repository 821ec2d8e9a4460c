#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// Curves from other data files drawn over the shown record ("MultiPlot" and hold curves).

// One file of the plot's overlay list and the name its legend line shows.
struct OverlayEntry {
  std::filesystem::path file;
  std::string label;
  bool operator==(const OverlayEntry&) const = default;
};

// An overlay that fits the shown record: its file's record, the curve drawn with the shown
// record's trace A scale, and how it is told apart. `index` is its place in the overlay list,
// which picks its style and staggers its symbols.
struct MatchedOverlay {
  TDataMeas record;
  int column = -1;
  int index = 0;
  OverlayStyle style;
  std::string legend_text;
};

// The overlays that fit; when a file could not be read the list ends before it and `unreadable`
// names it: drawing stops there for this redraw.
struct OverlayLoad {
  std::vector<MatchedOverlay> matched;
  std::optional<std::filesystem::path> unreadable;
};

// Equal types, or both among FrequencyResponse, Spectrum and RTA.
bool OverlayTypesCompatible(std::uint8_t shown_type, std::uint8_t overlay_type);

// The first of the overlay's trace A and trace B curves whose unit fits the shown record's
// trace A; none when that trace is not shown or no curve fits.
std::optional<int> MatchOverlayCurve(const TDataMeas& shown, const TDataMeas& overlay);

// Row `index` of the shown record's overlay table; white with a circle past its end.
OverlayStyle OverlayStyleAt(const TDataMeas& shown, std::size_t index);

// "  " + label + ":  " + the description without trailing blanks, "<no description>" if none.
std::string OverlayLegendText(const std::string& label, const std::string& description);

// The overlay list kept in a record: each stored path, labelled with its file name.
std::vector<OverlayEntry> OverlayEntriesOf(const TDataMeas& record);

// Reads the listed files and keeps those that fit the shown record, in list order.
OverlayLoad LoadOverlays(const TDataMeas& shown, std::span<const OverlayEntry> entries,
                         const FileContext& context, MessageSink& messages);

// Hold: snapshots of the shown record kept as overlays in the data folder.
inline constexpr std::size_t kMaxHoldOverlays = 8;

enum class HoldOutcome : std::uint8_t { Held, ListFull, SaveFailed };

// Whether a hold can add to the list (the window's hold command is disabled otherwise).
bool CanHold(std::span<const OverlayEntry> overlays);

// "HoldData.vr2" in the data folder for an empty list, else "HoldData" + n + ".vr2" with the
// first n ≥ 1 whose path is not in the list.
std::filesystem::path NextHoldFile(std::span<const OverlayEntry> overlays,
                                   const std::filesystem::path& data_folder);

// Saves the shown record as `file` and makes it overlay 0, labelled with its file name, after
// dropping an older entry of the same path; the list is then stored in the record. With the
// list full, or when the save fails, nothing changes.
HoldOutcome Hold(TDataMeas& shown, std::vector<OverlayEntry>& overlays,
                 const std::filesystem::path& file, MessageSink& messages);

}  // namespace vireon
