#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "ControllerRig.h"
#include "measure/AcquisitionTypes.h"

namespace vireon {
namespace {

constexpr std::string_view kWire = "[Card]\nLatency=300\n";

using Events = std::vector<std::string>;

TEST(MeasurementControllerTest, StimulusChangeRestoresTheTypeLastUsedWithIt) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(1);
  ASSERT_TRUE(controller.SelectAcquisition(5));
  controller.SelectStimulus(0);
  EXPECT_EQ(controller.AcqType(), 5) << "still compatible: kept";
  ASSERT_TRUE(controller.SelectAcquisition(16));
  controller.SelectStimulus(1);
  EXPECT_EQ(controller.AcqType(), 5) << "the type last used with MLS (ReSync)";
  controller.SelectStimulus(2);
  EXPECT_EQ(controller.AcqType(), 5) << "compatible with MLS/Pink as well";
  controller.SelectStimulus(17);
  EXPECT_EQ(controller.AcqType(), 3) << "the only type of the synchronous chirp";
  EXPECT_FALSE(controller.SelectAcquisition(0));
  EXPECT_FALSE(controller.SelectAcquisition(27)) << "Custom Acquisition is never selectable";
  controller.SelectStimulus(12);
  EXPECT_EQ(controller.AcqType(), 0);
}

TEST(MeasurementControllerTest, ScriptSettersKeepToTheWindowsRanges) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(14);
  controller.SelectAcquisition(4);
  controller.SetFftSize(3);
  EXPECT_EQ(controller.Acquisition().fft_size, 256);
  EXPECT_EQ(controller.Acquisition().acq_size, 256) << "follows the FFT size for spectra";
  controller.SetFftSize(std::int64_t{1} << 40);
  EXPECT_EQ(controller.Acquisition().fft_size, 33554432);
  controller.SetFftSize(5000);
  EXPECT_EQ(controller.Acquisition().fft_size, 4096) << "rounded down to a power of two";
  controller.SelectStimulus(4);
  controller.SelectAcquisition(2);
  controller.SetAcqSize(300);
  controller.SetFftSize(1024);
  EXPECT_EQ(controller.Acquisition().acq_size, 1024) << "synchronous: the larger of the two";
  controller.SetAvgTarget(0);
  EXPECT_EQ(controller.Acquisition().avg_target, 1);
  controller.SetAvgTarget(5'000'000);
  EXPECT_EQ(controller.Acquisition().avg_target, 1'000'000);
}

// Synchronous MLS measuring the time record, stopping after `target` averages.
void ChooseMlsAveraging(MeasurementController& controller, int target) {
  controller.SelectStimulus(4);  // MLS (synchronous)
  ASSERT_TRUE(controller.SelectAcquisition(2));
  controller.Acquisition().avg_target = target;
  controller.Acquisition().auto_stop = AutoStopMode::kAvgs;
}

TEST(MeasurementControllerTest, AveragingTargetStopsTheRunWithItsEventsInOrder) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  ChooseMlsAveraging(controller, 2);
  controller.ClickStart();
  ASSERT_TRUE(controller.Running()) << (rig.messages.empty() ? "" : rig.messages.front());
  ASSERT_TRUE(rig.RunUntilStopped(30.0));
  const Events expected = {"OnStarted",     "OnAcqBurst",         "OnAcqOnceDone",   "OnAcqBurst",
                           "OnAcqOnceDone", "OnAutoStopAvgLimit", "OnAcqAvgSetDone", "OnStopped"};
  EXPECT_EQ(rig.events, expected);
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(controller.StatusWord(), "auto stop");
  EXPECT_EQ(controller.StatusColour(), kStatusBlue);
  EXPECT_EQ(controller.TimeRec().FAvgCount, 2);
}

// "Restart" after the first pass: the target is counted again from the next pass on.
TEST(MeasurementControllerTest, RestartCountsTheAveragesAgain) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  ChooseMlsAveraging(controller, 2);
  int passes = 0;
  const auto record = controller.events.OnAcqOnceDone;
  controller.events.OnAcqOnceDone = [&] {
    record();
    if (++passes == 1) controller.RestartAverages();
  };
  controller.ClickStart();
  ASSERT_TRUE(rig.RunUntilStopped(30.0));
  EXPECT_EQ(passes, 3);
  EXPECT_EQ(controller.TimeRec().FAvgCount, 2);
}

