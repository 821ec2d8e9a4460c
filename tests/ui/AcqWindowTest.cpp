#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "measure/MeasuringStation.h"
#include "measure/ui/TCfgAcqForm.h"
#include "measure/ui/TCfgAcqWidgets.h"
#include "measure/ui/TStepFAcqCfg.h"
#include "plot/ui/TEditRealSpin.h"
#include "record/Averaging.h"

namespace vireon {
namespace {

// The acquisition window over the controller of a station on the simulated card.
class AcqWindow : public ::testing::Test {
 protected:
  AcqWindow()
      : card_(BuiltInBench(), SimulatedCard::Clock::kFast),
        station_(card_,
                 {std::string(SimulatedCard::kDeviceName), std::string(SimulatedCard::kDeviceName)},
                 folder_.Path(), ControllerPorts{}),
        form_(Controller(), Hooks()) {}

  CfgAcqHooks Hooks() {
    return {.changed = [this] { ++changes_; },
            .find_window_edges = [this] { ++edge_searches_; },
            .restart_averages = [this] { ++restarts_; }};
  }

  MeasurementController& Controller() { return station_.Controller(); }
  AcquisitionSettings& Settings() { return Controller().Acquisition(); }
  AcquisitionExtras& Extras() { return Controller().Extras(); }

  void Select(int stim_code, int acq_type) {
    Controller().SelectStimulus(stim_code);
    ASSERT_TRUE(Controller().SelectAcquisition(acq_type)) << stim_code << "/" << acq_type;
    form_.Refresh();
  }

  // Types an entry and presses Enter, as the user does.
  static void Enter(TEditRealSpin* spin, const char* text) {
    spin->Edit()->setText(text);
    spin->AcceptEntry();
  }

  static void Pick(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
  }

  bool Shown(const char* name) { return !Find<QWidget>(form_, name)->isHidden(); }

  TestApplication app_;
  TempFolder folder_;
  SimulatedCard card_;
  MeasuringStation station_;
  int changes_ = 0;
  int edge_searches_ = 0;
  int restarts_ = 0;
  TCfgAcqForm form_;
};

TEST_F(AcqWindow, ShowsEverySettingAndItsChanges) {
  form_.ShowForCurrentType();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.windowTitle(), "(Acq)");
  EXPECT_EQ(Find<QLabel>(form_, "pnTitle")->text(), "Time Domain 1ch");

  struct Shown {
    const char* name;
    double value;
  };
  const std::vector<Shown> defaults = {
      {"ersFftSize", 4096},      {"ersAcqSize", 4596}, {"ersOctFrac", 6},    {"ersRefResistor", 10},
      {"ersPropagTime", 0.0025}, {"ersHideBW", 5},     {"ersTrigThresh", 1}, {"ersTrigPos", 50},
      {"ersAvgNum", 1},          {"ersAutoTimeOut", 1}};
  for (const Shown& field : defaults) {
    EXPECT_EQ(Find<TEditRealSpin>(form_, field.name)->RealValue(), field.value) << field.name;
  }
  EXPECT_EQ(Find<QComboBox>(form_, "cbWindow")->currentText(), "Blackm-Harris4");
  EXPECT_EQ(Find<QComboBox>(form_, "cAvgType")->currentText(), "Mag");
  EXPECT_TRUE(Find<QCheckBox>(form_, "AvgOn")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>(form_, "UseIdealNorm")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(form_, "rbDisplayedFreqs")->isChecked());
  EXPECT_EQ(Find<RadioChoice>(form_, "rgAutoStop")->ItemIndex(), 0);
  EXPECT_EQ(Find<RadioChoice>(form_, "rgTrigPol")->ItemIndex(), 0);
  EXPECT_EQ(Find<RadioChoice>(form_, "rgTrigSlope")->Button(1)->text(), "fall \\");
  EXPECT_EQ(Find<RadioChoice>(form_, "rgImpedanceConnection")->ItemIndex(), 0);

