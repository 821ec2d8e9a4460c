#pragma once

namespace vireon {

// Puts 2^log2n points of both arrays from bit-reversed into natural order, in place.
void BitReversePermute(double* re, double* im, int log2n);

}  // namespace vireon
