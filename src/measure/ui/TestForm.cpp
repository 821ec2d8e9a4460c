#include "measure/ui/TestForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <system_error>
#include <utility>

#include "common/DateTime.h"
#include "common/VireonError.h"
#include "measure/AcquisitionTypes.h"
#include "measure/PassBuilder.h"
#include "measure/ProgramLifecycle.h"
#include "measure/ui/AcquisitionItemDelegate.h"
#include "measure/ui/MlsWaitWindow.h"
#include "measure/ui/PowerBroadcast.h"
#include "plot/PlotFormatFile.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/QtText.h"
#include "plot/ui/PlotWindowList.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"
#include "stimulus/AcquisitionCompatibility.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

constexpr PlotColor kBlinkGreen = 0x00FF00;
constexpr PlotColor kBlinkWhite = 0xFFFFFF;
constexpr PlotColor kIdleSilver = 0xC0C0C0;
constexpr int kBlinkTicks = 500 / TTestForm::kStatusTickMs;
constexpr const char* kNotYetAvailable = "This configuration window is not available yet";

}  // namespace

namespace {

QString MessageLines(std::string text) {
  std::replace(text.begin(), text.end(), '\r', '\n');
  return ToQString(text);
}

}  // namespace

void ShowOkMessage(QWidget* parent, const std::string& text) {
  QMessageBox::information(parent, QApplication::applicationDisplayName(), MessageLines(text),
                           QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, const std::string& question) {
  return QMessageBox::question(parent, QApplication::applicationDisplayName(),
                               MessageLines(question)) == QMessageBox::Yes;
}

TTestForm::TTestForm(TestFormContext context, QWidget* parent)
    : QMainWindow(parent),
      context_(std::move(context)),
      station_(context_.driver, context_.devices, context_.data_directory, Ports(),
               context_.driver_error_text),
      configuration_({station_.Stimulus(), station_.Timing(), station_.Audio().Soundcards(),
                      Controller().Acquisition(), Controller().Extras(), Controller().Formats(),
                      Controller().Tracking(), preferences_, context_.plot_session->folders},
                     context_.data_directory),
      auto_start_{.start = NowAsDateTime(), .enabled = false} {
  station_.Controller().SetToneLists(tones_);
  station_.Controller().events.OnStarted = [this] {
    if (display_) {
      display_->SetDomain(ShowsTimeData(Controller().AcqType())
                              ? PrimaryDisplay::Domain::kTime
                              : PrimaryDisplay::Domain::kFrequency);
    }
  };
  BuildWindow();
  BuildMenus();
  BuildConfigMenu();
  BuildConfigWindows();
  BuildBackdrop();
  FollowPowerBroadcast();
  status_timer_.setInterval(kStatusTickMs);
  connect(&status_timer_, &QTimer::timeout, this, &TTestForm::StatusTimerTimer);
  ShowStatus();
  FollowRunState();
}

TTestForm::~TTestForm() = default;

ControllerPorts TTestForm::Ports() {
  ControllerPorts ports;
  ports.show_message = [this](const std::string& text) { context_.show_message(this, text); };
  ports.now = [] { return NowAsDateTime(); };
  ports.redraw_plots = [this] { RedrawPlots(); };
  ports.status_changed = [this] { ShowStatus(); };
  return ports;
}

void TTestForm::BuildWindow() {
  setObjectName("TestForm");
  setWindowTitle("Quenmar -Vireon- (MAIN FORM)");
  auto* central = new QWidget(this);
  auto* rows = new QVBoxLayout(central);
  auto* groups = new QHBoxLayout;
  rows->addLayout(groups);

  const auto add_group = [&](const char* name, const char* title, const char* combo_name,
                             const char* config_name) {
    auto* group = new QGroupBox(title, central);
    group->setObjectName(name);
    auto* column = new QVBoxLayout(group);
    auto* combo = new QComboBox(group);
    combo->setObjectName(combo_name);
    combo->setMaxVisibleItems(28);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* configure = new QPushButton("show Configure", group);
    configure->setObjectName(config_name);
    configure->setEnabled(false);
    configure->setToolTip(kNotYetAvailable);
    column->addWidget(combo);
    column->addWidget(configure);
    groups->addWidget(group);
    return combo;
  };
  stimulus_box_ = add_group("gbStimulus", "Stimulus", "cStimulus", "bbStimulusConfig");
  acquisition_box_ = add_group("gbAcquisition", "Acquisition", "cAcquisition", "bbAcqConfig");
  postprocess_box_ = add_group("gbPostprocess", "Postprocess", "cPostprocess", "bbPostConfig");
  postprocess_box_->setEnabled(false);

  for (const StimulusType& type : StimulusTypes()) stimulus_box_->addItem(ToQString(type.name));
  for (int item = 0; item < kAcquisitionItemCount; ++item) {
    acquisition_box_->addItem(ToQString(AcquisitionName(AcqTypeOfItem(item))));
  }
  acquisition_box_->setItemDelegate(new AcquisitionItemDelegate(
      [this](int item) {
        return IsAcquisitionCompatible(Controller().StimCode(), AcqTypeOfItem(item));
      },
      acquisition_box_));
  ShowStimulusOfController();
  ShowAcquisitionOfController();
  connect(stimulus_box_, &QComboBox::currentIndexChanged, this, &TTestForm::cStimulusChange);
  connect(acquisition_box_, &QComboBox::currentIndexChanged, this, &TTestForm::cAcquisitionChange);

  // sbStop lies over sbStart: only the active one shows.
  auto* controls = new QHBoxLayout;
  rows->addLayout(controls);
  start_button_ = new QPushButton("Start [F12]", central);
  start_button_->setObjectName("sbStart");
  stop_button_ = new QPushButton("Stop [Esc]", central);
  stop_button_->setObjectName("sbStop");
  time_freq_button_ = new QPushButton("TIMEFREQ", central);
  time_freq_button_->setObjectName("sbTimeFreq");
  run_blinker_ = new QLabel(central);
  run_blinker_->setObjectName("RunBlinker");
  run_blinker_->setFixedSize(16, 16);
  run_blinker_->setFrameShape(QFrame::Panel);
  run_blinker_->setFrameShadow(QFrame::Sunken);
  controls->addWidget(start_button_);
  controls->addWidget(stop_button_);
  controls->addWidget(time_freq_button_);
  controls->addStretch();
  controls->addWidget(run_blinker_);
  connect(start_button_, &QPushButton::clicked, this, &TTestForm::bbStartClick);
  connect(stop_button_, &QPushButton::clicked, this, &TTestForm::sbStopClick);
  connect(time_freq_button_, &QPushButton::clicked, this, &TTestForm::ToggleDomain);
  connect(new QShortcut(Qt::Key_F12, this), &QShortcut::activated, this, &TTestForm::RequestStart);
  connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this,
          &TTestForm::sbStopClick);
  setCentralWidget(central);

  // Panel 0 is the status word; panels 1 and 2 hold the play and record device texts.
  statusBar()->setObjectName("StatusBar1");
  status_word_ = new QLabel(statusBar());
  status_word_->setObjectName("StatusPanel0");
  status_word_->setMinimumWidth(90);
  statusBar()->addWidget(status_word_);
  for (const char* name : {"StatusPanel1", "StatusPanel2"}) {
    auto* panel = new QLabel(statusBar());
    panel->setObjectName(name);
    statusBar()->addWidget(panel, 1);
  }
}

