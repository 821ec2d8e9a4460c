#include "stimulus/MlsSequence.h"

#include <cstdlib>
#include <stdexcept>

namespace vireon {

namespace {

// Tap bit positions per order 12..22; 0 marks an unused tap.
constexpr std::array<std::array<int, 4>, kMaxMlsOrder - kMinMlsOrder + 1> kTapTable = {{
    {12, 11, 10, 2},
    {13, 4, 3, 1},
    {14, 13, 11, 9},
    {15, 1, 0, 0},
    {16, 12, 3, 1},
    {17, 3, 0, 0},
    {18, 7, 0, 0},
    {19, 5, 2, 1},
    {20, 3, 0, 0},
    {21, 2, 0, 0},
    {22, 1, 0, 0},
}};

}  // namespace

MlsRegister::MlsRegister(int order, std::array<int, 4> tap_bits) : order_(order) {
  if (order < 2 || order > 30) throw std::out_of_range("register order out of range");
  for (std::size_t i = 0; i < tap_bits.size(); ++i) {
    if (tap_bits[i] < 0 || tap_bits[i] > order) throw std::out_of_range("tap out of range");
    tap_masks_[i] = std::uint32_t{1} << tap_bits[i];
  }
}

MlsRegister MlsRegister::ForOrder(int order) {
  if (order < kMinMlsOrder || order > kMaxMlsOrder) throw std::out_of_range("no MLS taps");
  return MlsRegister(order, kTapTable[order - kMinMlsOrder]);
}

MlsRegister MlsRegister::SyncCode() { return MlsRegister(kSyncCodeOrder, {8, 4, 3, 2}); }

int MlsRegister::NextMLSBit() {
  const std::uint32_t f = state_;
  const int output = (f & tap_masks_[0]) != 0 ? 1 : 0;
  int feedback = 0;
  for (const std::uint32_t mask : tap_masks_) feedback ^= (f & mask) != 0 ? 1 : 0;
  state_ = (f << 1) | (static_cast<std::uint32_t>(feedback) << 1);
  return output;
}

MlsLength SetMLSOrder(int length) {
  const long long magnitude = std::llabs(static_cast<long long>(length));
  int order = kMinMlsOrder;
  while ((1LL << order) < magnitude) ++order;
  return {order, magnitude <= (1LL << kMinMlsOrder) ? 1 << kMinMlsOrder : length};
}

}  // namespace vireon
