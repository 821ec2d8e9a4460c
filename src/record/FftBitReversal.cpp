#include "record/FftBitReversal.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace vireon {
namespace {

std::size_t ReverseBits(std::size_t x, int bits) {
  std::size_t r = 0;
  for (int k = 0; k < bits; ++k) {
    r = (r << 1) | (x & 1);
    x >>= 1;
  }
  return r;
}

constexpr int kTileBits = 5;

// In-place bit-reversal permutation of 2^log2n points of both arrays (log2n ≥ 10), tile by
// tile: an index splits into high, middle and low parts of 5, b and 5 bits; all points of the
// tile with middle m go to the tile with middle rev(m), with high and low parts exchanged and
// reversed. A tile row is 32 contiguous values, so the permutation streams through memory.
class BitReversal {
 public:
  explicit BitReversal(int log2n)
      : b_(log2n - 2 * kTileBits), row_stride_(std::size_t{1} << (kTileBits + b_)) {
    for (std::size_t k = 0; k < kSide; ++k) reversed_side_[k] = ReverseBits(k, kTileBits);
  }

  void Permute(double* re, double* im) {
    const std::size_t middles = std::size_t{1} << b_;
    for (std::size_t m = 0; m < middles; ++m) {
      const std::size_t r = ReverseBits(m, b_);
      if (r < m) continue;
      Gather(re, m, re_m_);
      Gather(im, m, im_m_);
      if (r != m) {
        Gather(re, r, re_r_);
        Gather(im, r, im_r_);
        Scatter(re_r_, re, m);
        Scatter(im_r_, im, m);
      }
      Scatter(re_m_, re, r);
      Scatter(im_m_, im, r);
    }
  }

 private:
  static constexpr std::size_t kSide = std::size_t{1} << kTileBits;
  using Tile = std::array<double, kSide * kSide>;

  void Gather(const double* data, std::size_t middle, Tile& tile) const {
    for (std::size_t hi = 0; hi < kSide; ++hi) {
      const double* row = data + hi * row_stride_ + (middle << kTileBits);
      for (std::size_t lo = 0; lo < kSide; ++lo) tile[hi * kSide + lo] = row[lo];
    }
  }

  // Point (hi, lo) of the tile goes to row rev(lo), column rev(hi) of the target tile; writing
  // row by row keeps the stores contiguous.
  void Scatter(const Tile& tile, double* data, std::size_t middle) const {
    for (std::size_t row = 0; row < kSide; ++row) {
      double* out = data + row * row_stride_ + (middle << kTileBits);
      const std::size_t lo = reversed_side_[row];
      for (std::size_t col = 0; col < kSide; ++col) {
        out[col] = tile[reversed_side_[col] * kSide + lo];
      }
    }
  }

  int b_;
  std::size_t row_stride_;
  std::array<std::size_t, kSide> reversed_side_{};
  Tile re_m_{}, im_m_{}, re_r_{}, im_r_{};
};

// Up to this size the exchanges are listed once per size and replayed: the arrays sit in cache
// and a list of pairs beats any index arithmetic. Larger sizes go tile by tile.
constexpr int kMaxListedLog2 = 10;
static_assert(kMaxListedLog2 >= 2 * kTileBits, "the tiles need sizes of at least 2^10");

using SwapList = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

SwapList BuildSwapList(int log2n) {
  SwapList swaps;
  const std::size_t n = std::size_t{1} << log2n;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t r = ReverseBits(i, log2n);
    if (i < r) swaps.emplace_back(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(r));
  }
  return swaps;
}

// Built on first use of a size under its once_flag and only read afterwards.
const SwapList& SwapListFor(int log2n) {
  struct Slot {
    std::once_flag built;
    std::unique_ptr<const SwapList> swaps;
  };
  static std::array<Slot, kMaxListedLog2 + 1> slots;
  Slot& slot = slots[static_cast<std::size_t>(log2n)];
  std::call_once(slot.built,
                 [&] { slot.swaps = std::make_unique<const SwapList>(BuildSwapList(log2n)); });
  return *slot.swaps;
}

}  // namespace

void BitReversePermute(double* re, double* im, int log2n) {
  if (log2n > kMaxListedLog2) {
    BitReversal(log2n).Permute(re, im);
    return;
  }
  for (const auto& [i, j] : SwapListFor(log2n)) {
    std::swap(re[i], re[j]);
    std::swap(im[i], im[j]);
  }
}

}  // namespace vireon
