#pragma once

#include <cstdint>
#include <span>

namespace vireon {

// One recorded frame on the 24-bit scale: 24-bit samples as they are, 16-bit samples × 256.
struct InputFrame {
  std::int32_t left;
  std::int32_t right;
};

// Frame `index` of a record buffer in the given resolution; the buffer must hold it.
inline InputFrame ReadInputFrame(std::span<const std::uint8_t> buffer, int bits,
                                 std::int32_t index) {
  if (bits == 16) {
    const std::uint8_t* p = buffer.data() + static_cast<std::size_t>(index) * 4;
    const auto sample = [](const std::uint8_t* b) {
      return static_cast<std::int32_t>(static_cast<std::int16_t>(b[0] | (b[1] << 8))) * 256;
    };
    return {sample(p), sample(p + 2)};
  }
  const std::uint8_t* p = buffer.data() + static_cast<std::size_t>(index) * 6;
  const auto sample = [](const std::uint8_t* b) {
    const std::uint32_t raw = b[0] | (b[1] << 8) | (static_cast<std::uint32_t>(b[2]) << 16);
    return static_cast<std::int32_t>(raw << 8) >> 8;  // sign-extend bit 23
  };
  return {sample(p), sample(p + 3)};
}

}  // namespace vireon
