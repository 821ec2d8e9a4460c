#include "config/ProgramPreferences.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace vireon {
namespace {

constexpr int kMaxCoordinate = 32767;
constexpr double kLastDateTime = 2958466.0;  // 1 January 10000
// The part of a window's top edge that must be on a screen for a user to take hold of it.
constexpr int kGripWidth = 100;
constexpr int kGripHeight = 20;

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool FolderExists(const std::string& folder) {
  std::error_code error;
  return !folder.empty() && std::filesystem::is_directory(folder, error);
}

std::string FolderOf(const std::filesystem::path& file) {
  return WithoutTrailingSlash(file.parent_path().string());
}

// The live windows keep their size; the forms only their corner.
void BindLivePlace(ConfigBindings& software, std::string_view stem, WindowPlace& place) {
  const std::string name(stem);
  software.Bind("LivePlots", name + "_x", place.left, -kMaxCoordinate, kMaxCoordinate);
  software.Bind("LivePlots", name + "_y", place.top, -kMaxCoordinate, kMaxCoordinate);
  software.Bind("LivePlots", name + "_Height", place.height, 0, kMaxCoordinate);
  software.Bind("LivePlots", name + "_Width", place.width, 0, kMaxCoordinate);
}

void BindCorner(ConfigBindings& software, std::string_view stem, WindowPlace& place) {
  const std::string name(stem);
  software.Bind("Forms", name + "Top", place.top, -kMaxCoordinate, kMaxCoordinate);
  software.Bind("Forms", name + "Left", place.left, -kMaxCoordinate, kMaxCoordinate);
}

bool Overlap(int start, int length, int other_start, int other_length, int least) {
  const int overlap =
      std::min(start + length, other_start + other_length) - std::max(start, other_start);
  return overlap >= least;
}

// The corner that brings as much of a span of `length` into the area's span as fits.
int Into(int start, int length, int area_start, int area_length) {
  return std::max(area_start, std::min(start, area_start + area_length - length));
}

}  // namespace

WindowPlace Reachable(const WindowPlace& window, std::span<const WindowPlace> screen_areas) {
  const int grip_width = std::min(kGripWidth, std::max(window.width, 1));
  const auto holds_grip = [&](const WindowPlace& area) {
    return Overlap(window.left, window.width, area.left, area.width, grip_width) &&
           Overlap(window.top, kGripHeight, area.top, area.height, kGripHeight);
  };
  if (screen_areas.empty() || std::ranges::any_of(screen_areas, holds_grip)) return window;
  const WindowPlace& area = screen_areas.front();
  WindowPlace moved = window;
  moved.left = Into(window.left, window.width, area.left, area.width);
  moved.top = Into(window.top, window.height, area.top, area.height);
  return moved;
}

void DataFolders::Reset(const std::filesystem::path& data_directory) {
  const std::string folder = WithoutTrailingSlash(data_directory.string());
  load = folder;
  if (FolderExists(folder)) save = folder;
  follow_changes = true;
}

void DataFolders::FileOpened(const std::filesystem::path& file) {
  if (follow_changes) load = FolderOf(file);
}

void DataFolders::FileSaved(const std::filesystem::path& file) {
  if (follow_changes) save = FolderOf(file);
}

void BindProgramPreferences(ConfigBindings& software, ProgramPreferences& p, DataFolders& folders) {
  BindLivePlace(software, "LiveIR", p.live_ir);
  BindLivePlace(software, "LiveTime", p.live_time);
  BindLivePlace(software, "AuxPlot", p.aux_plot);
  software.Bind("LivePlots", "QueryForSaveAtShutdown1", p.query_for_save_at_shutdown);

  BindCorner(software, "Main", p.main_form);
  BindCorner(software, "ADDA", p.audio_window);
  software.Bind("Forms", "LevelsVisible", p.levels_visible);
  BindCorner(software, "PriPlot", p.primary_plot);
  software.Bind("Forms", "PriPlotHeight", p.primary_plot.height, 0, kMaxCoordinate);
  software.Bind("Forms", "PriPlotWidth", p.primary_plot.width, 0, kMaxCoordinate);
  software.Bind("Forms", "CfgAcqVisible", p.acquisition_window_visible);
  BindCorner(software, "CfgAcq", p.acquisition_window);
  software.Bind("Forms", "CfgStimVisible", p.stimulus_window_visible);
  BindCorner(software, "CfgStim", p.stimulus_window);

  software.Bind("PrintOptions", "PrintScale", p.print_scale, 1, 2);
  software.Bind("PrintOptions", "PrintTarget", p.print_target, 0, 1);
  software.Bind("PrintOptions", "PrintStyle", p.print_style, 0, 2);

  software.Bind("UserPreferences", "BackDropBitmap", p.backdrop_bitmap);
  software.Bind("UserPreferences", "BackDrop", p.backdrop_shown);

  // A stored save folder that has gone since leaves the default in place.
  software.BindString(
      "VireonSystem", "DataSaveDirectory", [&folders] { return folders.save; },
      [&folders](std::string folder) {
        if (FolderExists(folder)) folders.save = std::move(folder);
      });
  software.Bind("VireonSystem", "DataLoadDirectory", folders.load);
  software.Bind("VireonSystem", "DataDefaultsFollowChanges", folders.follow_changes);
  software.Bind("VireonSystem", "AutoStartTime", p.auto_start_time, 0.0, kLastDateTime);
  software.Bind("VireonSystem", "UseAutoStart", p.auto_start);
}

}  // namespace vireon
