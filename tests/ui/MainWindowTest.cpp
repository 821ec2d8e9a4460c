#include "measure/ui/TestForm.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyleOptionViewItem>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../support/TempFolder.h"
#include "audio/devices/DeviceCatalog.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "files/FileContext.h"
#include "measure/ControllerPorts.h"
#include "measure/SimulatedStation.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {
namespace {

using namespace std::chrono_literals;

// Runs the event loop (timers included) until `done` or the time is up; true when done.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// The main window on the simulated card in real time, with the primary plot window beside it;
// message boxes and the end of the program are recorded.
class MainWindow : public ::testing::Test {
 protected:
  MainWindow()
      : app_(argc_, argv_),
        card_(BuiltInBench(), SimulatedCard::Clock::kRealTime),
        form_({.driver = card_,
               .devices = {std::string(SimulatedCard::kDeviceName),
                           std::string(SimulatedCard::kDeviceName)},
               .data_directory = folder_.Path(),
               .driver_error_text = {},
               .show_message = [this](QWidget*,
                                      const std::string& text) { messages_.push_back(text); },
               .end_debug_log = [] {},
               .quit = [this] { ++quits_; }}),
        primary_({PlotRoleKind::Primary, 0},
                 PlotFormContext{files_, folder_.Path(), InteractiveDialogs(), {}}) {
    form_.SetPrimaryPlot(&primary_, DefaultPlotRecord(files_.Defaults));
    primary_.show();
    form_.show();
  }

  template <typename T>
  T* Find(const QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  QShortcut* ShortcutFor(Qt::Key key) {
    for (QShortcut* shortcut : form_.findChildren<QShortcut*>()) {
      if (shortcut->key() == QKeySequence(key)) return shortcut;
    }
    ADD_FAILURE() << "no shortcut for key " << key;
    return nullptr;
  }

  // The plot shows a frequency result in place of the initial time record.
  bool FrequencyResultShown() {
    const TDataMeas* shown = primary_.Record();
    return shown != nullptr && !shown->IsSampled() && shown->FNumPoints > 0;
  }

  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication app_;
  TempFolder folder_;
  FileContext files_;
  SimulatedCard card_;
  std::vector<std::string> messages_;
  int quits_ = 0;
  TTestForm form_;
  TPlotForm primary_;
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

  for (const char* name : {"bbStimulusConfig", "bbAcqConfig", "bbPostConfig"}) {
    QPushButton* configure = Find<QPushButton>(form_, name);
    EXPECT_EQ(configure->text(), "show Configure");
    EXPECT_FALSE(configure->isEnabled());
    EXPECT_FALSE(configure->toolTip().isEmpty());
  }
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

  // Closing stops the measurement, keeps the wave sets, hides the plot and ends the program.
  EXPECT_TRUE(form_.close());
  EXPECT_FALSE(form_.Controller().Running());
  EXPECT_FALSE(form_.Station().PumpRunning());
  EXPECT_FALSE(primary_.isVisible());
  EXPECT_TRUE(std::filesystem::exists(folder_ / "LATEST_WF_SET1.QTQ"));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "LATEST_WF_SET2.QTQ"));
  EXPECT_EQ(quits_, 1);
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
