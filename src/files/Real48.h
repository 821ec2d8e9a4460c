#pragma once

#include <array>
#include <cstdint>

namespace vireon {

// The 6-byte real of older binary files: byte 0 the exponent biased by 129 (0 = the value 0),
// bytes 1 to 5 a 39-bit fraction, least significant byte first, with the sign in the top bit
// of byte 5. Value = ±2^(e-129)·(1 + f/2^39).
double DecodeReal48(const std::array<std::uint8_t, 6>& bytes);

}  // namespace vireon
