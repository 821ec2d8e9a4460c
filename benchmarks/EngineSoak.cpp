// Streams the asynchronous engine through the simulated card on its real-time clock for a long
// while, with another thread keeping one core busy, and reports every underrun and overrun, the
// pump's worst lateness and the CPU share of streaming.
//
//   engine_soak [SECONDS [BENCH | --device NAME]]
//
// Default: 600 s (VIREON_SOAK_SECONDS also sets it) through the simulated card with the built-in
// bench. The card's own thread runs the bench's device under test; a plain-wire bench (an empty
// file) leaves mostly the engine's cost. With --device the stream goes through that PortAudio
// device (for example a JACK server's, "JACK Audio Connection Kit: ..."), which must take
// 192 kHz.

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/devices/portaudio/PortAudioDriver.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "audio/engine/PumpThread.h"
#include "audio/engine/StreamingEngine.h"
#include "common/Notices.h"
#include "stimulus/StimulusGenerator.h"

namespace vireon {
namespace {

constexpr int kRate = 192000;
constexpr int kBits = 24;
constexpr int kWhiteNoise = 14;

double ThreadCpuSeconds(clockid_t clock) {
  timespec time{};
  clock_gettime(clock, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double SoakSeconds(int argc, char** argv) {
  if (argc > 1) return std::atof(argv[1]);
  if (const char* text = std::getenv("VIREON_SOAK_SECONDS")) return std::atof(text);
  return 600.0;
}

// Spins until stopped; its CPU time is taken out of the process's.
class BusyCore {
 public:
  BusyCore()
      : thread_([this] {
          clockid_t clock{};
          pthread_getcpuclockid(pthread_self(), &clock);
          while (!stop_.load(std::memory_order_relaxed)) {
          }
          cpu_seconds_.store(ThreadCpuSeconds(clock));
        }) {}
  double StopAndTakeCpuSeconds() {
    stop_.store(true);
    thread_.join();
    return cpu_seconds_.load();
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<double> cpu_seconds_{0.0};
  std::thread thread_;
};

int Soak(double seconds, WaveDriver& driver, int play_device, int record_device) {
  StreamingEngine engine(
      driver, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  EngineSettings settings;
  settings.play_device = play_device;
  settings.record_device = record_device;
  settings.block_seconds = 0.05;
  engine.Configure(settings);
  engine.SetPlayFormat(kRate, kBits);
  engine.SetRecordFormat(kRate, kBits);
  engine.CaptureBuffers().length = kRate;  // one second per pass

  StimulusGenerator generator;
  StimulusSelection selection;
  selection.stim_code = kWhiteNoise;
  selection.play_rate = selection.record_rate = kRate;
  selection.play_bits = kBits;
  StimulusSettings stimulus;
  Notices notices;
  if (!generator.SelectGenerator(selection, stimulus, DefaultToneLists(), {}, notices)) return 1;

  const double cpu_before = ProcessCpuSeconds();
  BusyCore busy;
  PumpThread pump([&engine] { engine.ServiceTick(); }, 4);
  const auto begin = std::chrono::steady_clock::now();
  const auto end = begin + std::chrono::duration<double>(seconds);
  int underruns = 0;
  int overruns = 0;
  int passes = 0;
  bool restarting = false;  // the capture stays complete until the pump has reset it
  bool streaming = engine.StartAsynchronous(generator);
  // The controller's status tick: take each pass, start the next; restart after an xrun.
  while (streaming && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EngineStatus& status = engine.Status();
    const bool complete = status.capture_complete.load();
    if (status.stop_request.load()) {
      underruns += status.playback_underrun.load() ? 1 : 0;
      overruns += status.record_overrun.load() ? 1 : 0;
      engine.StopStreaming();
      streaming = engine.StartAsynchronous(generator);
      restarting = false;
    } else if (complete && !restarting) {
      ++passes;
      engine.Asynchronous().RestartCapture();
      restarting = true;
    } else if (!complete) {
      restarting = false;
    }
  }
  engine.StopStreaming();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  const double busy_cpu = busy.StopAndTakeCpuSeconds();
  const double streaming_cpu = ProcessCpuSeconds() - cpu_before - busy_cpu;

  std::printf("seconds streamed   %.1f\n", wall);
  std::printf("passes captured    %d\n", passes);
  std::printf("underruns          %d\n", underruns);
  std::printf("overruns           %d\n", overruns);
  std::printf("pump worst late    %.3f ms\n", pump.WorstLateness().count() * 1e-6);
  std::printf("streaming CPU      %.2f %% of one core\n", 100.0 * streaming_cpu / wall);
  return streaming && underruns == 0 && overruns == 0 ? 0 : 1;
}

int SoakThroughSimulatedCard(double seconds, Bench bench) {
  SimulatedCard card(std::move(bench), SimulatedCard::Clock::kRealTime);
  return Soak(seconds, card, 0, 0);
}

int SoakThroughPortAudio(double seconds, const std::string& name) {
  PortAudioDriver driver;
  const auto number = [&](WaveDirection direction) {
    const std::vector<std::string> names = driver.DeviceNames(direction);
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
  };
  const int play = number(WaveDirection::kPlay);
  const int record = number(WaveDirection::kRecord);
  if (play < 0 || record < 0) {
    std::fprintf(stderr, "No PortAudio device named \"%s\"\n", name.c_str());
    return 2;
  }
  return Soak(seconds, driver, play, record);
}

}  // namespace
}  // namespace vireon

int main(int argc, char** argv) {
  const double seconds = vireon::SoakSeconds(argc, argv);
  if (argc > 3 && std::string(argv[2]) == "--device") {
    return vireon::SoakThroughPortAudio(seconds, argv[3]);
  }
  return vireon::SoakThroughSimulatedCard(
      seconds, argc > 2 ? vireon::LoadBenchFile(argv[2]) : vireon::BuiltInBench());
}
