// The main window's part in the configuration files: the "Config" menu, loading and saving the
// software and hardware files, and the window places and choices they keep.

#include "measure/ui/TestForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

#include <string>
#include <system_error>
#include <utility>

#include "audio/ui/TSet_ADDA.h"
#include "common/DateTime.h"
#include "common/VireonError.h"
#include "config/ui/BackdropWindow.h"
#include "config/ui/WindowPlacing.h"
#include "files/FileIO_Data.h"
#include "measure/ui/TCfgAcqForm.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"
#include "stimulus/ui/TCfgStimForm.h"

namespace vireon {
namespace {

constexpr std::string_view kNoPlaybackDevices = "No Audio Playback Devices Found";
constexpr std::string_view kNoRecordingDevices = "No Audio Recording Devices Found";
constexpr std::string_view kNoUsableDevices = "No Usable Audio Devices Found";

bool FileExists(const std::string& file) {
  std::error_code error;
  return std::filesystem::is_regular_file(file, error);
}

WindowPlace Corner(const WindowPlace& place) { return {place.left, place.top}; }

std::filesystem::path WithExtension(std::filesystem::path file, std::string_view extension) {
  return file.replace_extension(extension);
}

FileQuestion ConfigFileQuestion(bool save, ConfigFile kind, const std::filesystem::path& folder) {
  const bool hardware = kind == ConfigFile::kHardware;
  return {save, "", std::string(hardware ? kHardwareConfigFilter : kSoftwareConfigFilter) + "|",
          hardware ? "hdi" : "ini", folder / ""};
}

}  // namespace

void TTestForm::BuildConfigMenu() {
  QMenu* config = menuBar()->addMenu("Config");
  config->setObjectName("ConfigMenu");
  const auto add = [this](QMenu* menu, const char* caption, const char* name, auto command) {
    menu->addAction(caption, this, std::move(command))->setObjectName(name);
  };
  using enum ConfigFile;

  QMenu* load = config->addMenu("Load Config File...");
  add(load, "Software and Hardware", "LoadBothConfigs",
      [this] { LoadConfigFiles(kSoftware, true); });
  add(load, "Software specific", "LoadSoftwareConfig",
      [this] { LoadConfigFiles(kSoftware, false); });
  add(load, "Hardware Specific", "LoadHardwareConfig",
      [this] { LoadConfigFiles(kHardware, false); });
  QMenu* save = config->addMenu("Save As...");
  add(save, "Software and Hardware", "SaveBothConfigsAs",
      [this] { SaveConfigFilesAs(kSoftware, true); });
  add(save, "Software specific", "SaveSoftwareConfigAs",
      [this] { SaveConfigFilesAs(kSoftware, false); });
  add(save, "Hardware Specific", "SaveHardwareConfigAs",
      [this] { SaveConfigFilesAs(kHardware, false); });
  add(config, "Save As Startup Configs", "SaveStartupConfigs", [this] { SaveStartupConfigs(); });
  add(config, "Use StartUp Configs", "UseStartupConfigs",
      [this] { LoadSoftwareConfig(configuration_.DefaultFile(kSoftware)); });

  QMenu* folders = config->addMenu("Default Data Directory");
  add(folders, "For Loading", "DefaultFolderForLoading", [this] { ChooseDefaultFolder(false); });
  add(folders, "For Saving", "DefaultFolderForSaving", [this] { ChooseDefaultFolder(true); });
  defaults_track_changes_ = folders->addAction("Defaults track changes");
  defaults_track_changes_->setObjectName("DefaultsTrackChanges");
  defaults_track_changes_->setCheckable(true);
  defaults_track_changes_->setChecked(context_.plot_session->folders.follow_changes);
  connect(defaults_track_changes_, &QAction::toggled, this,
          [this](bool on) { context_.plot_session->folders.follow_changes = on; });

  QMenu* hardware = config->addMenu("Hardware Specific");
  add(hardware, "Load.Hardware Config..", "LoadHardwareConfigFile",
      [this] { LoadConfigFiles(kHardware, false); });
  add(hardware, "Save Hardware Config As...", "SaveHardwareConfigFileAs",
      [this] { SaveConfigFilesAs(kHardware, false); });
  add(hardware, "Use StartUp Hardware Config", "UseStartupHardwareConfig",
      [this] { LoadHardwareConfig(configuration_.DefaultFile(kHardware)); });
}

// "Software and Hardware" takes the hardware file of the same base name with the software file.
void TTestForm::LoadConfigFiles(ConfigFile kind, bool both) {
  const auto file = context_.config_dialogs.choose_file(
      this, ConfigFileQuestion(false, kind, context_.data_directory));
  if (!file) return;
  if (kind == ConfigFile::kHardware || both) {
    LoadHardwareConfig(both ? WithExtension(*file, ".hdi") : *file);
  }
  if (kind == ConfigFile::kSoftware) LoadSoftwareConfig(*file);
}

void TTestForm::SaveConfigFilesAs(ConfigFile kind, bool both) {
  const FileQuestion question = ConfigFileQuestion(true, kind, context_.data_directory);
  auto file = context_.config_dialogs.choose_file(this, question);
  if (!file) return;
  if (!file->has_extension()) file->replace_extension("." + question.default_extension);
  if (kind == ConfigFile::kHardware || both) {
    if (!SaveHardwareConfig(both ? WithExtension(*file, ".hdi") : *file)) return;
  }
  if (kind == ConfigFile::kSoftware) SaveSoftwareConfig(*file);
}

void TTestForm::SaveStartupConfigs() {
  if (SaveHardwareConfig(configuration_.DefaultFile(ConfigFile::kHardware))) {
    SaveSoftwareConfig(configuration_.DefaultFile(ConfigFile::kSoftware));
  }
}

void TTestForm::ChooseDefaultFolder(bool saving) {
  DataFolders& folders = context_.plot_session->folders;
  std::string& folder = saving ? folders.save : folders.load;
  const auto chosen = context_.config_dialogs.choose_folder(
      this, std::string(saving ? kSaveFolderCaption : kOpenFolderCaption), folder);
  if (chosen) folder = chosen->string();
}

// The devices the file names are selected; without a device of either kind the program stays
// usable without output.
void TTestForm::LoadHardwareConfig(const std::filesystem::path& file) {
  if (Controller().Running()) sbStopClick();
  configuration_.HardwareConfig(file, WalkDirection::kRead);
  AudioInterfaceSettings& audio = station_.Audio();
  if (const auto message = audio.ApplySoundcards()) context_.show_message(this, *message);
  if (audio.Devices(WaveDirection::kPlay).empty()) {
    Controller().NoticeLog().Notice(std::string(kNoPlaybackDevices));
  }
  if (audio.Devices(WaveDirection::kRecord).empty()) {
    Controller().NoticeLog().Notice(std::string(kNoRecordingDevices));
  }
  ApplyOutputLevels();
  audio_window_->Refresh();
  ShowDevicePanels();
  RefreshConfigWindows();
  ShowStatus();
}

// Keys the file lacks keep the current values: the window places are taken first.
void TTestForm::LoadSoftwareConfig(const std::filesystem::path& file) {
  if (Controller().Running()) sbStopClick();
  GatherPreferences(false);
  if (display_) configuration_.Views() = display_->KeptViews();
  configuration_.SoftwareConfig(file, WalkDirection::kRead);
  if (display_) display_->SetKeptViews(configuration_.Views());
  Controller().ApplyConfiguration();
  ApplyOutputLevels();
  ShowStimulusOfController();
  ShowAcquisitionOfController();
  if (display_) display_->SelectAcquisition(Controller().AcqType());
  audio_window_->Refresh();
  ShowDevicePanels();
  RefreshConfigWindows();
  ShowPreferences();
  if (!station_.Audio().HasDevices()) {
    Controller().NoticeLog().Notice(std::string(kNoUsableDevices));
  }
  ShowStatus();
}

bool TTestForm::SaveSoftwareConfig(const std::filesystem::path& file) {
  GatherPreferences(true);
  Controller().StoreForConfiguration();
  if (display_) configuration_.Views() = display_->KeptViews();
  try {
    configuration_.SoftwareConfig(file, WalkDirection::kSave);
    return true;
  } catch (const VireonError& error) {
    context_.show_message(this, error.what());
    return false;
  }
}

bool TTestForm::SaveHardwareConfig(const std::filesystem::path& file) {
  try {
    configuration_.HardwareConfig(file, WalkDirection::kSave);
    return true;
  } catch (const VireonError& error) {
    context_.show_message(this, error.what());
    return false;
  }
}

// The primary plot's record, as the next start's backup.
void TTestForm::SaveBackupRecord() {
  if (primary_plot_ == nullptr || primary_plot_->Record() == nullptr) return;
  CollectedMessages messages;
  if (!SaveDataFile(context_.data_directory / kBackupDataFileName, *primary_plot_->Record(), false,
                    messages)) {
    for (const std::string& text : messages.Texts()) Controller().NoticeLog().Notice(text);
  }
}

void TTestForm::ApplyOutputLevels() {
  station_.Audio().SetOutputLevels(OutputLevelsOf(station_.Stimulus()));
}

// The visibility of the configuration windows is taken only for a save: before a load the
// windows of a starting program are not shown yet.
void TTestForm::GatherPreferences(bool with_visibility) {
  if (with_visibility) {
    preferences_.backdrop_shown = backdrop_->isVisible();
    preferences_.levels_visible = audio_window_->isVisible();
    preferences_.stimulus_window_visible = stimulus_window_->isVisible();
    preferences_.acquisition_window_visible = acquisition_window_->isVisible();
  }
  preferences_.audio_window = PlaceOf(*audio_window_);
  preferences_.stimulus_window = PlaceOf(*stimulus_window_);
  preferences_.acquisition_window = PlaceOf(*acquisition_window_);
  preferences_.main_form = PlaceOf(*this);
  preferences_.auto_start_time = auto_start_.start;
  preferences_.auto_start = auto_start_.enabled;
  if (primary_plot_ != nullptr) preferences_.primary_plot = PlaceOf(*primary_plot_);
  preferences_.live_ir = live_plots_.Place(LiveRole::kLiveIR);
  preferences_.live_time = live_plots_.Place(LiveRole::kLiveTime);
  preferences_.aux_plot = live_plots_.Place(LiveRole::kAuxPlot);
  const PrintSettings& print = context_.plot_session->print_settings;
  preferences_.print_scale = print.size_factor;
  preferences_.print_target = print.destination == PrintDestination::kDiskFile ? 1 : 0;
  preferences_.print_style = print.colors;
}

// The forms keep only their corner; the primary plot its size too, and without one it stays.
void TTestForm::PlaceWindows() {
  PlaceWindow(*this, Corner(preferences_.main_form));
  PlaceWindow(*audio_window_, Corner(preferences_.audio_window));
  PlaceWindow(*stimulus_window_, Corner(preferences_.stimulus_window));
  PlaceWindow(*acquisition_window_, Corner(preferences_.acquisition_window));
  if (primary_plot_ != nullptr && preferences_.primary_plot.Stored()) {
    PlaceWindow(*primary_plot_, preferences_.primary_plot);
  }
}

void TTestForm::ShowPreferences() {
  {
    const QSignalBlocker quiet(query_for_save_);
    query_for_save_->setChecked(preferences_.query_for_save_at_shutdown);
  }
  {
    const QSignalBlocker quiet(defaults_track_changes_);
    defaults_track_changes_->setChecked(context_.plot_session->folders.follow_changes);
  }
  PlaceWindows();
  audio_window_->setVisible(preferences_.levels_visible);
  // A stored picture that has gone leaves the backdrop hidden.
  const bool picture_kept =
      preferences_.backdrop_bitmap.empty() || FileExists(preferences_.backdrop_bitmap);
  preferences_.backdrop_bitmap = backdrop_->SetBackdropBitmap(preferences_.backdrop_bitmap);
  ShowBackdrop(preferences_.backdrop_shown && picture_kept);
  if (!context_.started_with_file) {
    if (preferences_.stimulus_window_visible) stimulus_window_->show();
    if (preferences_.acquisition_window_visible) acquisition_window_->ShowForCurrentType();
  }
  live_plots_.SetPlace(LiveRole::kLiveIR, preferences_.live_ir);
  live_plots_.SetPlace(LiveRole::kLiveTime, preferences_.live_time);
  live_plots_.SetPlace(LiveRole::kAuxPlot, preferences_.aux_plot);
  auto_start_ = {.start = preferences_.auto_start_time, .enabled = preferences_.auto_start};
  Controller().SetAutoStart(ArmedStart(auto_start_, NowAsDateTime()));
  PrintSettings& print = context_.plot_session->print_settings;
  print.size_factor = preferences_.print_scale;
  print.destination =
      preferences_.print_target == 1 ? PrintDestination::kDiskFile : PrintDestination::kPrinter;
  print.colors = preferences_.print_style;
}

}  // namespace vireon