// "Find Window Edges" on the measured impulse narrows the analysis window, and the next start
// keeps it; while measuring, or before any measurement, it does nothing.
TEST(MeasurementControllerTest, FoundWindowEdgesStayForTheNextStart) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  EXPECT_FALSE(controller.FindWindowEdges()) << "no time record yet";
  ChooseMlsAveraging(controller, 1);
  controller.ClickStart();
  ASSERT_TRUE(rig.RunUntilStopped(30.0));
  const std::int32_t last = controller.TimeRec().FNumPoints - 1;
  ASSERT_EQ(controller.TimeRec().FWinEnd - controller.TimeRec().FWinStart, last) << "whole";

  ASSERT_TRUE(controller.FindWindowEdges());
  const std::int32_t start = controller.TimeRec().FWinStart;
  const std::int32_t end = controller.TimeRec().FWinEnd;
  EXPECT_LT(end - start, last);

  rig.events.clear();
  controller.ClickStart();
  EXPECT_FALSE(controller.FindWindowEdges()) << "not while measuring";
  ASSERT_TRUE(rig.RunUntilStopped(30.0));
  EXPECT_EQ(controller.TimeRec().FWinStart, start);
  EXPECT_EQ(controller.TimeRec().FWinEnd, end);
}

TEST(MeasurementControllerTest, F12StartsOnceTwoTicksLaterAndStartWhileRunningStops) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(14);  // White Noise
  controller.SelectAcquisition(4);
  controller.RequestStart();
  controller.RequestStart();
  rig.Ticks(1);
  EXPECT_FALSE(controller.Running());
  rig.Ticks(1);
  EXPECT_TRUE(controller.Running());
  rig.Ticks(3);
  EXPECT_TRUE(controller.Running()) << "a second F12 within the countdown starts nothing more";
  controller.ClickStart();
  EXPECT_FALSE(controller.Running());
  EXPECT_EQ(controller.StatusWord(), "ready");
  rig.Ticks(1);
  EXPECT_EQ(rig.events, (Events{"OnStarted", "OnStopped"}));
}

TEST(MeasurementControllerTest, UnavailableAnalysisRefusesToStart) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(0);
  ASSERT_TRUE(controller.SelectAcquisition(16));
  controller.ClickStart();
  EXPECT_FALSE(controller.Running());
  ASSERT_EQ(rig.messages.size(), 1u);
  EXPECT_NE(rig.messages[0].find("Freq.Resp and Harmonic Dist."), std::string::npos);
}

TEST(MeasurementControllerTest, SynchronousStartNeedsAUsableRate) {
  ControllerRig rig("[Card]\nRates=48000,44100\n");
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(4);
  controller.SelectAcquisition(0);
  controller.ClickStart();
  EXPECT_TRUE(controller.Running()) << "48000 is usable";
  controller.ClickStop();
}

TEST(MeasurementControllerTest, AnUnderrunStopsTheRunAndShowsOops) {
  ControllerRig rig("[Faults]\nStallAfter=2\nStallBlocks=6\n");
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(14);
  controller.SelectAcquisition(4);
  controller.Acquisition().acq_size = 100000;
  controller.ClickStart();
  ASSERT_TRUE(rig.RunUntilStopped(10.0));
  EXPECT_TRUE(controller.EngineOverran());
  EXPECT_EQ(controller.StatusWord(), "oops");
  EXPECT_EQ(controller.StatusColour(), kStatusRed);
  EXPECT_EQ(rig.events, (Events{"OnStarted", "OnStopped"}));
}

TEST(MeasurementControllerTest, TimerAutoStopIsArmedAtTheFirstPass) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(14);
  controller.SelectAcquisition(4);
  controller.Acquisition().avg_target = 1000;
  controller.Acquisition().auto_stop = AutoStopMode::kTimer;
  controller.Acquisition().auto_stop_seconds = 2.0;
  controller.ClickStart();
  ASSERT_TRUE(rig.RunUntilStopped(20.0));
  ASSERT_GE(rig.events.size(), 4u);
  EXPECT_EQ(rig.events[rig.events.size() - 2], "OnAutoStopTimer");
  EXPECT_EQ(controller.StatusWord(), "auto stop");
  // The stop came about two seconds after the first pass, not after the start.
  const int passes = static_cast<int>(
      std::count(rig.events.begin(), rig.events.end(), std::string("OnAcqOnceDone")));
  EXPECT_GT(passes, 10);
}

