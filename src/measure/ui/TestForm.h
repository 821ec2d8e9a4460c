#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "audio/devices/WaveDevice.h"
#include "audio/engine/StreamingEngine.h"
#include "config/ProgramPreferences.h"
#include "config/ui/ConfigDialogs.h"
#include "files/FileContext.h"
#include "measure/MeasuringStation.h"
#include "measure/PrimaryDisplay.h"
#include "measure/ProgramConfiguration.h"
#include "measure/ui/AutoStartDialog.h"
#include "measure/ui/LineFrequencyEditor.h"
#include "measure/ui/LivePlots.h"
#include "record/DataObj.h"
#include "record/RecordDefaults.h"
#include "stimulus/ToneSet.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;

namespace vireon {

class BackdropWindow;
class PlotWindowList;
class SweepStimEdit;
class TCfgAcqForm;
class TCfgStimForm;
class TPlotForm;
class TSet_ADDA;
class WavCompEdit;

// The message boxes the desktop program shows; the texts use "\r" line breaks.
void ShowOkMessage(QWidget* parent, const std::string& text);
bool AskYesNo(QWidget* parent, const std::string& question);  // true for Yes

// What the main window measures with and how it reaches the user.
struct TestFormContext {
  WaveDriver& driver;  // outlives the window
  StationDevices devices;
  std::filesystem::path data_directory;
  DriverErrorText driver_error_text;
  std::function<void(QWidget* parent, const std::string& text)> show_message;
  std::function<bool(QWidget* parent, const std::string& question)> ask_yes_no = AskYesNo;
  std::function<void()> end_debug_log = [] {};
  // Ends the program once the main window has closed.
  std::function<void()> quit = [] { QCoreApplication::exit(0); };
  // "Automatic Acquisition Start Config"; none when cancelled.
  std::function<std::optional<AutoStartChoice>(QWidget* parent, const AutoStartChoice& shown)>
      ask_auto_start = AskAutoStart;
  // "A.C. Power Line Frequency"; none when cancelled.
  std::function<std::optional<double>(QWidget* parent, double hz)> ask_line_frequency =
      AskLineFrequency;
  // What the plot windows share: the default data folders live there.
  std::shared_ptr<PlotSession> plot_session = std::make_shared<PlotSession>();
  // The "Config" menu's file and folder choices and the shutdown question.
  ConfigDialogs config_dialogs = InteractiveConfigDialogs();
  // A data file named at start-up keeps the configuration windows hidden.
  bool started_with_file = false;
};

// The main window: the stimulus, acquisition and post-process choices, the Start/Stop control
// with F12 and Esc, the run indicator and the status panel, around the measurement controller
// running in real time. It feeds the primary plot window with each result, runs the start-up
// steps when first shown and the close query when closed; closing it ends the program.
class TTestForm : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kStatusTickMs = 100;

  explicit TTestForm(TestFormContext context, QWidget* parent = nullptr);
  ~TTestForm() override;

  // The primary plot window (created after this one) and the record it shows until the first
  // result; its Start/Stop and domain buttons act here.
  void SetPrimaryPlot(TPlotForm* window, TDataMeas initial_record);
  // The secondary plot windows ("*New Secondary Plot*"); the live windows are made from their
  // context. The list outlives this window.
  void SetPlotWindows(PlotWindowList& windows);
  // Puts this window, the primary plot and the configuration windows where the preferences keep
  // them: the program's own layout until a software configuration is read.
  void PlaceWindows();

  MeasurementController& Controller() { return station_.Controller(); }
  MeasuringStation& Station() { return station_; }
  LivePlots& Live() { return live_plots_; }
  // "Auto Acqusition Start Timer": asks and arms (or disarms) the automatic start.
  void EditAutoStart();
  // "A.C. Power Line Frequency": the mains frequency the stimulus periods are aligned to.
  void EditLineFrequency();
  // A key released in a plot window: F12 starts (two ticks later), Esc stops.
  void PlotKeyReleased(int key);
  // "ShowForms": this window and every plot window, maximised plot windows at normal size.
  void ShowForms();