void TTestForm::BuildMenus() {
  QMenu* plots = menuBar()->addMenu("&Plots");
  plots->setObjectName("PlotsMenu");
  new_secondary_plot_ = plots->addAction("*New Secondary Plot*", this, [this] {
    if (plot_windows_ != nullptr) plot_windows_->Context().new_secondary_plot();
  });
  new_secondary_plot_->setObjectName("NewSecondaryPlot");
  new_secondary_plot_->setEnabled(false);
  plots->addSeparator();
  for (const LiveRole role : {LiveRole::kLiveTime, LiveRole::kLiveIR, LiveRole::kAuxPlot}) {
    plots->addAction(live_plots_.MenuItem(role));
  }

  QMenu* options = menuBar()->addMenu("&Options");
  options->setObjectName("OptionsMenu");
  options->addAction("Auto Acqusition Start Timer", this, &TTestForm::EditAutoStart)
      ->setObjectName("AutoStartTimer");
  options->addAction("A.C. Power Line Frequency", this, &TTestForm::EditLineFrequency)
      ->setObjectName("LineFrequency");
  options
      ->addAction("Audio Interface", this,
                  [this] {
                    AudioWindow().show();
                    AudioWindow().raise();
                  })
      ->setObjectName("ShowAudioInterface");
  query_for_save_ = options->addAction("Query for Save at shutdown");
  query_for_save_->setObjectName("QueryForSave");
  query_for_save_->setCheckable(true);
  query_for_save_->setChecked(preferences_.query_for_save_at_shutdown);
  connect(query_for_save_, &QAction::toggled, this,
          [this](bool on) { preferences_.query_for_save_at_shutdown = on; });
}

