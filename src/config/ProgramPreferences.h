#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "config/ConfigBindings.h"

namespace vireon {

// A window's place as the software configuration keeps it; a zero width means none is stored
// and the window keeps the place the program gives it.
struct WindowPlace {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool Stored() const { return width > 0; }
  bool operator==(const WindowPlace&) const = default;
};

// Where a window of the given place and size stands so that a user can reach it: unchanged while
// a strip along its top edge lies on one of the screens' available areas, else moved onto the
// first of them, as far into it as the window fits. No screens leave it where it is.
WindowPlace Reachable(const WindowPlace& window, std::span<const WindowPlace> screen_areas);

// The folders the data-file dialogs start in ("Default Data Directory").
struct DataFolders {
  std::string save;            // "DataSaveDirectory"
  std::string load;            // "DataLoadDirectory"
  bool follow_changes = true;  // "DataDefaultsFollowChanges": "Defaults track changes"

  // What reading a configuration starts from: both folders at the data directory (the save
  // folder only when that exists) and the defaults tracking changes.
  void Reset(const std::filesystem::path& data_directory);
  // With "Defaults track changes", the folder of a data file opened or saved from a plot
  // becomes the default for the next open or save.
  void FileOpened(const std::filesystem::path& file);
  void FileSaved(const std::filesystem::path& file);
};

// The settings of the program as a whole, rather than of a measuring part: where its windows
// stand, whether shutdown asks to save, how plots print and the desktop backdrop. The window
// places start as the program's own layout, so that a configuration written from the defaults
// (by the command line, say) opens the windows side by side rather than on one another: the
// audio interface window at the top left, the primary plot to its right, the acquisition window
// beyond that, the stimulus window below the audio interface window and the main window below
// the plot.
struct ProgramPreferences {
  bool query_for_save_at_shutdown = true;      // "QueryForSaveAtShutdown1"
  WindowPlace live_ir;                         // "LiveIR_x" ...
  WindowPlace live_time;                       // "LiveTime_x" ...
  WindowPlace aux_plot;                        // "AuxPlot_x" ...
  WindowPlace main_form{380, 440};             // "MainTop", "MainLeft"
  WindowPlace audio_window;                    // "ADDATop", "ADDALeft"
  WindowPlace primary_plot{380, 0, 703, 400};  // "PriPlotTop" ...
  WindowPlace acquisition_window{1093, 0};     // "CfgAcqTop", "CfgAcqLeft"
  WindowPlace stimulus_window{0, 290};         // "CfgStimTop", "CfgStimLeft"
  bool levels_visible = true;                  // "LevelsVisible": the audio interface window
  bool acquisition_window_visible = false;     // "CfgAcqVisible"
  bool stimulus_window_visible = false;        // "CfgStimVisible"
  int print_scale = 1;                         // "PrintScale": 1 "Screen", 2 "Double"
  int print_target = 0;                        // "PrintTarget": 0 printer, 1 disk file
  int print_style = 1;                         // "PrintStyle": 0 black and white .. 2 colour fill
  double auto_start_time = 0.0;                // "AutoStartTime": date-time, days since 30 Dec 1899
  bool auto_start = false;                     // "UseAutoStart"
  std::string backdrop_bitmap;                 // "BackDropBitmap": empty for the default picture
  bool backdrop_shown = false;                 // "BackDrop"
};

void BindProgramPreferences(ConfigBindings& software, ProgramPreferences& preferences,
                            DataFolders& folders);

}  // namespace vireon
