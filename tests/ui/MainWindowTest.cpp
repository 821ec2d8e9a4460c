#include "measure/ui/TestForm.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../support/TempFolder.h"
#include "MainWindowFixture.h"
#include "audio/devices/DeviceCatalog.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "common/DateTime.h"
#include "files/FileContext.h"
#include "measure/ControllerPorts.h"
#include "measure/SimulatedStation.h"
#include "measure/ui/AutoStartDialog.h"
#include "measure/ui/LineFrequencyEditor.h"
#include "measure/ui/MlsWaitWindow.h"
#include "measure/ui/PowerBroadcast.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TEditRealSpin.h"
#include "plot/ui/TPlotForm.h"
#include "stimulus/MlsTables.h"

namespace vireon {
namespace {

using namespace std::chrono_literals;

class MainWindow : public MainWindowFixture {
 protected:
  // The plot shows a frequency result in place of the initial time record.
  bool FrequencyResultShown() {
    const TDataMeas* shown = primary_.Record();
    return shown != nullptr && !shown->IsSampled() && shown->FNumPoints > 0;
  }
};

TEST_F(MainWindow, ListsTheChoicesByTheirNamesAndStartsIdle) {
  EXPECT_EQ(form_.objectName(), "TestForm");
  EXPECT_EQ(form_.windowTitle(), "Quenmar -Vireon- (MAIN FORM)");
  for (const char* name : {"gbStimulus", "gbAcquisition", "gbPostprocess"})
    Find<QWidget>(form_, name);

  QComboBox* stimulus = Find<QComboBox>(form_, "cStimulus");
  QComboBox* acquisition = Find<QComboBox>(form_, "cAcquisition");
  Find<QComboBox>(form_, "cPostprocess");
  ASSERT_EQ(stimulus->count(), 19);
  ASSERT_EQ(acquisition->count(), 28);
  const struct {
    QComboBox* box;
    int item;
    const char* name;
  } items[] = {
      {stimulus, 0, "Chirp (ReSync)"},
      {stimulus, 3, "Chirp (synchronous)"},
      {stimulus, 4, "IMpulse (synchronous)"},
      {stimulus, 6, "MLS/Pink(synchronous)"},
      {stimulus, 10, "Stepped Tones(synchronous)"},
      {stimulus, 18, "None"},
      {acquisition, 0, "Time Domain 1ch"},
      {acquisition, 5, "Spectrum FFT 2ch "},
      {acquisition, 8, "Freq.Resp. MAG, PHASE"},
      {acquisition, 27, "Custom Acquisition"},
  };
  for (const auto& item : items) {
    EXPECT_EQ(item.box->itemText(item.item).toStdString(), item.name) << item.item;
  }
  EXPECT_EQ(stimulus->currentIndex(), 0);
  EXPECT_EQ(acquisition->currentIndex(), 0);

  // "show Configure" opens the stimulus and acquisition windows; post-processing is not built.
  for (const auto& [button, window] :
       {std::pair{"bbStimulusConfig", "CfgStimForm"}, std::pair{"bbAcqConfig", "CfgAcqForm"}}) {
    QPushButton* configure = Find<QPushButton>(form_, button);
    EXPECT_EQ(configure->text(), "show Configure");
    EXPECT_FALSE(Find<QWidget>(form_, window)->isVisible());
    configure->click();
    EXPECT_TRUE(Find<QWidget>(form_, window)->isVisible()) << window;
  }
  // The stimulus window's editor buttons open the tone-set and stepped-tone editors.
  for (const auto& [button, editor] :
       {std::pair{"bbEditTones1", "WavCompEdit1"}, std::pair{"bbEditTones2", "WavCompEdit2"},
        std::pair{"bbEditSteps1", "SweepStimEdit1"}, std::pair{"bbEditSteps2", "SweepStimEdit2"}}) {
    Find<QPushButton>(form_, button)->click();
    EXPECT_TRUE(Find<QWidget>(form_, editor)->isVisible()) << editor;
  }
  EXPECT_FALSE(Find<QPushButton>(form_, "bbPostConfig")->isEnabled());
  EXPECT_TRUE(Find<QWidget>(form_, "Set_ADDA")->isVisible()) << "the levels show at start-up";
  EXPECT_EQ(Find<QLabel>(form_, "StatusPanel1")->text().toStdString(),
            "D/A(48k): " + std::string(SimulatedCard::kDeviceName));
  EXPECT_TRUE(Find<QPushButton>(form_, "sbStart")->isVisible());
  EXPECT_FALSE(Find<QPushButton>(form_, "sbStop")->isVisible());
  QPushButton* time_freq = Find<QPushButton>(form_, "sbTimeFreq");
  EXPECT_EQ(time_freq->text(), "TIMEFREQ");
  EXPECT_FALSE(time_freq->isEnabled());  // no result to switch to yet
  Find<QLabel>(form_, "RunBlinker");
  EXPECT_EQ(form_.statusBar()->objectName(), "StatusBar1");
  EXPECT_EQ(Find<QLabel>(form_, "StatusPanel0")->text(), "ready");
}

TEST_F(MainWindow, StimulusItemsMapToCodesAndIncompatibleTypesAreRefused) {
  QComboBox* stimulus = Find<QComboBox>(form_, "cStimulus");
  QComboBox* acquisition = Find<QComboBox>(form_, "cAcquisition");
  const struct {
    int stimulus_item;
    int stim_code;
    int refused_item;  // incompatible with the stimulus
    int kept_item;     // the type the list shows afterwards
  } cases[] = {
      {3, 17, 0, 3},    // "Chirp (synchronous)" measures "Impulse Resp norm via Chirp" only
      {13, 12, 4, 0},   // "WAV File (synch)": "Time Domain 1ch" only
      {18, 99, 10, 0},  // "None": type 10 is never selectable
  };
  for (const auto& c : cases) {
    stimulus->setCurrentIndex(c.stimulus_item);
    EXPECT_EQ(form_.Controller().StimCode(), c.stim_code);
    EXPECT_EQ(acquisition->currentIndex(), c.kept_item) << c.stimulus_item;
    acquisition->setCurrentIndex(c.refused_item);
    EXPECT_EQ(acquisition->currentIndex(), c.kept_item) << c.stimulus_item;
    EXPECT_EQ(form_.Controller().AcqType(), c.kept_item);
  }
  EXPECT_TRUE(messages_.empty());

  // The list draws what cannot be chosen in silver on grey, the rest on white.
  stimulus->setCurrentIndex(3);
  QAbstractItemDelegate* delegate = acquisition->itemDelegate();
  const auto background_of = [&](int item) {
    QImage image(120, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.state = QStyle::State_Enabled;
    delegate->paint(&painter, option, acquisition->model()->index(item, 0));
    return QColor(image.pixel(118, 10));
  };
  EXPECT_EQ(background_of(0), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(background_of(3), QColor(Qt::white));
}

// The magnitude in dB relative to the 1 kHz bin, from 200 Hz to 10 kHz, of a response record.
std::vector<double> RelativeResponse(const TDataMeas& record) {
  const DataArray& f = record.FFields[0].Values;
  const DataArray& magnitude = record.FFields[1].Values;
  const auto bin_of = [&](double hz) {
    return static_cast<std::size_t>(std::lower_bound(f.begin(), f.end(), hz) - f.begin());
  };
  const double reference = magnitude.at(bin_of(1000.0));
  std::vector<double> db;
  for (std::size_t k = bin_of(200.0); k < bin_of(10000.0); ++k) {
    db.push_back(20.0 * std::log10(magnitude[k] / reference));
  }
  return db;
}

TEST_F(MainWindow, StartMeasuresOnTheSimulatedCardUntilEscStops) {
  Find<QComboBox>(form_, "cStimulus")->setCurrentIndex(5);     // "MLS (synchronous)"
  Find<QComboBox>(form_, "cAcquisition")->setCurrentIndex(8);  // "Freq.Resp. MAG, PHASE"
  QPushButton* start = Find<QPushButton>(form_, "sbStart");
  QPushButton* stop = Find<QPushButton>(form_, "sbStop");
  QLabel* status = Find<QLabel>(form_, "StatusPanel0");
  QToolButton* plot_start_stop = Find<QToolButton>(primary_, "StartStopButton");

  start->click();
  ASSERT_TRUE(form_.Controller().Running()) << (messages_.empty() ? "" : messages_.front());
  EXPECT_TRUE(form_.Station().PumpRunning());
  EXPECT_TRUE(stop->isVisible());
  EXPECT_FALSE(start->isVisible());
  EXPECT_FALSE(Find<QComboBox>(form_, "cAcquisition")->isEnabled());
  EXPECT_EQ(plot_start_stop->text(), "Stop [Esc]");

  ASSERT_TRUE(WaitFor([&] { return FrequencyResultShown(); }, 15s)) << status->text().toStdString();
  EXPECT_TRUE(form_.Controller().Running());
  EXPECT_EQ(status->text(), "running");
  // Shown with the view a new result gets, and the time record of the pass beside it.
  EXPECT_GT(primary_.Record()->FNumDivisions, 0);

  // In real time the card measures the bench as it does on the fast clock, whose results follow
  // the bench's filters.
  SimulatedStation fast(BuiltInBench(), folder_ / "fast");
  fast.controller().SelectStimulus(4);
  ASSERT_TRUE(fast.controller().SelectAcquisition(8));
  fast.controller().ClickStart();
  ASSERT_TRUE(fast.RunUntil([&] { return fast.controller().FreqRec().FNumPoints > 0; }, 10.0));
  const std::vector<double> expected = RelativeResponse(fast.controller().FreqRec());
  const std::vector<double> measured = RelativeResponse(*primary_.Record());
  ASSERT_EQ(measured.size(), expected.size());
  ASSERT_GT(measured.size(), 100u);
  for (std::size_t k = 0; k < measured.size(); ++k) {
    ASSERT_NEAR(measured[k], expected[k], 0.05) << "bin " << k;
  }

  Find<QPushButton>(form_, "sbTimeFreq")->click();
  EXPECT_TRUE(primary_.Record()->IsSampled());
  EXPECT_GT(primary_.Record()->FNumPoints, 0);
  ShortcutFor(Qt::Key_Escape)->activated();
  EXPECT_FALSE(form_.Controller().Running());
  EXPECT_FALSE(form_.Station().PumpRunning());
  EXPECT_EQ(status->text(), "ready");
  EXPECT_TRUE(start->isVisible());
  EXPECT_FALSE(stop->isVisible());
  EXPECT_EQ(plot_start_stop->text(), "Start [F12]");
  EXPECT_TRUE(messages_.empty()) << messages_.front();
}

TEST_F(MainWindow, F12AndThePlotsButtonStartTwoTicksLaterAndClosingEndsTheProgram) {
  Find<QComboBox>(form_, "cStimulus")->setCurrentIndex(4);
  ShortcutFor(Qt::Key_F12)->activated();
  ShortcutFor(Qt::Key_F12)->activated();
  EXPECT_FALSE(form_.Controller().Running());
  ASSERT_TRUE(WaitFor([&] { return form_.Controller().Running(); }, 2s));
  WaitFor([] { return false; }, 400ms);  // a second start would stop it again
  EXPECT_TRUE(form_.Controller().Running());
  EXPECT_TRUE(Find<QPushButton>(form_, "sbStop")->isVisible());

  QToolButton* plot_start_stop = Find<QToolButton>(primary_, "StartStopButton");
  plot_start_stop->click();  // "Stop [Esc]"
  EXPECT_FALSE(form_.Controller().Running());
  plot_start_stop->click();  // "Start [F12]"
  ASSERT_TRUE(WaitFor([&] { return form_.Controller().Running(); }, 2s));

  // Closing stops the measurement, keeps the wave sets and the recently-used files, hides the
  // plot and ends the program.
  EXPECT_TRUE(form_.close());
  EXPECT_FALSE(form_.Controller().Running());
  EXPECT_FALSE(form_.Station().PumpRunning());
  EXPECT_FALSE(primary_.isVisible());
  EXPECT_TRUE(std::filesystem::exists(folder_ / "LATEST_WF_SET1.QTQ"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "LATEST_WF_SET2.QTQ"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "MRU_list.qtq"));
  EXPECT_EQ(quits_, 1);
}

TEST_F(MainWindow, MenusOfferThePlotWindowsAndTheAutomaticStart) {
  const struct {
    const char* name;
    const char* caption;
    bool checkable;
  } items[] = {
      {"NewSecondaryPlot", "*New Secondary Plot*", false},
      {"LiveTimeData", "Live Time Data", true},
      {"LiveIRData", "Live IR Data", true},
      {"AuxiliaryData", "Auxiliary Data", true},
      {"AutoStartTimer", "Auto Acqusition Start Timer", false},
      {"LineFrequency", "A.C. Power Line Frequency", false},
  };
  for (const auto& item : items) {
    const QAction* action = MenuItem(item.name);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text().toStdString(), item.caption);
    EXPECT_EQ(action->isCheckable(), item.checkable) << item.name;
    EXPECT_TRUE(action->isEnabled()) << item.name;
  }
}

// Each new secondary plot steps 20 pixels right and down from the one before, takes the size
// the user last gave the most recent one, and is freed when closed; after the last one has
// closed, the next follows on from where it was.
TEST_F(MainWindow, NewSecondaryPlotsAreNumberedPlacedAndFreed) {
  windows_.SetPlacement(QPoint(40, 30), QSize(420, 300));
  QAction* new_plot = MenuItem("NewSecondaryPlot");
  new_plot->trigger();
  new_plot->trigger();
  std::vector<TPlotForm*> open = windows_.OpenWindows();
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(open[0]->objectName(), "Plot2");
  EXPECT_EQ(open[1]->objectName(), "Plot3");
  EXPECT_TRUE(open[1]->isVisible());
  EXPECT_EQ(open[0]->pos(), QPoint(40, 30));
  EXPECT_EQ(open[1]->pos(), QPoint(60, 50));
  EXPECT_EQ(open[0]->size(), QSize(420, 300));

  open[0]->resize(500, 380);  // not the most recent: not remembered
  open[1]->resize(460, 340);
  TPlotForm* third = windows_.New();
  EXPECT_EQ(third->size(), QSize(460, 340));
  EXPECT_EQ(third->pos(), QPoint(80, 70));

  const QPoint last_place = third->pos();
  for (TPlotForm* window : windows_.OpenWindows()) window->close();
  WaitFor([&] { return windows_.OpenWindows().empty(); }, 1s);
  ASSERT_TRUE(windows_.OpenWindows().empty());  // closed windows are freed
  new_plot->trigger();
  ASSERT_EQ(windows_.OpenWindows().size(), 1u);
  EXPECT_EQ(windows_.OpenWindows()[0]->objectName(), "Plot5");
  EXPECT_EQ(windows_.OpenWindows()[0]->pos(), last_place + QPoint(20, 20));

  // Never further right or down than 100 pixels inside the screen.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  windows_.OpenWindows()[0]->close();
  WaitFor([&] { return windows_.OpenWindows().empty(); }, 1s);
  PlotWindowList fresh(windows_.Context());
  fresh.SetPlacement(screen.bottomRight() + QPoint(500, 500), QSize(400, 300));
  const TPlotForm* far = fresh.New();
  EXPECT_EQ(far->pos(),
            QPoint(screen.x() + screen.width() - 100, screen.y() + screen.height() - 100));
}

// An enabled start still to come is armed and shown as the idle text; one in the past disarms
// and comes back as "now" the next time the dialog opens; Cancel changes nothing.
TEST_F(MainWindow, AutoStartTimerArmsOnlyAFutureStart) {
  QLabel* status = Find<QLabel>(form_, "StatusPanel0");
  const double now = NowAsDateTime();
  const double tomorrow = std::round((now + 1.0) * 86400.0) / 86400.0;

  auto_start_answer_ = AutoStartChoice{tomorrow, true};
  form_.EditAutoStart();
  EXPECT_EQ(status->text().toStdString(), FormatDateTime(tomorrow).value());

  auto_start_answer_.reset();  // Cancel
  form_.EditAutoStart();
  EXPECT_EQ(status->text().toStdString(), FormatDateTime(tomorrow).value());
  EXPECT_EQ(auto_start_shown_.back().start, tomorrow);
  EXPECT_TRUE(auto_start_shown_.back().enabled);

  auto_start_answer_ = AutoStartChoice{now - 1.0, true};
  form_.EditAutoStart();
  EXPECT_EQ(status->text(), "ready");
  form_.EditAutoStart();
  EXPECT_NEAR(auto_start_shown_.back().start, NowAsDateTime(), 60.0 / 86400.0);

  auto_start_answer_ = AutoStartChoice{tomorrow, false};
  form_.EditAutoStart();
  EXPECT_EQ(status->text(), "ready");
  EXPECT_FALSE(form_.Controller().Running());
}

TEST_F(MainWindow, LineFrequencyEditsWhatTheStimulusPeriodsAlignTo) {
  double& line_frequency = form_.Station().Timing().line_frequency_hz;
  line_frequency_answer_ = 50.0;
  MenuItem("LineFrequency")->trigger();
  EXPECT_EQ(line_frequency, 50.0);
  line_frequency_answer_.reset();  // Cancel
  MenuItem("LineFrequency")->trigger();
  EXPECT_EQ(line_frequency, 50.0);
}

// The login manager's sleep notice stops a running measurement as Stop does; after waking the
// devices are listed again and a measurement starts as before.
TEST_F(MainWindow, SleepStopsTheMeasurementAndWakingKeepsTheDevicesUsable) {
  PowerBroadcast* power = Find<PowerBroadcast>(form_, "PowerBroadcast");
  ASSERT_NE(power, nullptr);
  Find<QComboBox>(form_, "cStimulus")->setCurrentIndex(4);
  Find<QPushButton>(form_, "sbStart")->click();
  ASSERT_TRUE(form_.Controller().Running());

  power->PrepareForSleep(true);
  EXPECT_FALSE(form_.Controller().Running());
  EXPECT_FALSE(form_.Station().PumpRunning());
  EXPECT_TRUE(Find<QPushButton>(form_, "sbStart")->isVisible());

  power->PrepareForSleep(false);
  EXPECT_EQ(form_.Station().Audio().DeviceName(WaveDirection::kPlay), SimulatedCard::kDeviceName);
  Find<QPushButton>(form_, "sbStart")->click();
  EXPECT_TRUE(form_.Controller().Running());
  Find<QPushButton>(form_, "sbStop")->click();
  EXPECT_TRUE(messages_.empty()) << messages_.front();
}

// Keys released in any plot window reach the main window: F12 starts two ticks later, Esc
// stops. "ShowForms" brings every window back, maximised ones at normal size.
TEST_F(MainWindow, PlotWindowsForwardKeysAndShowForms) {
  TPlotForm* secondary = windows_.Context().new_secondary_plot();
  MenuItem("LiveTimeData")->trigger();
  TPlotForm* live_time = form_.Live().Window(LiveRole::kLiveTime);
  ASSERT_NE(live_time, nullptr);
  const auto release = [](TPlotForm* window, Qt::Key key) {
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
  };
  for (TPlotForm* window : {static_cast<TPlotForm*>(&primary_), secondary, live_time}) {
    release(window, Qt::Key_F12);
    EXPECT_FALSE(form_.Controller().Running());
    ASSERT_TRUE(WaitFor([&] { return form_.Controller().Running(); }, 2s))
        << window->objectName().toStdString();
    release(window, Qt::Key_Escape);
    EXPECT_FALSE(form_.Controller().Running());
  }

  secondary->showMaximized();
  form_.hide();
  primary_.hide();
  emit secondary->ShowFormsRequested();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_TRUE(primary_.isVisible());
  EXPECT_TRUE(live_time->isVisible());
  EXPECT_FALSE(secondary->isMaximized());
  EXPECT_TRUE(messages_.empty()) << messages_.front();
}

TEST(MainWindowDialogs, AutoStartDialogReturnsTheDateTimeAndTheCheckBox) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  // 2026-12-10 18:30:15 as days since 30 Dec 1899: 46366 days and the time of day.
  const double start = 46366.0 + (18 * 3600 + 30 * 60 + 15) / 86400.0;
  AutoStartDialog dialog({start, true});
  EXPECT_EQ(dialog.windowTitle(), "Automatic Acquisition Start Config");
  EXPECT_EQ(dialog.StartEdit()->dateTime(), QDateTime(QDate(2026, 12, 10), QTime(18, 30, 15)));
  EXPECT_NEAR(dialog.Choice().start, start, 1e-9);
  EXPECT_TRUE(dialog.Choice().enabled);
  dialog.EnableBox()->setChecked(false);
  dialog.StartEdit()->setDateTime(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)));
  EXPECT_FALSE(dialog.Choice().enabled);
  EXPECT_NEAR(dialog.Choice().start, 36525.0 + 86399.0 / 86400.0, 1e-9);

