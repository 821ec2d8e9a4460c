// Reads arbitrary bytes as a bench file: nothing may crash or hang; a bench that reads is either
// accepted whole or refused with VireonError, and a card built on it plays and records a few
// buffers with every sample within full scale.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "FuzzRequire.h"
#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "common/VireonError.h"
#include "stimulus/SamplePacking.h"

namespace {

class IgnoringCallback : public vireon::WaveCallback {
 public:
  void BufferDone(vireon::WaveDirection, int) override {}
};

void PlayAndRecord(const vireon::Bench& bench) {
  using namespace vireon;
  const WaveFormat format{bench.rates.front(), bench.bits.front()};
  SimulatedCard card(bench, SimulatedCard::Clock::kFast);
  IgnoringCallback callback;
  std::unique_ptr<WaveStream> play;
  std::unique_ptr<WaveStream> record;
  if (card.Open(WaveDirection::kPlay, 0, format, callback, play) != kMmNoError) return;
  fuzzing::Require(card.Open(WaveDirection::kRecord, 0, format, callback, record) == kMmNoError);
  const auto bytes = static_cast<std::size_t>(64 * format.BlockAlign());
  std::vector<std::uint8_t> played(bytes, 0x7F);  // near full scale on both outputs
  std::array<std::vector<std::uint8_t>, 2> recorded = {std::vector<std::uint8_t>(bytes),
                                                       std::vector<std::uint8_t>(bytes)};
  fuzzing::Require(play->Queue(0, played) == kMmNoError);
  fuzzing::Require(record->Queue(0, recorded[0]) == kMmNoError);
  fuzzing::Require(record->Queue(1, recorded[1]) == kMmNoError);
  fuzzing::Require(record->Start() == kMmNoError);
  card.Advance(200);
  for (int attempt = 0; record->Reset() != kMmNoError; ++attempt) {
    fuzzing::Require(attempt <= bench.faults.reset_failures);
  }
  (void)play->Reset();
  fuzzing::Require(record->Close() == kMmNoError);
  fuzzing::Require(play->Close() == kMmNoError);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vireon::Bench bench;
  try {
    bench = vireon::ParseBench(text, std::filesystem::temp_directory_path() / "fuzz-bench.ini");
  } catch (const vireon::VireonError&) {
    return 0;
  }
  vireon::fuzzing::Require(!bench.rates.empty() && !bench.bits.empty());
  PlayAndRecord(bench);
  return 0;
}
