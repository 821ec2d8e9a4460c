#include "plot/Overlays.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "files/FileIO_Data.h"
#include "files/OpenDispatch.h"

namespace vireon {
namespace {

constexpr PlotColor kPastTableColor = 0xFFFFFF;
constexpr std::string_view kNoDescription = "<no description>";

bool OneOf(std::string_view unit, std::initializer_list<std::string_view> units) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

bool IsUsedColumn(const TDataMeas& record, int column) {
  return column >= 0 && column < std::min<int>(record.FNumFields, kMaxColumns);
}

// Voltages and pressures read as one family: a trace in volts or pascals accepts overlays in
// volts; impedance magnitudes in any spelling of ohms match each other.
bool UnitsFit(const TDataMeas& shown, int shown_column, const TDataMeas& overlay, int column) {
  const std::string& wanted = shown.FFields[static_cast<std::size_t>(shown_column)].Units;
  const std::string& unit = overlay.FFields[static_cast<std::size_t>(column)].Units;
  if (unit == wanted) return true;
  if (shown.IsPhase(shown_column) && overlay.IsPhase(column)) return true;  // "deg" and "°"
  if (OneOf(wanted, {"V", "Vr", "Pr", "Pa"}) && OneOf(unit, {"V", "Vr", "Pr"})) return true;
  return OneOf(wanted, {"Ohm", "Ohms", "ohm"}) && OneOf(unit, {"Ohm", "Ohms", "ohm"});
}

bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  return a.lexically_normal() == b.lexically_normal();
}

bool Listed(std::span<const OverlayEntry> overlays, const std::filesystem::path& file) {
  return std::any_of(overlays.begin(), overlays.end(),
                     [&](const OverlayEntry& entry) { return SamePath(entry.file, file); });
}

}  // namespace

bool OverlayTypesCompatible(std::uint8_t shown_type, std::uint8_t overlay_type) {
  const auto is_response_family = [](std::uint8_t type) {
    return type == kFrequencyResponse || type == kSpectrum || type == kRtaBands;
  };
  return shown_type == overlay_type ||
         (is_response_family(shown_type) && is_response_family(overlay_type));
}

std::optional<int> MatchOverlayCurve(const TDataMeas& shown, const TDataMeas& overlay) {
  if (!IsUsedColumn(shown, shown.FTraceA)) return std::nullopt;
  for (const int column : {overlay.FTraceA, overlay.FTraceB}) {
    if (IsUsedColumn(overlay, column) && UnitsFit(shown, shown.FTraceA, overlay, column)) {
      return column;
    }
  }
  return std::nullopt;
}

OverlayStyle OverlayStyleAt(const TDataMeas& shown, std::size_t index) {
  if (index < shown.FOverlayStyles.size()) return shown.FOverlayStyles[index];
  return OverlayStyle{kPastTableColor, 0};
}

std::string OverlayLegendText(const std::string& label, const std::string& description) {
  const std::size_t end = description.find_last_not_of(" \t\r\n");
  const std::string shown =
      end == std::string::npos ? std::string(kNoDescription) : description.substr(0, end + 1);
  return "  " + label + ":  " + shown;
}

std::vector<OverlayEntry> OverlayEntriesOf(const TDataMeas& record) {
  std::vector<OverlayEntry> entries;
  if (!record.FOverlayNames) return entries;
  for (const std::string& name : *record.FOverlayNames) {
    const std::filesystem::path file(name);
    entries.push_back({file, file.filename().string()});
  }
  return entries;
}

OverlayLoad LoadOverlays(const TDataMeas& shown, std::span<const OverlayEntry> entries,
                         const FileContext& context, MessageSink& messages) {
  OverlayLoad load;
  if (!IsUsedColumn(shown, shown.FTraceA)) return load;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    TDataMeas record(context.Defaults);
    if (!LoadAnyDataFile(entries[i].file, record, true, context, messages)) {
      load.unreadable = entries[i].file;
      break;
    }
    if (!OverlayTypesCompatible(shown.FDataType, record.FDataType)) continue;
    const std::optional<int> column = MatchOverlayCurve(shown, record);
    if (!column) continue;
    std::string legend_text = OverlayLegendText(entries[i].label, record.FTitle);
    load.matched.push_back({std::move(record), *column, static_cast<int>(i),
                            OverlayStyleAt(shown, i), std::move(legend_text)});
  }
  return load;
}

bool CanHold(std::span<const OverlayEntry> overlays) { return overlays.size() < kMaxHoldOverlays; }

std::filesystem::path NextHoldFile(std::span<const OverlayEntry> overlays,
                                   const std::filesystem::path& data_folder) {
  if (overlays.empty()) return data_folder / kHoldDataFileName;
  for (int n = 1;; ++n) {
    auto file = data_folder / ("HoldData" + std::to_string(n) + ".vr2");
    if (!Listed(overlays, file)) return file;
  }
}

HoldOutcome Hold(TDataMeas& shown, std::vector<OverlayEntry>& overlays,
                 const std::filesystem::path& file, MessageSink& messages) {
  const auto replaced = std::count_if(overlays.begin(), overlays.end(), [&](const auto& entry) {
    return SamePath(entry.file, file);
  });
  if (overlays.size() - static_cast<std::size_t>(replaced) >= kMaxHoldOverlays) {
    return HoldOutcome::ListFull;
  }
  if (!SaveDataFile(file, shown, true, messages)) return HoldOutcome::SaveFailed;
  std::erase_if(overlays, [&](const OverlayEntry& entry) { return SamePath(entry.file, file); });
  overlays.insert(overlays.begin(), OverlayEntry{file, file.filename().string()});
  StringList names;
  for (const OverlayEntry& entry : overlays) names.push_back(entry.file.string());
  shown.SetOverlayNames(names, std::nullopt);
  return HoldOutcome::Held;
}

}  // namespace vireon
