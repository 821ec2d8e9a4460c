// Streams the asynchronous engine through the simulated card on its real-time clock for a long
// while, with another thread keeping one core busy, and reports every underrun and overrun, the
// pump's worst lateness and the CPU share of streaming.
//
//   engine_soak [SECONDS [BENCH]]   (default 600 s and the built-in bench; VIREON_SOAK_SECONDS
//                                    also sets the time)
//
// The card's own thread runs the bench's device under test; a plain-wire bench (an empty file)
// leaves mostly the engine's cost.

#include <pthread.h>
#include <sys/resource.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

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

Bench SoakBench(int argc, char** argv) {
  return argc > 2 ? LoadBenchFile(argv[2]) : BuiltInBench();
}

int Soak(double seconds, Bench bench) {
  SimulatedCard card(std::move(bench), SimulatedCard::Clock::kRealTime);
  StreamingEngine engine(
      card, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  EngineSettings settings;
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

}  // namespace
}  // namespace vireon

int main(int argc, char** argv) {
  return vireon::Soak(vireon::SoakSeconds(argc, argv), vireon::SoakBench(argc, argv));
}
