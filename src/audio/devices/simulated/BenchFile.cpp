#include "audio/devices/simulated/BenchFile.h"

#include <algorithm>
#include <limits>
#include <set>

#include "audio/devices/simulated/BenchValueText.h"
#include "audio/settings/RateTable.h"
#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "config/IniFile.h"

namespace vireon {
namespace {

constexpr long long kMaxDelaySamples = 1 << 22;
constexpr long long kMaxCount = 1000000;
constexpr std::size_t kMaxPolynomialTerms = 64;

struct SectionKeys {
  std::string_view section;
  std::vector<std::string_view> keys;
};

const std::array<SectionKeys, 4>& KnownSections() {
  static const std::array<SectionKeys, 4> sections = {{
      {"Card", {"Name", "Rates", "Bits", "Latency", "Seed"}},
      {"Input1", {"Source", "Polynomial", "Filter", "Gain", "Delay", "Noise", "Hum", "Clip"}},
      {"Input2", {"Source", "Polynomial", "Filter", "Gain", "Delay", "Noise", "Hum", "Clip"}},
      {"Faults", {"StallAfter", "StallBlocks", "FailOpen", "ResetFailures"}},
  }};
  return sections;
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsNone(std::string_view value) { return EqualIgnoringAsciiCase(Trim(value), "none"); }

class BenchReader {
 public:
  BenchReader(std::string_view text, const std::filesystem::path& file)
      : text_(text), file_(file), ini_(IniFile::FromText(text)) {}

  Bench Read() {
    CheckLines();
    CheckNames();
    Bench bench;
    ReadCard(bench);
    for (int i = 0; i < 2; ++i) ReadInput(i == 0 ? "Input1" : "Input2", bench.inputs[i]);
    ReadFaults(bench.faults);
    return bench;
  }

 private:
  [[noreturn]] void Fail(std::string_view section, std::string_view key,
                         std::string_view problem) const {
    std::string where = "Bench file \"" + file_.string() + "\", [" + std::string(section) + "]";
    if (!key.empty()) where += " " + std::string(key);
    throw VireonError(where + ": " + std::string(problem));
  }

  // What the INI class cannot tell apart: lines that are neither a header, a comment nor a key,
  // and a section or key given twice, of which it would silently read only the first.
  void CheckLines() const {
    std::set<std::string> sections;
    std::set<std::string> keys;
    std::string section;
    bool in_section = false;
    std::string_view rest = text_;
    while (!rest.empty()) {
      const auto end = std::min(rest.find('\n'), rest.size());
      std::string_view line = rest.substr(0, end);
      rest.remove_prefix(std::min(end + 1, rest.size()));
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      line = Trim(line);
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        if (line.rfind(']') == 0 || line.rfind(']') == std::string_view::npos) {
          Fail(section, "", "the line \"" + std::string(line) + "\" is no section header");
        }
        section = line.substr(1, line.rfind(']') - 1);
        in_section = true;
        if (!sections.insert(FoldAsciiCase(section)).second) Fail(section, "", "given twice");
        keys.clear();
        continue;
      }
      const auto equals = line.find('=');
      const std::string_view key =
          Trim(line.substr(0, equals == std::string_view::npos ? 0 : equals));
      if (!in_section || key.empty()) {
        Fail(section, "", "the line \"" + std::string(line) + "\" is no key=value line");
      }
      if (!keys.insert(FoldAsciiCase(key)).second) Fail(section, key, "given twice");
    }
  }

  void CheckNames() const {
    const auto& known = KnownSections();
    for (const std::string& section : ini_.Sections()) {
      const auto found = std::find_if(known.begin(), known.end(), [&](const SectionKeys& s) {
        return EqualIgnoringAsciiCase(s.section, section);
      });
      if (found == known.end()) Fail(section, "", "unknown section");
      for (const std::string& key : ini_.Keys(section)) {
        if (std::none_of(found->keys.begin(), found->keys.end(),
                         [&](std::string_view k) { return EqualIgnoringAsciiCase(k, key); })) {
          Fail(section, key, "unknown key");
        }
      }
    }
  }

  // Runs `parse` on the key's value when the file gives one; its complaint names the key.
  template <class Parse>
  void Value(std::string_view section, std::string_view key, Parse parse) const {
    const std::optional<std::string> value = ini_.RawValue(section, key);
    if (!value) return;
    try {
      parse(std::string_view(*value));
    } catch (const BenchValueError& error) {
      Fail(section, key, error.what());
    }
  }

  void Integer(std::string_view section, std::string_view key, int& target, long long max) const {
    Value(section, key, [&](std::string_view v) {
      target = static_cast<int>(ParseWholeNumber(Trim(v), 0, max));
    });
  }

  void Number(std::string_view section, std::string_view key, double& target) const {
    Value(section, key, [&](std::string_view v) { target = ParseFiniteNumber(Trim(v)); });
  }

  // A comma-separated list of whole numbers, each in min..max.
  static std::vector<int> NumberList(std::string_view text, long long min, long long max) {
    std::vector<int> numbers;
    while (true) {
      const auto end = std::min(text.find(','), text.size());
      numbers.push_back(static_cast<int>(ParseWholeNumber(Trim(text.substr(0, end)), min, max)));
      if (end == text.size()) return numbers;
      text.remove_prefix(end + 1);
    }
  }

  void ReadCard(Bench& bench) const {
    Value("Card", "Name", [&](std::string_view v) { bench.name = Trim(v); });
    Value("Card", "Rates",
          [&](std::string_view v) { bench.rates = NumberList(v, 1000, RateTable().front().rate); });
    Value("Card", "Bits", [&](std::string_view v) {
      bench.bits = NumberList(v, 16, 24);
      for (const int bits : bench.bits) {
        if (bits != 16 && bits != 24) throw BenchValueError("only 16 and 24 bits are offered");
      }
    });
    Integer("Card", "Latency", bench.latency, kMaxDelaySamples);
    Value("Card", "Seed", [&](std::string_view v) {
      bench.seed = static_cast<std::uint64_t>(
          ParseWholeNumber(Trim(v), std::numeric_limits<std::int64_t>::min(),
                           std::numeric_limits<std::int64_t>::max()));
    });
  }

  void ReadInput(std::string_view section, BenchInput& input) const {
    Value(section, "Source", [&](std::string_view v) {
      if (EqualIgnoringAsciiCase(Trim(v), "Output1")) {
        input.source = InputSource::kOutput1;
      } else if (EqualIgnoringAsciiCase(Trim(v), "Output2")) {
        input.source = InputSource::kOutput2;
      } else if (IsNone(v)) {
        input.source = InputSource::kNone;
      } else {
        throw BenchValueError("\"" + std::string(v) + "\" is not Output1, Output2 or None");
      }
    });
    Value(section, "Polynomial", [&](std::string_view v) {
      const std::vector<std::string_view> words = SplitWords(v);
      if (words.empty() || words.size() > kMaxPolynomialTerms) {
        throw BenchValueError("needs 1 to " + std::to_string(kMaxPolynomialTerms) +
                              " coefficients");
      }
      input.polynomial.clear();
      for (const std::string_view word : words) input.polynomial.push_back(ParseFiniteNumber(word));
    });
    Value(section, "Filter",
          [&](std::string_view v) { input.filter = ParseFilterStages(v, file_.parent_path()); });
    Number(section, "Gain", input.gain);
    Integer(section, "Delay", input.delay, kMaxDelaySamples);
    Value(section, "Noise", [&](std::string_view v) {
      input.noise_db = IsNone(v) ? std::nullopt : std::optional(ParseFiniteNumber(Trim(v)));
    });
    Value(section, "Hum", [&](std::string_view v) {
      if (IsNone(v)) {
        input.hum.reset();
        return;
      }
      const std::vector<std::string_view> words = SplitWords(v);
      if (words.size() != 2) throw BenchValueError("needs \"HZ DB\"");
      const HumSettings hum{ParseFiniteNumber(words[0]), ParseFiniteNumber(words[1])};
      if (hum.hz <= 0.0) throw BenchValueError("the frequency must be above 0");
      input.hum = hum;
    });
    Number(section, "Clip", input.clip);
    if (input.clip <= 0.0) Fail(section, "Clip", "must be above 0");
  }

  void ReadFaults(BenchFaults& faults) const {
    Integer("Faults", "StallAfter", faults.stall_after, kMaxCount);
    Integer("Faults", "StallBlocks", faults.stall_blocks, kMaxCount);
    Integer("Faults", "FailOpen", faults.fail_open, 65535);
    Integer("Faults", "ResetFailures", faults.reset_failures, kMaxCount);
  }

  std::string_view text_;
  std::filesystem::path file_;
  IniFile ini_;
};

}  // namespace

Bench::Bench() {
  for (const RateEntry& entry : RateTable()) rates.push_back(entry.rate);
  inputs[0].source = InputSource::kOutput1;
  inputs[1].source = InputSource::kOutput2;
}

Bench BuiltInBench() {
  Bench bench;
  bench.latency = 1024;
  BenchInput& loudspeaker = bench.inputs[0];
  loudspeaker.filter = {ButterworthStage{ButterworthKind::kHighpass, 2, 45.0},
                        PeakStage{2500.0, 3.0, 2.0},
                        ButterworthStage{ButterworthKind::kLowpass, 2, 22000.0}};
  loudspeaker.gain = 0.5;
  loudspeaker.noise_db = -110.0;
  bench.inputs[1].noise_db = -110.0;
  return bench;
}

Bench LoadBenchFile(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) throw VireonError("Bench file \"" + file.string() + "\" cannot be read");
  return ParseBench(*text, file);
}

Bench ParseBench(std::string_view text, const std::filesystem::path& file) {
  return BenchReader(text, file).Read();
}

}  // namespace vireon
