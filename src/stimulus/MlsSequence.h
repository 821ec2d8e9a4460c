#pragma once

#include <array>
#include <cstdint>

namespace vireon {

// Maximum-length sequences from one linear-feedback shift register. The stages are bits 1..order of
// a 32-bit word; bit 0 is always clear after a step, so an unused tap (bit 0) adds nothing.

inline constexpr int kMinMlsOrder = 12;
inline constexpr int kMaxMlsOrder = 22;
inline constexpr int kMinMlsTableOrder = 12;  // permutation tables exist for these orders only
inline constexpr int kMaxMlsTableOrder = 18;
inline constexpr int kSyncCodeOrder = 8;

class MlsRegister {
 public:
  // Tap bit positions q, r, s, t; q is the register's top stage and its output.
  MlsRegister(int order, std::array<int, 4> tap_bits);
  // The measurement sequences of orders 12..22; throws std::out_of_range for other orders.
  static MlsRegister ForOrder(int order);
  // The engine's sync code: order 8, feedback from bits 8, 4, 3 and 2.
  static MlsRegister SyncCode();

  void SeedMLS() { state_ = 2; }  // only bit 1 set
  int NextMLSBit();
  void SetState(std::uint32_t state) { state_ = state; }
  std::uint32_t State() const { return state_; }

  int Order() const { return order_; }
  std::int32_t TableSize() const { return std::int32_t{1} << order_; }  // 2^order
  std::int32_t Period() const { return TableSize() - 1; }

 private:
  int order_;
  std::array<std::uint32_t, 4> tap_masks_;
  std::uint32_t state_ = 2;
};

// The order for a requested sequence length: the smallest n with 2^n >= |length|, at least 12.
// The returned length is 4096 for lengths up to 4096 and the request itself otherwise.
struct MlsLength {
  int order;
  int length;
};
MlsLength SetMLSOrder(int length);

}  // namespace vireon
