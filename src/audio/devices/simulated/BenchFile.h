#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vireon {

// A test bench for the simulated card: which output feeds each input, the device under test
// between them and the faults the card shows. Read from an INI file; every key a file leaves out
// keeps the plain wire's value given here.

enum class InputSource { kOutput1, kOutput2, kNone };

enum class ButterworthKind { kLowpass, kHighpass };

struct ButterworthStage {
  ButterworthKind kind = ButterworthKind::kLowpass;
  int order = 2;
  double hz = 1000.0;
  bool operator==(const ButterworthStage&) const = default;
};

// The audio-EQ-cookbook peaking filter.
struct PeakStage {
  double hz = 1000.0;
  double db = 0.0;
  double q = 1.0;
  bool operator==(const PeakStage&) const = default;
};

// y = b0 x + b1 x[-1] + b2 x[-2] - a1 y[-1] - a2 y[-2]
struct BiquadStage {
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
  bool operator==(const BiquadStage&) const = default;
};

struct FirStage {
  std::vector<double> taps;
  bool operator==(const FirStage&) const = default;
};

using FilterStage = std::variant<ButterworthStage, PeakStage, BiquadStage, FirStage>;

struct HumSettings {
  double hz = 50.0;
  double db = -100.0;  // RMS re full scale
  bool operator==(const HumSettings&) const = default;
};

struct BenchInput {
  InputSource source = InputSource::kNone;
  std::vector<double> polynomial = {0.0, 1.0};  // c0, c1, ...: y = c0 + c1 x + c2 x^2 ...
  std::vector<FilterStage> filter;
  double gain = 1.0;
  int delay = 0;
  std::optional<double> noise_db;  // RMS re full scale
  std::optional<HumSettings> hum;
  double clip = 1.0;
  bool operator==(const BenchInput&) const = default;
};

struct BenchFaults {
  int stall_after = 0;  // 0: never
  int stall_blocks = 0;
  int fail_open = 0;
  int reset_failures = 0;
  bool operator==(const BenchFaults&) const = default;
};

struct Bench {
  std::string name = "Bench";
  std::vector<int> rates;  // the rate table unless a file names others
  std::vector<int> bits = {16, 24};
  int latency = 0;
  std::uint64_t seed = 1;
  std::array<BenchInput, 2> inputs;
  BenchFaults faults;

  Bench();  // the plain wire: output 1 to input 1, output 2 to input 2
  bool operator==(const Bench&) const = default;
};

// Output 1 through a two-way loudspeaker to input 1, a wire from output 2 to input 2.
Bench BuiltInBench();

// Reads a bench file; a missing file, an unknown section or key or a value that does not parse
// throws VireonError naming the file and the key. `fir` files are found beside the bench file.
Bench LoadBenchFile(const std::filesystem::path& file);

// The same from text already read; `file` names it in messages and locates `fir` files.
Bench ParseBench(std::string_view text, const std::filesystem::path& file);

}  // namespace vireon