TEST(MeasurementControllerTest, AutoStartRequestsAStartAtItsTime) {
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(14);
  controller.SelectAcquisition(0);  // one capture, then it stops by itself
  controller.events.OnAutoStart = [&rig] { rig.events.push_back("OnAutoStart"); };
  controller.SetAutoStart(1.0 / 86400.0);  // one second after the rig's clock starts
  EXPECT_EQ(controller.StatusWord(), "1899-12-30 00:00:01");
  ASSERT_TRUE(rig.RunUntilStopped(10.0));
  EXPECT_EQ(rig.events.front(), "OnAutoStart");
  EXPECT_EQ(rig.events[1], "OnStarted");
  EXPECT_EQ(controller.StatusWord(), "auto stop");
}

TEST(MeasurementControllerTest, LevelTriggerWaitsThenRuns) {
  ControllerRig rig("[Input1]\nNoise=-20\n");
  MeasurementController& controller = rig.controller();
  controller.SelectStimulus(99);  // no stimulus: the noise alone crosses the level
  controller.SelectAcquisition(0);
  controller.Extras().trigger.polarity = TriggerPolarity::kPositive;
  controller.Extras().trigger.threshold = 1.5e-06 * 8388608 * 0.2;  // 0.2 of full scale
  controller.events.OnTrigger = [&rig] { rig.events.push_back("OnTrigger"); };
  controller.ClickStart();
  ASSERT_TRUE(controller.Running());
  rig.Ticks(1);
  EXPECT_EQ(controller.StatusWord(), "trig:Armed");
  ASSERT_TRUE(rig.RunUntilStopped(10.0));
  EXPECT_NE(std::find(rig.events.begin(), rig.events.end(), "OnTrigger"), rig.events.end());
}

// Types that read input 2 capture it whatever the stimulus; the one-channel types do not.
TEST(MeasurementControllerTest, TypesReadingInputTwoCaptureIt) {
  struct Case {
    int stimulus;
    int acquisition;
    int channels;
  };
  const Case cases[] = {{14, 0, 1}, {14, 1, 2}, {14, 4, 1}, {14, 5, 2},
                        {7, 6, 1},  {7, 7, 2},  {0, 1, 2},  {0, 26, 2}};
  for (const Case& c : cases) {
    ControllerRig rig(kWire);
    MeasurementController& controller = rig.controller();
    controller.SelectStimulus(c.stimulus);
    ASSERT_TRUE(controller.SelectAcquisition(c.acquisition));
    controller.Acquisition().auto_stop = AutoStopMode::kAvgs;
    controller.ClickStart();
    ASSERT_TRUE(rig.RunUntilStopped(30.0)) << c.stimulus << "/" << c.acquisition;
    EXPECT_EQ(controller.TimeRec().FNumFields, c.channels)
        << "stimulus " << c.stimulus << ", acquisition " << c.acquisition;
  }
}

// Every tone of a stepped list comes back through a wire at one level: a pass measures its own
// tone, not one still on its way from the last step.
TEST(MeasurementControllerTest, SteppedTonesMeasureEachToneOnce) {
  for (const int stimulus : {9, 10}) {
    ControllerRig rig(kWire);
    rig.stimulus.stepped.steps = 8;
    MeasurementController& controller = rig.controller();
    controller.SelectStimulus(stimulus);
    ASSERT_TRUE(controller.SelectAcquisition(8));
    controller.Acquisition().auto_stop = AutoStopMode::kAvgs;
    controller.ClickStart();
    ASSERT_TRUE(rig.RunUntilStopped(60.0)) << stimulus;
    EXPECT_EQ(std::count(rig.events.begin(), rig.events.end(), "OnAcqBurst"), 8);
    EXPECT_EQ(std::count(rig.events.begin(), rig.events.end(), "OnAcqOnceDone"), 1);
    const TDataMeas& response = controller.FreqRec();
    ASSERT_EQ(response.FNumPoints, 8) << stimulus;
    const DataArray& magnitude = response.FFields[1].Values;
    // Tones from 100 Hz up fit whole cycles enough that the window's leakage stays small.
    for (int i = 3; i < 8; ++i) {
      EXPECT_NEAR(magnitude[i] / magnitude[7], 1.0, 1e-3)
          << "stimulus " << stimulus << " tone " << response.FFields[0].Values[i] << " Hz";
    }
  }
}

}  // namespace
}  // namespace vireon
