// Reads arbitrary bytes as a stepped-tone list file: nothing may crash or hang, and every step's
// amplitudes of a channel add up to at most 1 in magnitude.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzRequire.h"
#include "stimulus/StepListFile.h"

using vireon::fuzzing::Require;

namespace {

double MagnitudeSum(const vireon::SineParsArray& list) {
  double sum = 0.0;
  for (const vireon::TSinePars& c : list) sum += std::fabs(c.Amplitude);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vireon::StepListFile file(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int step = 0; step <= static_cast<int>(size); ++step) {
    const auto lists = file.NextLine(48000);
    if (!lists) return 0;
    for (const auto* list : {&lists->p, &lists->q}) {
      const double sum = MagnitudeSum(*list);
      Require(!std::isfinite(sum) || sum <= 1.0 + 1e-9);
      for (const vireon::TSinePars& c : *list) Require(std::isfinite(c.Frequency));
    }
  }
  std::abort();  // more steps than lines
}