  const double now = 46000.5;
  const struct {
    AutoStartChoice choice;
    std::optional<double> armed;
  } cases[] = {
      {{now + 0.25, true}, now + 0.25},     {{now + 0.25, false}, std::nullopt},
      {{now, true}, std::nullopt},          {{now - 1.0, true}, std::nullopt},
      {{std::nan(""), true}, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ArmedStart(c.choice, now), c.armed) << c.choice.start;
}

TEST(MainWindowDialogs, LineFrequencyEditorTakesTheEntryWithinItsRange) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  const struct {
    const char* typed;
    double value;
  } cases[] = {{"50", 50.0}, {"1000", 400.0}, {"5", 30.0}, {"hum", 60.0}};
  for (const auto& c : cases) {
    LineFrequencyEditor editor(60.0);
    EXPECT_EQ(editor.windowTitle(), "A.C. Power Line Frequency");
    ASSERT_NE(editor.findChild<QLabel*>(), nullptr);
    EXPECT_EQ(editor.findChild<QLabel*>()->text(),
              "For use in minimizing interference from AC line harmonics.");
    editor.Entry()->Edit()->setText(c.typed);
    EXPECT_EQ(editor.Value(), c.value) << c.typed;
  }
}

// The waiting window is on screen while tables are generated, and only then: not when they are
// read from the cache, and again when the cache is cut short.
TEST(MainWindowDialogs, MlsWaitWindowShowsOnlyWhileTablesAreGenerated) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  // The titles of the waiting windows shown, as they were shown.
  class ShownWaitWindows : public QObject {
   public:
    bool eventFilter(QObject* watched, QEvent* event) override {
      const auto* widget = qobject_cast<const QWidget*>(watched);
      if (event->type() == QEvent::Show && widget != nullptr &&
          widget->objectName() == "MlsWaitWindow") {
        titles.push_back(widget->windowTitle());
      }
      return false;
    }
    std::vector<QString> titles;
  } shown;
  app.installEventFilter(&shown);
  const auto wait_window_open = [] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() == "MlsWaitWindow" && window->isVisible()) return true;
    }
    return false;
  };

  TempFolder folder;
  MlsTableStore generated(folder.Path());
  EXPECT_TRUE(BuildWithMlsWaitWindow(nullptr, generated, 12));
  ASSERT_EQ(shown.titles.size(), 1u);
  EXPECT_EQ(shown.titles[0], "One moment, please...");
  EXPECT_FALSE(wait_window_open());

  MlsTableStore cached(folder.Path());
  EXPECT_TRUE(BuildWithMlsWaitWindow(nullptr, cached, 12));
  EXPECT_EQ(shown.titles.size(), 1u);

  std::filesystem::resize_file(folder / MlsCacheFileName(12), 100);  // cut short: generated again
  MlsTableStore regenerated(folder.Path());
  EXPECT_TRUE(BuildWithMlsWaitWindow(nullptr, regenerated, 12));
  EXPECT_EQ(shown.titles.size(), 2u);
  EXPECT_FALSE(wait_window_open());
}

TEST(MainWindowWithoutDevices, StartSaysSoAndStaysIdle) {
  int argc = 1;
  char name[] = "ui_tests";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  TempFolder folder;
  std::vector<std::unique_ptr<WaveDriver>> no_backends;
  DeviceCatalog catalog(
      std::move(no_backends),
      std::make_unique<SimulatedCard>(BuiltInBench(), SimulatedCard::Clock::kFast), true);
  const StationDevices devices = DefaultStationDevices(catalog);
  EXPECT_EQ(devices.play, "");
  std::vector<std::string> messages;
  TTestForm form(
      {.driver = catalog,
       .devices = devices,
       .data_directory = folder.Path(),
       .driver_error_text = {},
       .show_message = [&](QWidget*, const std::string& text) { messages.push_back(text); }});
  form.show();
  form.findChild<QPushButton*>("sbStart")->click();
  EXPECT_FALSE(form.Controller().Running());
  EXPECT_EQ(messages, std::vector<std::string>{"No Audio Inteface Support (?)"});
  EXPECT_EQ(form.findChild<QLabel*>("StatusPanel0")->text(), "ready");
}

}  // namespace
}  // namespace vireon
