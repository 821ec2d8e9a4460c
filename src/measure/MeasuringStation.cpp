#include "measure/MeasuringStation.h"

#include <utility>
#include <vector>

namespace vireon {

StationDevices DefaultStationDevices(const DeviceCatalog& catalog) {
  StationDevices devices;
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    const int number = catalog.DefaultDevice(direction);
    const std::vector<std::string> names = catalog.DeviceNames(direction);
    std::string& name = direction == WaveDirection::kPlay ? devices.play : devices.record;
    if (number >= 0 && number < static_cast<int>(names.size())) name = names[number];
  }
  return devices;
}

namespace {

ControllerPorts WithPump(ControllerPorts ports, std::function<void(bool)> set_pump) {
  ports.set_pump = std::move(set_pump);
  return ports;
}

}  // namespace

MeasuringStation::MeasuringStation(WaveDriver& driver, const StationDevices& devices,
                                   const std::filesystem::path& data_directory,
                                   ControllerPorts ports, DriverErrorText driver_error_text)
    : audio_(driver, data_directory, {}),
      engine_(driver, ports.show_message, std::move(driver_error_text)),
      controller_({engine_, audio_, stimulus_, timing_, data_directory},
                  WithPump(std::move(ports), [this](bool enabled) { SetPump(enabled); })) {
  audio_.ListWavDevices();
  audio_.SelectDAC(devices.play);
  audio_.SelectADC(devices.record);
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    audio_.SelectRate(kDefaultRate, direction);
    audio_.SelectResolution(kDefaultBits, direction);
  }
  audio_.SetOutputLevels(OutputLevelsOf(stimulus_));
}

void MeasuringStation::AfterWake() { audio_.RelistDevices(); }

void MeasuringStation::SetPump(bool enabled) {
  if (enabled && !pump_) {
    pump_ = std::make_unique<PumpThread>([this] { engine_.ServiceTick(); },
                                         timing_.timer_thread_priority);
  } else if (!enabled) {
    pump_.reset();
  }
}

}  // namespace vireon
