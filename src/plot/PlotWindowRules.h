#pragma once

#include <filesystem>
#include <string>

#include "record/DataObj.h"
#include "record/RecordDefaults.h"

namespace vireon {

// The rules of the plot windows that need no window: their roles, the record a new window
// shows, the title an opened file gives the plot and the name a save dialog proposes.

enum class PlotRoleKind { Primary, Secondary, LiveTime, LiveIR, AuxPlot, Mic };

struct PlotRole {
  PlotRoleKind kind = PlotRoleKind::Secondary;
  int number = 2;  // secondary plots only: "Plot" + number, counted from 2

  std::string Name() const;           // "Primary", "Plot2", "LiveTime", "LiveIR", "AuxPlot", "mic"
  std::string Caption() const;        // "(Primary Plot) -vireon-", "(plot2) -vireon-", ...
  std::string ComponentName() const;  // "PlotForm", "Plot2", "LiveTimeDP", ...; none for "mic"
};

// The plot title every window but the primary starts with.
inline constexpr const char* kPlotTitlePrefix = "=vireon= ";

// The record a new window shows until it is given another: a unit impulse of 4096 samples
// at 48 kHz, "Default Time Domain Data".
TDataMeas DefaultPlotRecord(const RecordDefaults& defaults);

// The plot title an opened file gets from its data type.
std::string OpenedPlotTitle(const TDataMeas& record);

// Save dialogs propose the record's file name without its folder and extension.
std::string ProposedSaveName(const TDataMeas& record);

// The save dialog's name: the default extension when none was typed, else the typed one cut
// to three characters after the dot.
std::filesystem::path SaveName(std::filesystem::path file, const std::string& default_extension);

}  // namespace vireon
