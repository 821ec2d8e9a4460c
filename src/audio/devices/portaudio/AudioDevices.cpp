#include "audio/devices/portaudio/AudioDevices.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/VireonError.h"

namespace vireon {
namespace {

class StderrSilenced {
 public:
  StderrSilenced() : saved_(dup(STDERR_FILENO)) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDERR_FILENO);
      close(null);
    }
  }
  ~StderrSilenced() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  StderrSilenced(const StderrSilenced&) = delete;
  StderrSilenced& operator=(const StderrSilenced&) = delete;

 private:
  int saved_;
};

}  // namespace

AudioDevices OpenAudioDevices(bool with_portaudio, Bench bench, SimulatedCard::Clock clock,
                              bool hide_simulated_card) {
  AudioDevices devices;
  std::vector<std::unique_ptr<WaveDriver>> backends;
  if (with_portaudio) {
    std::string failure;
    {
      // The audio libraries report every host API they cannot reach on stderr while PortAudio
      // starts; what matters reaches us through PortAudio's results.
      const StderrSilenced quiet;
      try {
        auto portaudio = std::make_unique<PortAudioDriver>();
        devices.portaudio = portaudio.get();
        backends.push_back(std::move(portaudio));
      } catch (const VireonError& error) {
        failure = error.what();
      }
    }
    if (!failure.empty()) std::fprintf(stderr, "No sound cards: %s\n", failure.c_str());
  }
  auto card = std::make_unique<SimulatedCard>(std::move(bench), clock);
  if (!hide_simulated_card) devices.simulated_card = card.get();
  devices.catalog =
      std::make_unique<DeviceCatalog>(std::move(backends), std::move(card), hide_simulated_card);
  return devices;
}

}  // namespace vireon