void TTestForm::SetPlotWindows(PlotWindowList& windows) {
  plot_windows_ = &windows;
  new_secondary_plot_->setEnabled(true);
  live_plots_.SetContext(windows.Context());
  for (TPlotForm* window : windows.OpenWindows()) ConnectPlotWindow(window);
  connect(&windows, &PlotWindowList::WindowCreated, this, &TTestForm::ConnectPlotWindow);
  connect(&live_plots_, &LivePlots::WindowOpened, this, &TTestForm::ConnectPlotWindow);
}

void TTestForm::ConnectPlotWindow(TPlotForm* window) {
  connect(window, &TPlotForm::KeyReleased, this, &TTestForm::PlotKeyReleased);
  connect(window, &TPlotForm::ShowFormsRequested, this, &TTestForm::ShowForms);
}

void TTestForm::PlotKeyReleased(int key) {
  if (key == Qt::Key_F12) {
    RequestStart();
  } else if (key == Qt::Key_Escape) {
    sbStopClick();
  }
}

// Hidden secondary windows stay hidden: they are closing, or wait their turn in a PlotSet.
void TTestForm::ShowForms() {
  const auto bring_up = [](TPlotForm* window) {
    if (window->isMaximized() || window->isMinimized()) {
      window->showNormal();
    } else {
      window->show();
    }
    window->raise();
  };
  show();
  raise();
  if (primary_plot_) bring_up(primary_plot_);
  live_plots_.ShowOpen();
  for (const LiveRole role : {LiveRole::kLiveTime, LiveRole::kLiveIR, LiveRole::kAuxPlot}) {
    TPlotForm* window = live_plots_.Window(role);
    if (window != nullptr && window->isVisible()) bring_up(window);
  }
  if (plot_windows_ != nullptr) {
    for (TPlotForm* window : plot_windows_->OpenWindows()) {
      if (!window->isHidden()) bring_up(window);
    }
  }
}

void TTestForm::SetPrimaryPlot(TPlotForm* window, TDataMeas initial_record) {
  primary_plot_ = window;
  display_.emplace(std::move(initial_record),
                   WeightingFilesIn(context_.data_directory, weighting_notices_),
                   Controller().AcqType());
  connect(window, &TPlotForm::StartRequested, this, &TTestForm::RequestStart);
  connect(window, &TPlotForm::PreFormatLoaded, this,
          [this](const PlotFormat& format) { display_->SetPreFormat(format); });
  connect(window, &TPlotForm::StopRequested, this, &TTestForm::sbStopClick);
  connect(window, &TPlotForm::DomainToggleRequested, this, &TTestForm::ToggleDomain);
  ConnectPlotWindow(window);
  RedrawPlots();
  FollowRunState();
}

// --- Selections -----------------------------------------------------------------------------

void TTestForm::cStimulusChange(int item) {
  const auto stimuli = StimulusTypes();
  if (item < 0 || item >= static_cast<int>(stimuli.size())) return;
  Controller().SelectStimulus(stimuli[item].code);
  ShowAcquisitionOfController();
  RefreshConfigWindows();
}

// An incompatible type is refused without a word: the list shows the kept type again.
void TTestForm::cAcquisitionChange(int item) {
  if (item >= 0) Controller().SelectAcquisition(AcqTypeOfItem(item));
  if (display_) display_->SelectAcquisition(Controller().AcqType());
  ShowAcquisitionOfController();
  RefreshConfigWindows();
}

