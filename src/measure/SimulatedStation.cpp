#include "measure/SimulatedStation.h"

#include <utility>

#include "audio/engine/FastPump.h"

namespace vireon {

SimulatedStation::SimulatedStation(Bench bench, const std::filesystem::path& data_directory)
    : card_(std::move(bench), SimulatedCard::Clock::kFast),
      audio_(card_, data_directory, {}),
      engine_(card_, [this](const std::string& text) { messages.push_back(text); }),
      controller_({engine_, audio_, stimulus, timing, data_directory}, Ports()) {
  audio_.ListWavDevices();
  audio_.SelectDAC(SimulatedCard::kDeviceName);
  audio_.SelectADC(SimulatedCard::kDeviceName);
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    audio_.SelectRate(kRate, direction);
    audio_.SelectResolution(24, direction);
  }
  stimulus.output1_db = stimulus.output2_db = 0.0;
  audio_.SetOutputLevels(OutputLevelsOf(stimulus));
}

bool SimulatedStation::RunUntil(const std::function<bool()>& done, double seconds) {
  const std::function<void()> service = [this] {
    if (pump_enabled_) engine_.ServiceTick();
  };
  const std::function<void()> tick = [this] { controller_.StatusTick(); };
  FastPump pump(
      card_, kRate,
      [&] {
        ++steps_;
        around_service(service);
      },
      [&] { around_status_tick(tick); });
  const auto steps = static_cast<std::int64_t>(seconds * 500.0);
  for (std::int64_t i = 0; i < steps; ++i) {
    if (done()) return true;
    pump.Step();
  }
  return done();
}

ControllerPorts SimulatedStation::Ports() {
  ControllerPorts ports;
  ports.show_message = [this](const std::string& text) { messages.push_back(text); };
  ports.set_pump = [this](bool enabled) { pump_enabled_ = enabled; };
  ports.now = [this] { return ClockSeconds() / 86400.0; };
  return ports;
}

}  // namespace vireon
