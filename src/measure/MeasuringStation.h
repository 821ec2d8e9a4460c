#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "audio/devices/DeviceCatalog.h"
#include "audio/engine/PumpThread.h"
#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/TimingSettings.h"
#include "measure/MeasurementController.h"
#include "stimulus/CfgStim.h"

namespace vireon {

// The play and record devices by name.
struct StationDevices {
  std::string play;
  std::string record;
};

// What a start without a configuration measures with: the first device of each direction, which
// is the simulated card only when no other device exists.
StationDevices DefaultStationDevices(const DeviceCatalog& catalog);

// The desktop program's measuring chain in real time: the audio settings of the chosen devices
// at 48 kHz and 24 bits, the streaming engine, the pump thread that services the engine while a
// measurement runs, and the measurement controller on top. The caller's ports serve everything
// but the pump; the engine's messages go to the same message box as the controller's.
class MeasuringStation {
 public:
  static constexpr int kDefaultRate = 48000;
  static constexpr int kDefaultBits = 24;

  MeasuringStation(WaveDriver& driver, const StationDevices& devices,
                   const std::filesystem::path& data_directory, ControllerPorts ports,
                   DriverErrorText driver_error_text = {});
  MeasuringStation(const MeasuringStation&) = delete;
  MeasuringStation& operator=(const MeasuringStation&) = delete;

  MeasurementController& Controller() { return controller_; }
  AudioInterfaceSettings& Audio() { return audio_; }
  StimulusSettings& Stimulus() { return stimulus_; }
  TimingSettings& Timing() { return timing_; }
  bool PumpRunning() const { return pump_ != nullptr; }

  // The machine woke: the devices are enumerated again and the chosen ones selected anew.
  void AfterWake();

 private:
  void SetPump(bool enabled);

  StimulusSettings stimulus_;
  TimingSettings timing_;
  AudioInterfaceSettings audio_;
  StreamingEngine engine_;
  std::unique_ptr<PumpThread> pump_;  // after the engine: stopped before the engine goes
  MeasurementController controller_;  // last: a running measurement stops first
};

}  // namespace vireon