  // A configuration loaded behind the window's back shows after Refresh.
  Settings().fft_size = 65536;
  Settings().hide_tones[1][0] = true;
  Settings().avg_type = kAverageDecay;
  Settings().window = 15;
  Extras().trigger.slope = TriggerSlope::kAny;
  Extras().totals.displayed_freqs_only = false;
  Controller().Tracking().curve2.reference = ComponentReference::kB;
  form_.Refresh();
  EXPECT_EQ(Find<TEditRealSpin>(form_, "ersFftSize")->RealValue(), 65536);
  EXPECT_TRUE(Find<QCheckBox>(form_, "Acq1SkipStim0")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(form_, "Acq0SkipStim1")->isChecked());
  EXPECT_EQ(Find<QComboBox>(form_, "cAvgType")->currentText(), "Decay");
  EXPECT_EQ(Find<QComboBox>(form_, "cbWindow")->currentText(), "Hann");
  EXPECT_TRUE(Find<QCheckBox>(form_, "cbxHalf")->isChecked());
  EXPECT_EQ(Find<RadioChoice>(form_, "rgTrigSlope")->ItemIndex(), 2);
  EXPECT_TRUE(Find<QRadioButton>(form_, "rbAllFreqs")->isChecked());
  EXPECT_EQ(Find<RadioChoice>(form_.ComponentTrackWindow(), "rgRef2")->ItemIndex(), 1);
  EXPECT_EQ(changes_, 0);
}

TEST_F(AcqWindow, ShowsThePanelsOfTheStimulusAndType) {
  const std::vector<const char*> panels = {
      "gbWindowEdges", "gbRta",    "gbImpedance", "gbPropagation",    "gbHideTones", "gbHold",
      "gbTrigger",     "gbTotals", "cbNorm",      "gbChirpReference", "gbIsolation", "btnCompCfg"};
  struct Case {
    int stim_code;
    int acq_type;
    const char* title;
    std::set<std::string> shown;
  };
  const std::vector<Case> cases = {
      {6,
       4,
       "Spectrum FFT 1ch",
       {"gbPropagation", "gbHideTones", "gbHold", "gbTotals", "gbIsolation"}},
      {14, 6, "Spectrum RTA 1ch", {"gbRta", "gbTrigger"}},
      {8, 5, "Spectrum FFT 2ch ", {"gbHideTones", "gbHold", "gbTrigger", "gbTotals", "cbNorm"}},
      {0, 3, "Impulse Resp norm via Chirp", {"gbWindowEdges", "gbTrigger", "gbChirpReference"}},
      {0, 13, "Impedance (Z)", {"gbImpedance", "gbTrigger"}},
      {10, 14, "Component Track 1ch", {"gbTrigger", "btnCompCfg"}},
      {16,
       21,
       "Wavelet Max Level Cap.",
       {"gbPropagation", "gbTotals", "gbIsolation", "btnCompCfg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    Select(c.stim_code, c.acq_type);
    EXPECT_EQ(Find<QLabel>(form_, "pnTitle")->text(), c.title);
    for (const char* panel : panels) EXPECT_EQ(Shown(panel), c.shown.contains(panel)) << panel;
  }

  // "half" only for the synchronous tones, WAV and wavelet stimuli.
  Select(6, 4);
  EXPECT_TRUE(Find<QCheckBox>(form_, "cbxHalf")->isEnabled());
  Select(14, 4);
  EXPECT_FALSE(Find<QCheckBox>(form_, "cbxHalf")->isEnabled());
}

TEST_F(AcqWindow, ComponentButtonOpensTrackingWindowButNotForWavelets) {
  Select(10, 15);
  auto* button = Find<QPushButton>(form_, "btnCompCfg");
  EXPECT_EQ(button->text(), "Edit Component Track");
  button->click();
  EXPECT_TRUE(form_.ComponentTrackWindow().isVisible());
  EXPECT_EQ(form_.ComponentTrackWindow().windowTitle(), "Component Tracking Configuration");

  Select(16, 22);
  EXPECT_EQ(button->text(), "Analysis Parameters");
  EXPECT_FALSE(button->isEnabled());
}

TEST_F(AcqWindow, TypedValuesReachTheSettingsWithinTheirLimits) {
  struct Case {
    const char* name;
    const char* typed;
    std::function<double()> setting;
    double expected;
  };
  const std::vector<Case> cases = {
      {"ersFftSize", "5000", [&] { return Settings().fft_size; }, 4096},
      {"ersFftSize", "100", [&] { return Settings().fft_size; }, 256},
      {"ersFftSize", "1e9", [&] { return Settings().fft_size; }, 33554432},
      {"ersAcqSize", "300", [&] { return Settings().acq_size; }, 300},
      {"ersAcqSize", "10", [&] { return Settings().acq_size; }, 256},
      {"ersOctFrac", "60", [&] { return Settings().rta_resolution; }, 48},
      {"ersOctFrac", "0", [&] { return Settings().rta_resolution; }, 1},
      {"ersRefResistor", "2k", [&] { return Settings().reference_resistor; }, 2000},
      {"ersRefResistor", "0.01", [&] { return Settings().reference_resistor; }, 0.1},
      {"ersPropagTime", "2", [&] { return Settings().propagation_time_s; }, 1},
      {"ersPropagTime", "3m", [&] { return Settings().propagation_time_s; }, 0.003},
      {"ersHideBW", "500", [&] { return Settings().hide_bandwidth_bins; }, 100},
      {"ersTrigThresh", "5000", [&] { return Extras().trigger.threshold; }, 1000},
      {"ersTrigThresh", "0", [&] { return Extras().trigger.threshold; }, 1e-06},
      {"ersTrigPos", "0.5", [&] { return Extras().trigger.position_percent; }, 1},
      {"ersTrigPos", "25", [&] { return Extras().trigger.position_percent; }, 25},
      {"ersAvgNum", "2000000", [&] { return Settings().avg_target; }, 1000000},
      {"ersAvgNum", "16", [&] { return Settings().avg_target; }, 16},
      {"ersAutoTimeOut", "0", [&] { return Settings().auto_stop_seconds; }, 0.0001},
      {"ersAutoTimeOut", "1e9", [&] { return Settings().auto_stop_seconds; }, 1000000},
  };
  Select(14, 4);
  for (const Case& c : cases) {
    const int changes = changes_;
    auto* spin = Find<TEditRealSpin>(form_, c.name);
    Enter(spin, c.typed);
    EXPECT_DOUBLE_EQ(c.setting(), c.expected) << c.name << " " << c.typed;
    EXPECT_DOUBLE_EQ(spin->RealValue(), c.expected) << c.name << " " << c.typed;
    EXPECT_EQ(changes_, changes + 1) << c.name;
  }
}

TEST_F(AcqWindow, FftSizeStepsByPowersOfTwoAndCarriesTheAcquisitionSize) {
  auto* fft = Find<TEditRealSpin>(form_, "ersFftSize");
  fft->Step(StepDirection::kUp, Qt::NoModifier);
  EXPECT_EQ(Settings().fft_size, 8192);
  fft->Step(StepDirection::kDown, Qt::NoModifier);
  fft->Step(StepDirection::kDown, Qt::NoModifier);
  EXPECT_EQ(Settings().fft_size, 2048);

  // The chirp ReSync capture is never shorter than the analysis: the field follows.
  Enter(fft, "65536");
  EXPECT_EQ(Settings().acq_size, 65536);
  EXPECT_EQ(Find<TEditRealSpin>(form_, "ersAcqSize")->RealValue(), 65536);
}

TEST_F(AcqWindow, ChoicesReachTheSettings) {
  struct Case {
    const char* name;
    std::function<bool()> setting;
  };
  const std::vector<Case> boxes = {
      {"cbAutEdgStick", [&] { return Settings().find_edges_each; }},
      {"cbNorm", [&] { return Settings().normalize; }},
      {"Acq0SkipStim1", [&] { return Settings().hide_tones[0][1]; }},
      {"Acq1SkipStim0", [&] { return Settings().hide_tones[1][0]; }},
      {"cbMaxHold", [&] { return Settings().max_hold; }},
      {"cbMinHold", [&] { return Settings().min_hold; }},
      {"cbRunAfterTrig", [&] { return Extras().trigger.free_run_after_trigger; }},
      {"cbCalcTotCh1", [&] { return Extras().totals.channel1; }},
      {"cbCalcTotCh2", [&] { return Extras().totals.channel2; }},
      {"UseIdealNorm", [&] { return !Settings().use_ideal_norm; }},
      {"AvgOn", [&] { return !Settings().avg_on; }},
  };
  Select(8, 5);
  for (const Case& c : boxes) {
    ASSERT_FALSE(c.setting()) << c.name;
    Find<QCheckBox>(form_, c.name)->click();
    EXPECT_TRUE(c.setting()) << c.name;
  }
  EXPECT_FALSE(Settings().hide_tones[0][0]);
  EXPECT_FALSE(Settings().hide_tones[1][1]);

  Find<RadioChoice>(form_, "rgTrigSource")->Button(1)->click();
  Find<RadioChoice>(form_, "rgTrigPol")->Button(3)->click();
  Find<RadioChoice>(form_, "rgTrigSlope")->Button(1)->click();
  Find<QRadioButton>(form_, "rbAllFreqs")->click();
  EXPECT_EQ(Extras().trigger,
            (AcquisitionTrigger{TriggerPolarity::kBoth, 1, 1.0, 50.0, TriggerSlope::kFall, true}));
  EXPECT_FALSE(Extras().totals.displayed_freqs_only);

  Pick(Find<QComboBox>(form_, "cAvgType"), "Rms");
  EXPECT_EQ(Settings().avg_type, kAverageRms);
  Find<RadioChoice>(form_, "rgAutoStop")->Button(2)->click();
  EXPECT_EQ(Settings().auto_stop, AutoStopMode::kTimer);
  EXPECT_EQ(changes_, static_cast<int>(boxes.size()) + 6);
}

TEST_F(AcqWindow, AvgsAutoStopIsRefusedWhileDecaying) {
  auto* auto_stop = Find<RadioChoice>(form_, "rgAutoStop");
  auto* avg_type = Find<QComboBox>(form_, "cAvgType");
  Pick(avg_type, "Decay");
  auto_stop->Button(1)->click();
  EXPECT_EQ(Settings().auto_stop, AutoStopMode::kOff);
  EXPECT_EQ(auto_stop->ItemIndex(), 0);

  // And choosing "Decay" after "Avgs" turns the stop off.
  Pick(avg_type, "Mag");
  auto_stop->Button(1)->click();
  EXPECT_EQ(Settings().auto_stop, AutoStopMode::kAvgs);
  Pick(avg_type, "Decay");
  EXPECT_EQ(Settings().auto_stop, AutoStopMode::kOff);
  EXPECT_EQ(auto_stop->ItemIndex(), 0);
}

TEST_F(AcqWindow, AsynchronousTimeDataHoldsAveragingOn) {
  Select(14, 0);
  EXPECT_TRUE(Settings().avg_on);
  EXPECT_EQ(Settings().avg_target, 1);
  EXPECT_FALSE(Find<QCheckBox>(form_, "AvgOn")->isEnabled());
  EXPECT_FALSE(Find<TEditRealSpin>(form_, "ersAvgNum")->isEnabled());

  Select(14, 4);
  EXPECT_TRUE(Find<QCheckBox>(form_, "AvgOn")->isEnabled());
  Find<QCheckBox>(form_, "AvgOn")->click();
  EXPECT_FALSE(Settings().avg_on);
}

TEST_F(AcqWindow, WindowChoiceIsKeptPerEngine) {
  Select(6, 4);  // synchronous, "half" allowed
  Find<QCheckBox>(form_, "cbxHalf")->click();
  EXPECT_EQ(Settings().window, 3);
  Pick(Find<QComboBox>(form_, "cbWindow"), "Hann");
  EXPECT_EQ(Settings().window, 15);
  EXPECT_EQ(Extras().window_sync, 15);

  Select(14, 4);  // asynchronous: the half box is ignored
  EXPECT_EQ(Settings().window, kBlackmanHarris4Window);
  Pick(Find<QComboBox>(form_, "cbWindow"), "No Window");
  EXPECT_EQ(Settings().window, kNoWindow);
  Pick(Find<QComboBox>(form_, "cbWindow"), "FlatTop");
  EXPECT_EQ(Settings().window, 12);
  EXPECT_EQ(Extras().window_async, 12);

  Select(6, 4);
  EXPECT_EQ(Find<QComboBox>(form_, "cbWindow")->currentText(), "Hann");
  EXPECT_TRUE(Find<QCheckBox>(form_, "cbxHalf")->isChecked());
}

TEST_F(AcqWindow, ActionsGoThroughTheHooks) {
  Select(6, 4);
  Find<QPushButton>(form_, "bntAutEdg")->click();
  EXPECT_EQ(edge_searches_, 1);
  Find<QPushButton>(form_, "lbRestart")->click();
  EXPECT_EQ(restarts_, 1);
  Enter(Find<TEditRealSpin>(form_, "ersOctFrac"), "12");
  EXPECT_EQ(restarts_, 2);
  Enter(Find<TEditRealSpin>(form_, "ersOctFrac"), "12");  // the same bands: nothing to restart
  EXPECT_EQ(restarts_, 2);

  // Without the main window's actions the buttons cannot be pressed.
  TCfgAcqForm bare(Controller(), {});
  EXPECT_FALSE(Find<QPushButton>(bare, "bntAutEdg")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(bare, "lbRestart")->isEnabled());
  Enter(Find<TEditRealSpin>(bare, "ersOctFrac"), "24");
  EXPECT_EQ(Settings().rta_resolution, 24);
}

TEST_F(AcqWindow, ComponentTrackingFieldsReachTheSettings) {
  TStepFAcqCfg& window = form_.ComponentTrackWindow();
  const ComponentTrackSettings& tracking = Controller().Tracking();
  struct Case {
    const char* name;
    const char* typed;
    std::function<int()> setting;
    int expected;
  };
  const std::vector<Case> cases = {
      {"ersMultA1", "-3", [&] { return tracking.curve1.mult_a; }, -3},
      {"ersMultA1", "-150", [&] { return tracking.curve1.mult_a; }, -100},
      {"ersMultB2", "150", [&] { return tracking.curve2.mult_b; }, 100},
      {"ersToneA2", "7", [&] { return tracking.curve2.tone_a; }, 7},
      {"ersToneB1", "0", [&] { return tracking.curve1.tone_b; }, 1},
      {"ersToneB2", "101", [&] { return tracking.curve2.tone_b; }, 100},
      {"ersOChanA1", "2", [&] { return tracking.curve1.channel_a; }, 2},
      {"ersOChanB2", "3", [&] { return tracking.curve2.channel_b; }, 2},
      {"ersOChanB1", "0", [&] { return tracking.curve1.channel_b; }, 1},
      {"ersMaxHarmonic", "1", [&] { return tracking.max_harmonic; }, 2},
      {"ersMaxHarmonic", "9", [&] { return tracking.max_harmonic; }, 9},
  };
  for (const Case& c : cases) {
    const int changes = changes_;
    auto* spin = Find<TEditRealSpin>(window, c.name);
    Enter(spin, c.typed);
    EXPECT_EQ(c.setting(), c.expected) << c.name << " " << c.typed;
    EXPECT_EQ(spin->RealValue(), c.expected) << c.name << " " << c.typed;
    EXPECT_EQ(changes_, changes + 1) << c.name;
  }
  // The other curve's fields are left alone.
  EXPECT_EQ(tracking.curve2.mult_a, 1);
  EXPECT_EQ(tracking.curve1.tone_a, 1);

  Find<RadioChoice>(window, "rgRef1")->Button(0)->click();
  Find<RadioChoice>(window, "rgRef2")->Button(1)->click();
  Find<QCheckBox>(window, "cbTHD2")->click();
  Find<RadioChoice>(window, "rgDomain")->Button(1)->click();
  Find<RadioChoice>(window, "rgDomainOutCh")->Button(1)->click();
  EXPECT_EQ(tracking.curve1.reference, ComponentReference::kA);
  EXPECT_EQ(tracking.curve2.reference, ComponentReference::kB);
  EXPECT_FALSE(tracking.curve1.thd);
  EXPECT_TRUE(tracking.curve2.thd);
  EXPECT_FALSE(tracking.domain_is_frequency);
  EXPECT_EQ(tracking.domain_channel, 2);
  EXPECT_EQ(Find<RadioChoice>(window, "rgRef1")->title(),
            "Reference result to measurement at Frequency");
}

}  // namespace
}  // namespace vireon
