#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vireon {

class MeasurementController;
class RadioChoice;
class TEditRealSpin;
class TStepFAcqCfg;

// What the acquisition window asks of the main window.
struct CfgAcqHooks {
  // After every user change of a setting, so the main window re-applies the settings.
  std::function<void()> changed = [] {};
  // "Find Window Edges" once, on the primary plot's time record; none: the button is disabled.
  std::function<void()> find_window_edges;
  // Starts the running average and the hold trace again ("Restart", and a changed RTA
  // resolution); none: "Restart" is disabled.
  std::function<void()> restart_averages;
};

// "(Acq)": the parameters of the current acquisition type, with a title panel naming it. It
// edits the controller's acquisition settings, extras and component-tracking settings in place
// and shows only the panels that apply to the current stimulus and acquisition type.
class TCfgAcqForm : public QWidget {
 public:
  TCfgAcqForm(MeasurementController& controller, CfgAcqHooks hooks, QWidget* parent = nullptr);

  // Shows and raises the window for the controller's current stimulus and acquisition type.
  void ShowForCurrentType();
  // Re-reads every control, the title and the panels shown from the controller.
  void Refresh();
  TStepFAcqCfg& ComponentTrackWindow() { return *component_track_; }

 private:
  void BuildWindow();
  QGroupBox* Panel(int column, const char* name, const QString& title);
  void BuildSizes();
  void BuildEdgesAndGain();
  void BuildAnalysis();
  void BuildWindowChoice();
  void BuildHideTones();
  void BuildHold();
  void BuildTrigger();
  void BuildTotals();
  void BuildChirpAndIsolation();
  void BuildAveraging();
  void ShowPanels();
  void WindowPicked();
  void Edited();

  MeasurementController& controller_;
  CfgAcqHooks hooks_;
  TStepFAcqCfg* component_track_;
  QWidget* columns_[2] = {};

  // Child widgets, owned by Qt through their parents.
  QLabel* title_ = nullptr;
  QGroupBox* edges_ = nullptr;
  QGroupBox* rta_ = nullptr;
  QGroupBox* impedance_ = nullptr;
  QGroupBox* propagation_ = nullptr;
  QGroupBox* hide_tones_ = nullptr;
  QGroupBox* hold_ = nullptr;
  QGroupBox* trigger_ = nullptr;
  QGroupBox* totals_ = nullptr;
  QGroupBox* chirp_ = nullptr;
  QGroupBox* isolation_ = nullptr;
  QGroupBox* late_eq_ = nullptr;
  TEditRealSpin* fft_size_ = nullptr;
  TEditRealSpin* acq_size_ = nullptr;
  QCheckBox* edges_each_ = nullptr;
  TEditRealSpin* rta_resolution_ = nullptr;
  TEditRealSpin* reference_resistor_ = nullptr;
  TEditRealSpin* propagation_time_ = nullptr;
  QPushButton* component_button_ = nullptr;
  QComboBox* window_ = nullptr;
  QCheckBox* half_ = nullptr;
  QCheckBox* normalize_ = nullptr;
  QCheckBox* skip_[2][2] = {};
  TEditRealSpin* hide_bandwidth_ = nullptr;
  QCheckBox* max_hold_ = nullptr;
  QCheckBox* min_hold_ = nullptr;
  QPushButton* restart_ = nullptr;
  RadioChoice* trigger_source_ = nullptr;
  RadioChoice* trigger_polarity_ = nullptr;
  TEditRealSpin* trigger_threshold_ = nullptr;
  TEditRealSpin* trigger_position_ = nullptr;
  RadioChoice* trigger_slope_ = nullptr;
  QCheckBox* run_after_trigger_ = nullptr;
  QCheckBox* total_ch1_ = nullptr;
  QCheckBox* total_ch2_ = nullptr;
  QRadioButton* all_freqs_ = nullptr;
  QRadioButton* displayed_freqs_ = nullptr;
  QCheckBox* ideal_norm_ = nullptr;
  TEditRealSpin* avg_target_ = nullptr;
  QComboBox* avg_type_ = nullptr;
  QCheckBox* avg_on_ = nullptr;
  RadioChoice* auto_stop_ = nullptr;
  TEditRealSpin* auto_stop_time_ = nullptr;
};

}  // namespace vireon
