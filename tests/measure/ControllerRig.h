#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "measure/SimulatedStation.h"
#include "support/TempFolder.h"

namespace vireon {

// The controller measuring a bench (INI text) through the simulated card on its fast clock, as
// the command line runs it, with every notification recorded in order.
class ControllerRig {
 public:
  static constexpr int kRate = SimulatedStation::kRate;

  explicit ControllerRig(std::string_view bench_text)
      : station_(ParseBench(bench_text, "rig.ini"), folder_.Path()),
        stimulus(station_.stimulus),
        timing(station_.timing),
        messages(station_.messages) {
    RecordEvents();
  }

  MeasurementController& controller() { return station_.controller(); }
  AudioInterfaceSettings& audio() { return station_.audio(); }

  // Runs until the controller has stopped after a start, or the clock's seconds are up; true
  // when it stopped.
  bool RunUntilStopped(double seconds) {
    return station_.RunUntil([this] { return !events.empty() && events.back() == "OnStopped"; },
                             seconds);
  }

  // Status ticks without the pump.
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) controller().StatusTick();
  }

 private:
  void RecordEvents() {
    ControllerEvents& e = controller().events;
    const auto note = [this](std::string name) { return [this, name] { events.push_back(name); }; };
    e.OnStarted = note("OnStarted");
    e.OnStopped = note("OnStopped");
    e.OnAcqBurst = note("OnAcqBurst");
    e.OnAcqOnceDone = note("OnAcqOnceDone");
    e.OnAcqAvgSetDone = note("OnAcqAvgSetDone");
    e.OnAutoStopAvgLimit = note("OnAutoStopAvgLimit");
    e.OnAutoStopTimer = note("OnAutoStopTimer");
  }

  TempFolder folder_;
  SimulatedStation station_;

 public:
  StimulusSettings& stimulus;
  TimingSettings& timing;
  std::vector<std::string>& messages;
  std::vector<std::string> events;
};

}  // namespace vireon