void TTestForm::ShowStimulusOfController() {
  const auto stimuli = StimulusTypes();
  const auto current = std::find_if(stimuli.begin(), stimuli.end(), [this](const auto& type) {
    return type.code == Controller().StimCode();
  });
  const QSignalBlocker quiet(stimulus_box_);
  stimulus_box_->setCurrentIndex(static_cast<int>(current - stimuli.begin()));
}

void TTestForm::ShowAcquisitionOfController() {
  const QSignalBlocker quiet(acquisition_box_);
  acquisition_box_->setCurrentIndex(ItemOfAcqType(Controller().AcqType()));
  acquisition_box_->view()->viewport()->update();
}

// --- Start and stop ---------------------------------------------------------------------------

void TTestForm::bbStartClick() {
  Controller().ClickStart();
  FollowRunState();
}

void TTestForm::sbStopClick() {
  const bool was_running = Controller().Running();
  Controller().ClickStop();
  if (was_running && !Controller().Running()) live_plots_.Reset();
  FollowRunState();
}

void TTestForm::RequestStart() { Controller().RequestStart(); }

void TTestForm::StatusTimerTimer() {
  Controller().StatusTick();
  if (Controller().Running()) ShowInputLevels();
  FollowRunState();
}

// Buttons, lists, run indicator and the plot window's button follow the controller.
void TTestForm::FollowRunState() {
  const bool running = Controller().Running();
  start_button_->setVisible(!running);
  stop_button_->setVisible(running);
  stimulus_box_->setEnabled(!running);
  acquisition_box_->setEnabled(!running);
  blink_ticks_ = running ? blink_ticks_ + 1 : 0;
  const PlotColor blinker = !running                                ? kIdleSilver
                            : (blink_ticks_ / kBlinkTicks) % 2 == 0 ? kBlinkGreen
                                                                    : kBlinkWhite;
  if (blinker != blinker_colour_) {
    blinker_colour_ = blinker;
    run_blinker_->setStyleSheet(QString("background-color: %1;").arg(ToQColor(blinker).name()));
  }
  if (primary_plot_) primary_plot_->SetMeasuring(running);
}

void TTestForm::ShowStatus() {
  if (status_word_ == nullptr) return;
  status_word_->setText(ToQString(Controller().StatusWord()));
  status_word_->setStyleSheet(
      QString("color: %1;").arg(ToQColor(Controller().StatusColour()).name()));
}

// --- The plots ---------------------------------------------------------------------------------

void TTestForm::RedrawPlots() {
  const MeasurementController& controller = Controller();
  // Only a pass feeds the live windows: after a stop they stay reset.
  if (controller.Running()) live_plots_.TakeResults(controller.LiveTimeRec(), controller.TimeRec());
  if (!display_) return;
  display_->TakeResults(controller.FreqRec(), controller.TimeRec());
  live_plots_.SetPrimaryShowsTime(display_->ShownDomain() == PrimaryDisplay::Domain::kTime);
  if (!primary_plot_) return;
  ShowResult(*primary_plot_, display_->Shown(), plot_shows_type_);
  if (controller.Running() && InputOverloaded(controller.Levels())) {
    primary_plot_->ShowInputOverload();
  }
  primary_plot_->SetDomainChangeable(display_->CanToggle());
  time_freq_button_->setEnabled(display_->CanToggle());
}

void TTestForm::ToggleDomain() {
  if (!display_ || !display_->CanToggle()) return;
  display_->Toggle();
  RedrawPlots();
}

void TTestForm::EditAutoStart() {
  const std::optional<AutoStartChoice> choice = context_.ask_auto_start(this, auto_start_);
  if (!choice) return;
  auto_start_ = *choice;
  const double now = NowAsDateTime();
  const std::optional<double> armed = ArmedStart(auto_start_, now);
  if (auto_start_.enabled && !armed) auto_start_.start = now;  // past or invalid: disarmed
  Controller().SetAutoStart(armed);
}

