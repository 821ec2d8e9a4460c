#include "measure/ui/TCfgAcqForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionPanels.h"
#include "measure/AcquisitionTypes.h"
#include "measure/MeasurementController.h"
#include "measure/ui/TCfgAcqWidgets.h"
#include "measure/ui/TStepFAcqCfg.h"
#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"
#include "record/FftWindows.h"

namespace vireon {
namespace {

constexpr const char* kNotAvailable = "Not available in this version";
constexpr int kWindowEntries = 9;

constexpr SpinRule kFftSizeRule{kMinFftSize, kMaxFftSize, StepModeT::smLog, 2.0, false, false};
constexpr SpinRule kAcqSizeRule{kMinFftSize, kMaxFftSize, StepModeT::sm125, 1.0, true, false};
constexpr SpinRule kRtaRule{1, 48, StepModeT::smIntRound, 1.0, true, false};
constexpr SpinRule kResistorRule{0.1, 1000000.0, StepModeT::sm125, 1.0, false, true, "Ohm"};
constexpr SpinRule kPropagationRule{0.0, 1.0, StepModeT::smReal, 0.0005, false, true, "s"};
constexpr SpinRule kHideWidthRule{1, 100, StepModeT::smIntRound, 1.0, true, false};
constexpr SpinRule kThresholdRule{1e-06, 1000.0, StepModeT::sm125, 1.0, false, true};
constexpr SpinRule kTriggerPositionRule{1.0, 100.0, StepModeT::smReal, 5.0, false, true, "%"};
constexpr SpinRule kAvgTargetRule{kMinAvgTarget, kMaxAvgTarget, StepModeT::sm125, 1.0, true, false};
constexpr SpinRule kAutoStopRule{0.0001, 1000000.0, StepModeT::sm125, 1.0, false, true, "s"};

// The window list's entry of a window code: codes 0 and 1 are entries themselves, every later
// entry has a full (even) and a half (odd) code.
int WindowEntry(std::uint8_t code) { return code <= 1 ? code : code / 2 + 1; }

// A control of a feature this version does not have: shown with its default, not editable.
template <typename Widget>
Widget* Unavailable(Widget* widget) {
  widget->setEnabled(false);
  widget->setToolTip(kNotAvailable);
  return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

QHBoxLayout* Row(QLayout* column) {
  auto* row = new QHBoxLayout;
  static_cast<QBoxLayout*>(column)->addLayout(row);
  return row;
}

}  // namespace

TCfgAcqForm::TCfgAcqForm(MeasurementController& controller, CfgAcqHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool),
      controller_(controller),
      hooks_(std::move(hooks)),
      component_track_(new TStepFAcqCfg(controller.Tracking(), hooks_.changed, this)) {
  setObjectName("CfgAcqForm");
  setWindowTitle("(Acq)");
  BuildWindow();
  Refresh();
}

void TCfgAcqForm::ShowForCurrentType() {
  Refresh();
  show();
  raise();
  activateWindow();
}

void TCfgAcqForm::BuildWindow() {
  auto* rows = new QVBoxLayout(this);
  title_ = new QLabel(this);
  title_->setObjectName("pnTitle");
  title_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  title_->setAlignment(Qt::AlignCenter);
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  rows->addWidget(title_);
  auto* columns = new QHBoxLayout;
  rows->addLayout(columns);
  for (QWidget*& column : columns_) {
    column = new QWidget(this);
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(column, 0, Qt::AlignTop);
  }
  BuildSizes();
  BuildEdgesAndGain();
  BuildAnalysis();
  BuildAveraging();
  BuildWindowChoice();
  BuildHideTones();
  BuildHold();
  BuildTrigger();
  BuildTotals();
  BuildChirpAndIsolation();
  for (QWidget* column : columns_) static_cast<QVBoxLayout*>(column->layout())->addStretch();
}

QGroupBox* TCfgAcqForm::Panel(int column_index, const char* name, const QString& title) {
  QWidget* column = columns_[column_index];
  auto* panel = new QGroupBox(title, column);
  panel->setObjectName(name);
  new QVBoxLayout(panel);
  column->layout()->addWidget(panel);
  return panel;
}

void TCfgAcqForm::BuildSizes() {
  QGroupBox* sizes = Panel(0, "gbSizes", "");
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(sizes->layout())->addLayout(grid);
  fft_size_ = MakeSpin(sizes, "ersFftSize", kFftSizeRule, [this](double value) {
    controller_.SetFftSize(std::llround(value));
    Edited();
  });
  acq_size_ = MakeSpin(sizes, "ersAcqSize", kAcqSizeRule, [this](double value) {
    controller_.SetAcqSize(std::llround(value));
    Edited();
  });
  grid->addWidget(new QLabel("FFT Size", sizes), 0, 0);
  grid->addWidget(fft_size_, 0, 1);
  grid->addWidget(new QLabel("Acquisition Size", sizes), 1, 0);
  grid->addWidget(acq_size_, 1, 1);
}

void TCfgAcqForm::BuildEdgesAndGain() {
  edges_ = Panel(0, "gbWindowEdges", "");
  QPushButton* find_edges = MakeButton(edges_, "bntAutEdg", "Find Window Edges");
  find_edges->setEnabled(static_cast<bool>(hooks_.find_window_edges));
  connect(find_edges, &QPushButton::clicked, this, [this] { hooks_.find_window_edges(); });
  edges_each_ = MakeCheckBox(edges_, "cbAutEdgStick", "with each Acquisition", [this](bool on) {
    controller_.Acquisition().find_edges_each = on;
    Edited();
  });
  QHBoxLayout* row = Row(edges_->layout());
  row->addWidget(find_edges);
  row->addWidget(edges_each_);

  // The input level search belongs to the audio interface, which has none in this version.
  QGroupBox* input_gain = Panel(0, "gbInputGain", "");
  row = Row(input_gain->layout());
  row->addWidget(Unavailable(MakeButton(input_gain, "btnAutInGain", "Auto Input Gain")));
  row->addWidget(Unavailable(MakeCheckBox(input_gain, "cbAutInStick", " continual", {})));
}

void TCfgAcqForm::BuildAnalysis() {
  AcquisitionSettings& settings = controller_.Acquisition();
  rta_ = Panel(0, "gbRta", "");
  rta_resolution_ = MakeSpin(rta_, "ersOctFrac", kRtaRule, [this, &settings](double value) {
    const int resolution = LimitRtaResolution(static_cast<int>(std::lround(value)));
    const bool restart = resolution != settings.rta_resolution;
    settings.rta_resolution = resolution;
    // Bands of another width cannot be averaged with the old ones.
    if (restart && hooks_.restart_averages) hooks_.restart_averages();
    Edited();
  });
  QHBoxLayout* row = Row(rta_->layout());
  row->addWidget(new QLabel("RTA Resolution", rta_));
  row->addWidget(rta_resolution_);

  impedance_ = Panel(0, "gbImpedance", "");
  // The wiring has no setting of its own yet: the impedance analysis is not in this version.
  RadioChoice* connection = Unavailable(
      new RadioChoice("rgImpedanceConnection", "", {"VoltDrop", "CurSense"}, impedance_));
  connection->SetItemIndex(0);
  reference_resistor_ =
      MakeSpin(impedance_, "ersRefResistor", kResistorRule, [this, &settings](double value) {
        settings.reference_resistor = value;
        Edited();
      });
  impedance_->layout()->addWidget(connection);
  row = Row(impedance_->layout());
  row->addWidget(new QLabel("Reference Resistor", impedance_));
  row->addWidget(reference_resistor_);

  propagation_ = Panel(0, "gbPropagation", "");
  propagation_time_ =
      MakeSpin(propagation_, "ersPropagTime", kPropagationRule, [this, &settings](double value) {
        settings.propagation_time_s = value;
        Edited();
      });
  row = Row(propagation_->layout());
  row->addWidget(new QLabel("Propagation time", propagation_));
  row->addWidget(propagation_time_);

  component_button_ = MakeButton(columns_[0], "btnCompCfg", "Edit Component Track");
  connect(component_button_, &QPushButton::clicked, this, [this] {
    component_track_->Refresh();
    component_track_->show();
    component_track_->raise();
    component_track_->activateWindow();
  });
  columns_[0]->layout()->addWidget(component_button_);
}

void TCfgAcqForm::BuildWindowChoice() {
  QGroupBox* window_group = Panel(1, "gbWindow", "");
  window_ = new QComboBox(window_group);
  window_->setObjectName("cbWindow");
  for (int entry = 0; entry < kWindowEntries; ++entry) {
    window_->addItem(ToQString(WindowListName(entry)));
  }
  connect(window_, &QComboBox::activated, this, [this] { WindowPicked(); });
  half_ = MakeCheckBox(window_group, "cbxHalf", "half", [this](bool) { WindowPicked(); });
  normalize_ = MakeCheckBox(window_group, "cbNorm", "Normalize ch1/ch2", [this](bool on) {
    controller_.Acquisition().normalize = on;
    Edited();
  });
  QHBoxLayout* row = Row(window_group->layout());
  row->addWidget(new QLabel("Windowing", window_group));
  row->addWidget(window_);
  row->addWidget(half_);
  window_group->layout()->addWidget(normalize_);
  // The frequency-dependent window is part of the analysis context the controller keeps to
  // itself; there is no setting to hold the choice yet.
  window_group->layout()->addWidget(
      Unavailable(MakeCheckBox(window_group, "cbSlideWin", "Use SlidingWindow", {})));
}

void TCfgAcqForm::BuildHideTones() {
  AcquisitionSettings& settings = controller_.Acquisition();
  hide_tones_ = Panel(1, "gbHideTones", "");
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(hide_tones_->layout())->addLayout(grid);
  static constexpr const char* kNames[2][2] = {{"Acq0SkipStim0", "Acq0SkipStim1"},
                                               {"Acq1SkipStim0", "Acq1SkipStim1"}};
  for (int acq = 0; acq < 2; ++acq) {
    grid->addWidget(new QLabel(QString("Acq Ch%1: Hide tones from").arg(acq + 1), hide_tones_), acq,
                    0);
    for (int stim = 0; stim < 2; ++stim) {
      skip_[acq][stim] =
          MakeCheckBox(hide_tones_, kNames[acq][stim], QString("stim Ch%1").arg(stim + 1),
                       [this, &settings, acq, stim](bool on) {
                         settings.hide_tones[acq][stim] = on;
                         Edited();
                       });
      grid->addWidget(skip_[acq][stim], acq, stim + 1);
    }
  }
  hide_bandwidth_ =
      MakeSpin(hide_tones_, "ersHideBW", kHideWidthRule, [this, &settings](double value) {
        settings.hide_bandwidth_bins = static_cast<int>(std::lround(value));
        Edited();
      });
  grid->addWidget(new QLabel("Hide Tone BW", hide_tones_), 2, 0);
  grid->addWidget(hide_bandwidth_, 2, 1, 1, 2);
}

void TCfgAcqForm::BuildHold() {
  AcquisitionSettings& settings = controller_.Acquisition();
  hold_ = Panel(1, "gbHold", "");
  max_hold_ = MakeCheckBox(hold_, "cbMaxHold", "Max", [this, &settings](bool on) {
    settings.max_hold = on;
    Edited();
  });
  min_hold_ = MakeCheckBox(hold_, "cbMinHold", "Min", [this, &settings](bool on) {
    settings.min_hold = on;
    Edited();
  });
  restart_ = MakeButton(hold_, "lbRestart", "Restart");
  restart_->setFlat(true);
  restart_->setEnabled(static_cast<bool>(hooks_.restart_averages));
  connect(restart_, &QPushButton::clicked, this, [this] { hooks_.restart_averages(); });
  QHBoxLayout* row = Row(hold_->layout());
  row->addWidget(new QLabel("Hold:", hold_));
  row->addWidget(max_hold_);
  row->addWidget(min_hold_);
  row->addWidget(restart_);
}

void TCfgAcqForm::BuildTrigger() {
  AcquisitionTrigger& trigger = controller_.Extras().trigger;
  trigger_ = Panel(1, "gbTrigger", "Trigger");
  trigger_source_ = new RadioChoice("rgTrigSource", "", {"from Ch1", "from Ch2"}, trigger_);
  trigger_source_->OnPick([this, &trigger](int index) {
    trigger.channel = index;
    Edited();
  });
  trigger_polarity_ = new RadioChoice("rgTrigPol", "", {"Off", "[+]", "[-]", "[+,-]"}, trigger_);
  trigger_polarity_->OnPick([this, &trigger](int index) {
    trigger.polarity = static_cast<TriggerPolarity>(index);
    Edited();
  });
  trigger_slope_ = new RadioChoice("rgTrigSlope", "", {"rise /", "fall \\", "any/\\"}, trigger_);
  trigger_slope_->OnPick([this, &trigger](int index) {
    trigger.slope = static_cast<TriggerSlope>(index);
    Edited();
  });
  trigger_threshold_ =
      MakeSpin(trigger_, "ersTrigThresh", kThresholdRule, [this, &trigger](double value) {
        trigger.threshold = value;
        Edited();
      });
  trigger_position_ =
      MakeSpin(trigger_, "ersTrigPos", kTriggerPositionRule, [this, &trigger](double value) {
        trigger.position_percent = value;
        Edited();
      });
  run_after_trigger_ =
      MakeCheckBox(trigger_, "cbRunAfterTrig", "free-run after trig", [this, &trigger](bool on) {
        trigger.free_run_after_trigger = on;
        Edited();
      });
  QHBoxLayout* row = Row(trigger_->layout());
  row->addWidget(trigger_source_);
  row->addWidget(trigger_polarity_);
  row->addWidget(trigger_slope_);
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(trigger_->layout())->addLayout(grid);
  grid->addWidget(new QLabel("Threshold", trigger_), 0, 0);
  grid->addWidget(trigger_threshold_, 0, 1);
  grid->addWidget(new QLabel("Time Position", trigger_), 1, 0);
  grid->addWidget(trigger_position_, 1, 1);
  trigger_->layout()->addWidget(run_after_trigger_);
}

void TCfgAcqForm::BuildTotals() {
  SpectrumTotals& totals = controller_.Extras().totals;
  totals_ = Panel(1, "gbTotals", "");
  total_ch1_ = MakeCheckBox(totals_, "cbCalcTotCh1", "Ch1", [this, &totals](bool on) {
    totals.channel1 = on;
    Edited();
  });
  total_ch2_ = MakeCheckBox(totals_, "cbCalcTotCh2", "Ch2", [this, &totals](bool on) {
    totals.channel2 = on;
    Edited();
  });
  all_freqs_ = new QRadioButton("All Freqs", totals_);
  all_freqs_->setObjectName("rbAllFreqs");
  displayed_freqs_ = new QRadioButton("Displayed Freqs", totals_);
  displayed_freqs_->setObjectName("rbDisplayedFreqs");
  auto* range = new QButtonGroup(totals_);
  range->addButton(all_freqs_, 0);
  range->addButton(displayed_freqs_, 1);
  connect(range, &QButtonGroup::idClicked, this, [this, &totals](int id) {
    totals.displayed_freqs_only = id == 1;
    Edited();
  });
  QHBoxLayout* row = Row(totals_->layout());
  row->addWidget(new QLabel("Calc Total:", totals_));
  row->addWidget(total_ch1_);
  row->addWidget(total_ch2_);
  row = Row(totals_->layout());
  row->addWidget(all_freqs_);
  row->addWidget(displayed_freqs_);
}

void TCfgAcqForm::BuildChirpAndIsolation() {
  chirp_ = Panel(1, "gbChirpReference", "");
  ideal_norm_ = MakeCheckBox(chirp_, "UseIdealNorm", "Use Ideal Cal Reference", [this](bool on) {
    controller_.Acquisition().use_ideal_norm = on;
    Edited();
  });
  chirp_->layout()->addWidget(ideal_norm_);
  chirp_->layout()->addWidget(
      Unavailable(MakeCheckBox(chirp_, "cbUseMathRefcal", "Use Math RefCal", {})));

  // Distortion isolation and the late normalisation are not in this version: their controls
  // show their defaults.
  isolation_ = Panel(1, "gbIsolation", "");
  QHBoxLayout* row = Row(isolation_->layout());
  row->addWidget(Unavailable(MakeCheckBox(isolation_, "cbResidual", "Isolate Distortion", {})));
  QCheckBox* calc_new = MakeCheckBox(isolation_, "cbCalcNewExp", "Calc new \"expected\" data", {});
  calc_new->setChecked(true);
  row->addWidget(Unavailable(calc_new));
  row = Row(isolation_->layout());
  auto* file = new QLineEdit(isolation_);
  file->setObjectName("edRefIRFile");
  file->setReadOnly(true);
  row->addWidget(Unavailable(file));
  row->addWidget(Unavailable(MakeButton(isolation_, "bbRefIRFile", "Open Reference IR File")));

  late_eq_ = Panel(1, "gbLateEQ", "");
  row = Row(late_eq_->layout());
  row->addWidget(Unavailable(MakeCheckBox(late_eq_, "cbLateEQ", "   use Late Normalize", {})));
  row->addWidget(Unavailable(MakeButton(late_eq_, "bbChooseLateEQ", "...")));
}

void TCfgAcqForm::BuildAveraging() {
  AcquisitionSettings& settings = controller_.Acquisition();
  QGroupBox* panel = Panel(0, "gbAveraging", "");
  avg_on_ = MakeCheckBox(panel, "AvgOn", "Average/Decay ON", [this, &settings](bool on) {
    settings.avg_on = on;
    Edited();
  });
  avg_target_ = MakeSpin(panel, "ersAvgNum", kAvgTargetRule, [this](double value) {
    controller_.SetAvgTarget(std::llround(value));
    Edited();
  });
  avg_type_ = new QComboBox(panel);
  avg_type_->setObjectName("cAvgType");
  avg_type_->addItems({"Log", "Mag", "Rms", "Coh", "Decay"});
  connect(avg_type_, &QComboBox::activated, this, [this, &settings](int index) {
    settings.avg_type = index;
    Edited();
  });
  auto_stop_ = new RadioChoice("rgAutoStop", "Auto Stop", {"Off", "Avgs", "Timer"}, panel);
  auto_stop_->OnPick([this, &settings](int index) {
    settings.auto_stop = static_cast<AutoStopMode>(index);
    Edited();
  });
  auto_stop_time_ =
      MakeSpin(panel, "ersAutoTimeOut", kAutoStopRule, [this, &settings](double value) {
        settings.auto_stop_seconds = LimitAutoStopSeconds(value);
        Edited();
      });
  panel->layout()->addWidget(avg_on_);
  QHBoxLayout* row = Row(panel->layout());
  row->addWidget(avg_target_);
  row->addWidget(avg_type_);
  row = Row(panel->layout());
  row->addWidget(auto_stop_);
  row->addWidget(auto_stop_time_, 0, Qt::AlignBottom);
}

void TCfgAcqForm::WindowPicked() {
  const bool half = half_->isEnabled() && half_->isChecked();
  const std::uint8_t code = WindowCode(window_->currentIndex(), half);
  controller_.Acquisition().window = code;
  // Each engine keeps its own window, so the choice must survive a change of stimulus.
  AcquisitionExtras& extras = controller_.Extras();
  (IsSynchronousStimulus(controller_.StimCode()) ? extras.window_sync : extras.window_async) = code;
  Edited();
}

void TCfgAcqForm::Edited() {
  ForceAcquisitionRules(controller_.StimCode(), controller_.AcqType(), controller_.Acquisition());
  Refresh();
  if (hooks_.changed) hooks_.changed();
}

void TCfgAcqForm::ShowPanels() {
  const int acq_type = controller_.AcqType();
  const AcquisitionPanels panels = PanelsFor(controller_.StimCode(), acq_type);
  edges_->setVisible(panels.window_edges);
  rta_->setVisible(panels.rta);
  impedance_->setVisible(panels.impedance);
  propagation_->setVisible(panels.propagation);
  normalize_->setVisible(panels.normalize);
  half_->setEnabled(panels.half_window);
  hide_tones_->setVisible(panels.hide_tones);
  hold_->setVisible(panels.hold);
  trigger_->setVisible(panels.trigger);
  totals_->setVisible(panels.totals);
  chirp_->setVisible(panels.chirp_reference);
  isolation_->setVisible(panels.isolation);
  late_eq_->setVisible(panels.late_normalize);
  avg_on_->setEnabled(!panels.averaging_forced);
  avg_target_->setEnabled(!panels.averaging_forced);
  auto_stop_->setEnabled(!panels.auto_stop_forced);

  // The wavelet types' own parameters window is not in this version.
  component_button_->setVisible(panels.component_track || panels.wavelet_parameters);
  component_button_->setEnabled(panels.component_track);
  component_button_->setText(panels.wavelet_parameters ? "Analysis Parameters"
                                                       : "Edit Component Track");
  component_button_->setToolTip(panels.wavelet_parameters ? kNotAvailable : "");
  title_->setText(ToQString(AcquisitionName(acq_type)));
}

void TCfgAcqForm::Refresh() {
  ShowPanels();
  const AcquisitionSettings& settings = controller_.Acquisition();
  const AcquisitionExtras& extras = controller_.Extras();
  fft_size_->SetRealValue(settings.fft_size);
  acq_size_->SetRealValue(settings.acq_size);
  edges_each_->setChecked(settings.find_edges_each);
  rta_resolution_->SetRealValue(settings.rta_resolution);
  reference_resistor_->SetRealValue(settings.reference_resistor);
  propagation_time_->SetRealValue(settings.propagation_time_s);
  window_->setCurrentIndex(WindowEntry(settings.window));
  half_->setChecked(IsHalfWindow(settings.window));
  normalize_->setChecked(settings.normalize);
  for (int acq = 0; acq < 2; ++acq) {
    for (int stim = 0; stim < 2; ++stim)
      skip_[acq][stim]->setChecked(settings.hide_tones[acq][stim]);
  }
  hide_bandwidth_->SetRealValue(settings.hide_bandwidth_bins);
  max_hold_->setChecked(settings.max_hold);
  min_hold_->setChecked(settings.min_hold);
  trigger_source_->SetItemIndex(extras.trigger.channel);
  trigger_polarity_->SetItemIndex(static_cast<int>(extras.trigger.polarity));
  trigger_threshold_->SetRealValue(extras.trigger.threshold);
  trigger_position_->SetRealValue(extras.trigger.position_percent);
  trigger_slope_->SetItemIndex(static_cast<int>(extras.trigger.slope));
  run_after_trigger_->setChecked(extras.trigger.free_run_after_trigger);
  total_ch1_->setChecked(extras.totals.channel1);
  total_ch2_->setChecked(extras.totals.channel2);
  (extras.totals.displayed_freqs_only ? displayed_freqs_ : all_freqs_)->setChecked(true);
  ideal_norm_->setChecked(settings.use_ideal_norm);
  avg_on_->setChecked(settings.avg_on);
  avg_target_->SetRealValue(settings.avg_target);
  avg_type_->setCurrentIndex(settings.avg_type);
  auto_stop_->SetItemIndex(static_cast<int>(settings.auto_stop));
  auto_stop_time_->SetRealValue(settings.auto_stop_seconds);
  component_track_->Refresh();
}

}  // namespace vireon