  // The configuration files. A load is followed by the devices, choices and windows it names;
  // a save that fails shows the error and returns false.
  void LoadSoftwareConfig(const std::filesystem::path& file);
  void LoadHardwareConfig(const std::filesystem::path& file);
  bool SaveSoftwareConfig(const std::filesystem::path& file);
  bool SaveHardwareConfig(const std::filesystem::path& file);
  ProgramConfiguration& Configuration() { return configuration_; }
  QWidget& AudioWindow();  // "Audio Interface"
  ProgramPreferences& Preferences() { return preferences_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ControllerPorts Ports();
  void BuildWindow();
  void BuildMenus();
  void ConnectPlotWindow(TPlotForm* window);
  void cStimulusChange(int item);
  void cAcquisitionChange(int item);
  void bbStartClick();
  void sbStopClick();
  void RequestStart();  // F12
  void ToggleDomain();
  void StatusTimerTimer();
  void FormActivate();
  void ShowStatus();
  void RedrawPlots();
  void FollowRunState();
  void ShowAcquisitionOfController();
  void FollowPowerBroadcast();
  void BuildConfigMenu();
  void LoadConfigFiles(ConfigFile kind, bool both);
  void SaveConfigFilesAs(ConfigFile kind, bool both);
  void SaveStartupConfigs();
  void ChooseDefaultFolder(bool saving);
  void ShowPreferences();  // window places and menu checks after a software load
  void GatherPreferences(bool with_visibility);
  void ApplyOutputLevels();
  void SaveBackupRecord();
  void ShowStimulusOfController();
  void BuildConfigWindows();
  void RefreshConfigWindows();
  void ShowDevicePanels();
  void ShowInputLevels();
  void BuildBackdrop();
  void OpenToneEditor(int channel);
  void OpenStepEditor(int channel);
  void SelectBackdrop();
  void ShowBackdrop(bool shown);

  TestFormContext context_;
  ToneLists tones_ = DefaultToneLists();
  MeasuringStation station_;
  ProgramPreferences preferences_;
  ProgramConfiguration configuration_;  // after what it binds
  // A kept view's weighting file that no longer loads is left off without a message box.
  CollectedMessages weighting_notices_;
  std::optional<PrimaryDisplay> display_;
  QPointer<TPlotForm> primary_plot_;
  PlotWindowList* plot_windows_ = nullptr;
  LivePlots live_plots_;
  AutoStartChoice auto_start_;
  std::optional<std::uint8_t> plot_shows_type_;  // the data type the plot was last given
  bool activated_ = false;
  int blink_ticks_ = 0;
  std::optional<PlotColor> blinker_colour_;
  QTimer status_timer_;

  // Child widgets, owned by Qt through their parents.
  QComboBox* stimulus_box_ = nullptr;
  QComboBox* acquisition_box_ = nullptr;
  QComboBox* postprocess_box_ = nullptr;
  QPushButton* start_button_ = nullptr;
  QPushButton* stop_button_ = nullptr;
  QPushButton* time_freq_button_ = nullptr;
  QLabel* run_blinker_ = nullptr;
  QLabel* status_word_ = nullptr;
  QAction* new_secondary_plot_ = nullptr;
  QAction* query_for_save_ = nullptr;
  TSet_ADDA* audio_window_ = nullptr;
  TCfgStimForm* stimulus_window_ = nullptr;
  TCfgAcqForm* acquisition_window_ = nullptr;
  BackdropWindow* backdrop_ = nullptr;
  std::array<WavCompEdit*, 2> tone_editors_{};    // lists P and Q, made when first opened
  std::array<SweepStimEdit*, 2> step_editors_{};  // channels 1 and 2
  QAction* defaults_track_changes_ = nullptr;
};

}  // namespace vireon
