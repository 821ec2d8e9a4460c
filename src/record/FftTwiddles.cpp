#include "record/FftTwiddles.h"

#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>

namespace vireon {
namespace {

constexpr int kMaxLog2Span = 30;

Radix4Twiddles BuildStage(int log2_span) {
  const std::size_t span = std::size_t{1} << log2_span;
  const std::size_t quarter = span / 4;
  Radix4Twiddles t;
  const std::size_t groups = (quarter + kTwiddleGroup - 1) / kTwiddleGroup;
  t.Packed.assign(groups * kTwiddleGroupSize, 0.0);
  // Each factor straight from its own angle in long double: no recurrence to drift.
  const long double step = -2.0L * std::numbers::pi_v<long double> / static_cast<long double>(span);
  for (std::size_t j = 0; j < quarter; ++j) {
    for (std::size_t m = 1; m <= 3; ++m) {
      const long double angle = step * static_cast<long double>(j * m);
      double* group = t.Packed.data() + (j / kTwiddleGroup) * kTwiddleGroupSize;
      const std::size_t lane = j % kTwiddleGroup;
      group[(2 * m - 2) * kTwiddleGroup + lane] = static_cast<double>(std::cos(angle));
      group[(2 * m - 1) * kTwiddleGroup + lane] = static_cast<double>(std::sin(angle));
    }
  }
  return t;
}

struct StageSlot {
  std::once_flag built;
  std::unique_ptr<const Radix4Twiddles> table;
};

}  // namespace

const Radix4Twiddles& StageTwiddles(int log2_span) {
  // The one program-wide cache: each slot is written once under its once_flag and only read
  // afterwards, so the pump and the user-interface thread can share it.
  static std::array<StageSlot, kMaxLog2Span + 1> slots;
  StageSlot& slot = slots[static_cast<std::size_t>(log2_span)];
  std::call_once(slot.built, [&] {
    slot.table = std::make_unique<const Radix4Twiddles>(BuildStage(log2_span));
  });
  return *slot.table;
}

}  // namespace vireon