void TTestForm::EditLineFrequency() {
  double& line_frequency = station_.Timing().line_frequency_hz;
  if (const std::optional<double> hz = context_.ask_line_frequency(this, line_frequency)) {
    line_frequency = *hz;
  }
}

// A measurement never runs on through a sleep: it stops first, and the devices are listed
// again after waking, since they may have changed meanwhile.
void TTestForm::FollowPowerBroadcast() {
  auto* power = new PowerBroadcast(this);
  power->setObjectName("PowerBroadcast");
  connect(power, &PowerBroadcast::AboutToSleep, this, [this] {
    if (Controller().Running()) sbStopClick();
  });
  connect(power, &PowerBroadcast::Woke, this, [this] { station_.AfterWake(); });
}

// --- Start-up and shutdown --------------------------------------------------------------------

void TTestForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!activated_) {
    activated_ = true;
    FormActivate();
  }
}

// The MLS table of the configured sequence length is built (and cached in the data folder)
// before the first measurement needs it.
void TTestForm::FormActivate() {
  ActivationSteps steps;
  steps.build_mls_tables = [this] {
    const int order = SetMLSOrder(station_.Stimulus().mls_length).order;
    MlsTableStore store(context_.data_directory);
    return BuildWithMlsWaitWindow(this, store, order);
  };
  steps.notice = [this](std::string_view text) {
    Controller().NoticeLog().Notice(std::string(text));
  };
  steps.load_configuration = [this] {
    const std::filesystem::path set_aside = context_.data_directory / kSetAsideConfigName;
    std::error_code error;
    if (std::filesystem::is_regular_file(set_aside, error)) LoadSoftwareConfig(set_aside);
    LoadHardwareConfig(configuration_.DefaultFile(ConfigFile::kHardware));
    LoadSoftwareConfig(configuration_.DefaultFile(ConfigFile::kSoftware));
  };
  steps.outputs_disabled = [this] {
    return !station_.Stimulus().output1_enabled || !station_.Stimulus().output2_enabled;
  };
  steps.ask_yes_no = [this](std::string_view question) {
    return context_.ask_yes_no(this, std::string(question));
  };
  steps.enable_outputs = [this] {
    station_.Stimulus().output1_enabled = true;
    station_.Stimulus().output2_enabled = true;
    ApplyOutputLevels();
  };
  steps.arm_auto_start = [this] {
    Controller().SetAutoStart(ArmedStart(auto_start_, NowAsDateTime()));
  };
  steps.enable_status_timer = [this] { status_timer_.start(); };
  RunActivation(steps);
}

void TTestForm::closeEvent(QCloseEvent* event) {
  ShutdownSteps steps;
  steps.end_debug_log = context_.end_debug_log;
  steps.stop_measurement = [this] { sbStopClick(); };
  steps.save_latest_tone_sets = [this] {
    try {
      SaveLatestToneSets(context_.data_directory, tones_);
    } catch (const VireonError& error) {
      Controller().NoticeLog().Notice(error.what());
    }
  };
  steps.save_recent_files = [this] {
    if (primary_plot_ != nullptr) {
      primary_plot_->Session().recent_files.Save(context_.data_directory);
    }
  };
  steps.ask_save = [this](std::string_view question) {
    return context_.config_dialogs.ask_save(this, std::string(question));
  };
  steps.ask_yes_no = [this](std::string_view question) {
    return context_.ask_yes_no(this, std::string(question));
  };
  steps.save_software_configuration = [this] {
    SaveSoftwareConfig(configuration_.DefaultFile(ConfigFile::kSoftware));
  };
  steps.save_hardware_configuration = [this] {
    SaveHardwareConfig(configuration_.DefaultFile(ConfigFile::kHardware));
  };
  steps.save_backup_record = [this] { SaveBackupRecord(); };
  if (!RunCloseQuery(preferences_.query_for_save_at_shutdown, steps)) {
    event->ignore();
    return;
  }
  status_timer_.stop();
  live_plots_.HideAll();
  if (primary_plot_) primary_plot_->hide();
  setWindowTitle(windowTitle() + "  *CLOSING*");
  event->accept();
  context_.quit();
}

}  // namespace vireon
