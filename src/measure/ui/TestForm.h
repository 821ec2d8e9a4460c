#pragma once

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "audio/devices/WaveDevice.h"
#include "audio/engine/StreamingEngine.h"
#include "measure/MeasuringStation.h"
#include "measure/PrimaryDisplay.h"
#include "record/DataObj.h"
#include "record/RecordDefaults.h"
#include "stimulus/ToneSet.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vireon {

class TPlotForm;

// What the main window measures with and how it reaches the user.
struct TestFormContext {
  WaveDriver& driver;  // outlives the window
  StationDevices devices;
  std::filesystem::path data_directory;
  DriverErrorText driver_error_text;
  // A message box with an OK button; the texts use "\r" line breaks.
  std::function<void(QWidget* parent, const std::string& text)> show_message;
  std::function<void()> end_debug_log = [] {};
  // Ends the program once the main window has closed.
  std::function<void()> quit = [] { QCoreApplication::exit(0); };
};

// The message box the desktop program shows.
void ShowOkMessage(QWidget* parent, const std::string& text);

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

  MeasurementController& Controller() { return station_.Controller(); }
  MeasuringStation& Station() { return station_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  ControllerPorts Ports();
  void BuildWindow();
  void cStimulusChange(int item);
  void cAcquisitionChange(int item);
  void bbStartClick();
  void sbStopClick();
  void RequestStart();  // F12
  void ToggleDomain();
  void StatusTimerTimer();
  void FormActivate();
  void ShowStatus();
  void RedrawPrimary();
  void FollowRunState();
  void ShowAcquisitionOfController();

  TestFormContext context_;
  ToneLists tones_ = DefaultToneLists();
  MeasuringStation station_;
  std::optional<PrimaryDisplay> display_;
  QPointer<TPlotForm> primary_plot_;
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
};

}  // namespace vireon
