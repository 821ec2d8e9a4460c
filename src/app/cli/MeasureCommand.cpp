#include "app/cli/MeasureCommand.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/DeviceChoice.h"
#include "app/cli/ExitCodes.h"
#include "app/cli/ProgramSettings.h"
#include "app/cli/SavedRecord.h"
#include "app/cli/SettingsOptions.h"
#include "app/cli/StimulusChoice.h"
#include "audio/devices/portaudio/AudioDevices.h"
#include "audio/engine/FastPump.h"
#include "audio/engine/PumpThread.h"
#include "audio/engine/StreamingEngine.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "common/DateTime.h"
#include "common/VireonError.h"
#include "config/Defaults.h"
#include "measure/AcquisitionTypes.h"
#include "measure/MeasurementController.h"
#include "plot/DefaultView.h"
#include "record/Averaging.h"

namespace vireon::cli {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr double kPumpStepMs = 2.0;

struct MeasureOptions {
  SettingsOptions settings;
  int stim_code = 0;
  std::optional<int> acq_type;
  DeviceOptions devices;
  std::optional<std::int64_t> fft;
  int avg = 1;
  double timeout_s = 600.0;
  std::string out;
  std::string time_out;
};

// Runs the pump and the status tick until the controller has stopped or the time is up: on the
// simulated card's fast clock without sleeping, else in real time with the pump on its thread.
class MeasurementLoop {
 public:
  MeasurementLoop(StreamingEngine& engine, SimulatedCard* fast_card, int rate, int priority)
      : engine_(engine), fast_card_(fast_card), rate_(rate), priority_(priority) {}

  ControllerPorts Ports() {
    ControllerPorts ports;
    ports.show_message = [this](const std::string& text) { messages_.push_back(text); };
    ports.set_pump = [this](bool enabled) { SetPump(enabled); };
    // The fast clock's time counts from day 0, so that a run gives the same record every time.
    ports.now = [this] {
      return fast_card_ != nullptr ? steps_ * kPumpStepMs / kMillisecondsPerDay : NowAsDateTime();
    };
    return ports;
  }

  // True when the controller stopped within the time.
  bool Run(MeasurementController& controller, const bool& stopped, double timeout_s) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<std::int64_t>(timeout_s * 1000));
    const auto in_time = [&] { return std::chrono::steady_clock::now() < deadline; };
    if (fast_card_ != nullptr) {
      FastPump pump(
          *fast_card_, rate_,
          [this] {
            ++steps_;
            if (pump_enabled_) engine_.ServiceTick();
          },
          [&controller] { controller.StatusTick(); });
      while (!stopped && in_time()) pump.Step();
    } else {
      while (!stopped && in_time()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        controller.StatusTick();
      }
    }
    return stopped;
  }

  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  void SetPump(bool enabled) {
    pump_enabled_ = enabled;
    if (fast_card_ != nullptr) return;
    if (enabled && !pump_thread_) {
      pump_thread_ = std::make_unique<PumpThread>([this] { engine_.ServiceTick(); }, priority_);
    } else if (!enabled) {
      pump_thread_.reset();
    }
  }

  StreamingEngine& engine_;
  SimulatedCard* fast_card_;
  const int rate_;
  const int priority_;
  bool pump_enabled_ = false;
  std::int64_t steps_ = 0;
  std::unique_ptr<PumpThread> pump_thread_;
  std::vector<std::string> messages_;
};

void PrintFailure(const std::vector<std::string>& messages, const Notices& notices) {
  for (const std::string& text : messages) PrintMessage(text);
  for (const std::string& text : notices.Texts()) PrintMessage(text);
}

