#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/TimingSettings.h"
#include "measure/MeasurementController.h"
#include "stimulus/CfgStim.h"

namespace vireon {

// A measuring station without hardware: the controller measuring a bench through the simulated
// card on its fast clock, at 48 kHz and 24 bits with both outputs at 0 dB. Each 2 ms step of the
// clock services the engine while the pump is enabled, and every 50th step runs the status tick;
// nothing sleeps, so a run is deterministic. Message boxes are kept in `messages`.
class SimulatedStation {
 public:
  static constexpr int kRate = 48000;

  SimulatedStation(Bench bench, const std::filesystem::path& data_directory);
  SimulatedStation(const SimulatedStation&) = delete;
  SimulatedStation& operator=(const SimulatedStation&) = delete;

  MeasurementController& controller() { return controller_; }
  AudioInterfaceSettings& audio() { return audio_; }

  // Steps the clock until `done()` or `seconds` of clock time; true when done. The step
  // functions run around each engine service and each status tick (for timing them).
  bool RunUntil(const std::function<bool()>& done, double seconds);
  double ClockSeconds() const { return static_cast<double>(steps_) * 0.002; }

  StimulusSettings stimulus;
  TimingSettings timing;
  std::vector<std::string> messages;
  std::function<void(const std::function<void()>& service)> around_service =
      [](const std::function<void()>& service) { service(); };
  std::function<void(const std::function<void()>& tick)> around_status_tick =
      [](const std::function<void()>& tick) { tick(); };

 private:
  ControllerPorts Ports();

  SimulatedCard card_;
  AudioInterfaceSettings audio_;
  StreamingEngine engine_;
  MeasurementController controller_;
  bool pump_enabled_ = false;
  std::int64_t steps_ = 0;
};

}  // namespace vireon
