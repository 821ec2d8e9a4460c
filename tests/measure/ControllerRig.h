#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "audio/engine/FastPump.h"
#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/TimingSettings.h"
#include "measure/MeasurementController.h"
#include "stimulus/CfgStim.h"
#include "support/TempFolder.h"

namespace vireon {

// The controller measuring a bench through the simulated card on its fast clock, as the command
// line runs it, with every notification recorded in order.
class ControllerRig {
 public:
  static constexpr int kRate = 48000;

  explicit ControllerRig(std::string_view bench_text)
      : card_(ParseBench(bench_text, "rig.ini"), SimulatedCard::Clock::kFast),
        audio_(card_, folder_.Path(), {}),
        engine_(card_, [this](const std::string& text) { messages.push_back(text); }),
        controller_({engine_, audio_, stimulus, timing, folder_.Path()}, Ports()) {
    audio_.ListWavDevices();
    audio_.SelectDAC(SimulatedCard::kDeviceName);
    audio_.SelectADC(SimulatedCard::kDeviceName);
    for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
      audio_.SelectRate(kRate, direction);
      audio_.SelectResolution(24, direction);
    }
    audio_.SetOutputLevels({0.0, 0.0});
    RecordEvents();
  }

  MeasurementController& controller() { return controller_; }
  AudioInterfaceSettings& audio() { return audio_; }

  // Runs the pump (and a status tick every 50 steps) until the controller has stopped after a
  // start, or the simulated seconds are up; true when it stopped.
  bool RunUntilStopped(double seconds) {
    FastPump pump(
        card_, kRate,
        [this] {
          ++steps_;
          if (pump_enabled_) engine_.ServiceTick();
        },
        [this] { controller_.StatusTick(); });
    const auto steps = static_cast<std::int64_t>(seconds * 500.0);
    for (std::int64_t i = 0; i < steps; ++i) {
      pump.Step();
      if (!events.empty() && events.back() == "OnStopped") return true;
    }
    return false;
  }

  // Status ticks without the pump.
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) controller_.StatusTick();
  }

  StimulusSettings stimulus;
  TimingSettings timing;
  std::vector<std::string> events;
  std::vector<std::string> messages;

 private:
  ControllerPorts Ports() {
    ControllerPorts ports;
    ports.show_message = [this](const std::string& text) { messages.push_back(text); };
    ports.set_pump = [this](bool enabled) { pump_enabled_ = enabled; };
    ports.now = [this] { return steps_ * 0.002 / 86400.0; };
    return ports;
  }

  void RecordEvents() {
    ControllerEvents& e = controller_.events;
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
  SimulatedCard card_;
  AudioInterfaceSettings audio_;
  StreamingEngine engine_;
  MeasurementController controller_;
  bool pump_enabled_ = false;
  std::int64_t steps_ = 0;
};

}  // namespace vireon