int Measure(const MeasureOptions& options) {
  const StimulusChoice choice = ChooseStimulus(options.stim_code, options.acq_type);
  ProgramSettings settings = LoadProgramSettings(options.settings);
  const Environment environment = Environment::Process();
  const MeasuringDevices opened = OpenMeasuringDevices(
      options.devices, settings.soundcards, environment.Get("VIREON_NO_SIMULATED_CARD") == "1");
  const AudioDevices& devices = opened.devices;
  WaveDriver& driver = *devices.catalog;

  const std::string data_directory = DataDirectory(environment);
  AudioInterfaceSettings audio(driver, data_directory, {});
  audio.ListWavDevices();
  audio.SelectDAC(opened.names.play);
  audio.SelectADC(opened.names.record);
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    audio.SelectRate(options.devices.rate, direction);
    audio.SelectResolution(options.devices.bits, direction);
  }
  audio.SetOutputLevels(OutputLevelsOf(settings.stimulus));

  StreamingEngine engine(
      driver, [](const std::string& text) { PrintMessage(text); },
      [&devices] { return devices.DriverErrorText(); });
  MeasurementLoop loop(engine, opened.on_card ? devices.simulated_card : nullptr,
                       options.devices.rate, settings.timing.timer_thread_priority);
  MeasurementController controller(
      {engine, audio, settings.stimulus, settings.timing, data_directory}, loop.Ports());
  controller.Formats() = settings.acquisition_formats;
  controller.Extras() = settings.acquisition_extras;
  controller.Tracking() = settings.tracking;
  controller.Acquisition() = settings.acquisition;
  controller.SelectStimulus(options.stim_code);
  controller.SelectAcquisition(choice.acq_type);
  if (controller.Acquisition().avg_type == kAverageDecay) {
    throw UsageError("--avg cannot be used with \"Decay\" averaging");
  }
  if (options.fft) controller.SetFftSize(*options.fft);
  controller.Acquisition().avg_on = true;
  controller.SetAvgTarget(options.avg);
  controller.Acquisition().auto_stop = AutoStopMode::kAvgs;

  bool stopped = false;
  controller.events.OnStopped = [&stopped] { stopped = true; };
  controller.ClickStart();
  if (!controller.Running()) {
    PrintFailure(loop.Messages(), controller.NoticeLog());
    return kExitFailed;
  }
  const bool in_time = loop.Run(controller, stopped, options.timeout_s);
  if (!in_time) controller.ClickStop();

  // Saved as the plot windows show a new result.
  TDataMeas primary = controller.PrimaryRecord();
  ApplyDefaultView(primary, PlotOptions{});
  SaveRecordOrThrow(options.out, primary);
  if (!options.time_out.empty()) {
    TDataMeas time_record = controller.TimeRec();
    ApplyDefaultView(time_record, PlotOptions{});
    SaveRecordOrThrow(options.time_out, time_record);
  }
  if (controller.EngineOverran()) {
    std::fprintf(stderr, "SpeedError!!\n");
    return kExitFailed;
  }
  if (!in_time) {
    std::fprintf(stderr, "The measurement did not complete within %g s\n", options.timeout_s);
    return kExitFailed;
  }
  return kExitSuccess;
}

}  // namespace

std::function<int()> AddMeasureCommand(CLI::App& app) {
  auto options = std::make_shared<MeasureOptions>();
  CLI::App* command = app.add_subcommand(
      "measure", "Run one measurement as the Start button would and save its result");
  AddSettingsOptions(*command, options->settings);
  command->add_option("--stimulus", options->stim_code, "Stimulus code 0..17 or 99")->required();
  command->add_option("--acq", options->acq_type, "Acquisition type 0..26, 27 or 99")
      ->required()
      ->check(CLI::Range(0, 27) | CLI::IsMember({99}));
  AddDeviceOptions(*command, options->devices);
  command->add_option("--fft", options->fft, "FFT size (256 .. 33554432, a power of two)")
      ->check(CLI::Range(std::int64_t{kMinFftSize}, std::int64_t{kMaxFftSize}));
  command->add_option("--avg", options->avg, "Averages (default 1), stopping when reached")
      ->check(CLI::Range(kMinAvgTarget, kMaxAvgTarget));
  command->add_option("--timeout", options->timeout_s, "Give up after this many seconds")
      ->check(CLI::PositiveNumber);
  command->add_option("--out", options->out, "Record the primary plot shows at the end")
      ->required();
  command->add_option("--time-out", options->time_out, "Time record to write as well");
  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    return Measure(*options);
  };
}

}  // namespace vireon::cli
