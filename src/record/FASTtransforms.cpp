#include "record/FASTtransforms.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "record/FftBitReversal.h"
#include "record/FftTwiddles.h"

namespace vireon {
namespace {

namespace baseline {
#include "record/FftKernels.inc"
}  // namespace baseline

// The same stages built for AVX2 (by GCC), chosen at run time on processors that have it. Only the
// vector width differs: every lane does the same additions and multiplications in the same
// order (no contraction into fused multiply-adds), so the results are bit-identical.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VIREON_HAVE_AVX2_STAGES 1
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
#include "record/FftKernels.inc"
}  // namespace avx2
#pragma GCC pop_options
#endif

bool Transformable(std::span<double> re, std::span<double> im) {
  return re.size() == im.size() && std::has_single_bit(re.size());
}

bool UseAvx2Stages() {
#ifdef VIREON_HAVE_AVX2_STAGES
  static const bool has_avx2 = __builtin_cpu_supports("avx2");
  return has_avx2;
#else
  return false;
#endif
}

void TransformStages(double* re, double* im, int log2n, [[maybe_unused]] bool vector_stages) {
#ifdef VIREON_HAVE_AVX2_STAGES
  if (vector_stages) {
    avx2::TransformBlock(re, im, log2n);
    return;
  }
#endif
  baseline::TransformBlock(re, im, log2n);
}

void Transform(std::span<double> re, std::span<double> im, bool vector_stages) {
  if (!Transformable(re, im) || re.size() < 2) return;
  const int log2n = std::countr_zero(re.size());
  TransformStages(re.data(), im.data(), log2n, vector_stages);
  BitReversePermute(re.data(), im.data(), log2n);
}

void Scale(std::span<double> values, double factor) {
  for (double& v : values) v *= factor;
}

}  // namespace

void ComplexFFT(std::span<double> re, std::span<double> im) { Transform(re, im, UseAvx2Stages()); }

void ComplexFFTBaselineStages(std::span<double> re, std::span<double> im) {
  Transform(re, im, false);
}

void ForwardFFT(DataArray& re, DataArray& im) {
  im.assign(re.size(), 0.0);
  ComplexFFT(re, im);
}

void InverseComplexFFT(std::span<double> re, std::span<double> im) {
  if (!Transformable(re, im)) return;
  // Swapping the parts turns the forward kernel into the inverse one.
  ComplexFFT(im, re);
  const double factor = 1.0 / static_cast<double>(re.size());
  Scale(re, factor);
  Scale(im, factor);
}

void InverseFFT(std::span<double> re, std::span<double> im) {
  if (!Transformable(re, im)) return;
  ComplexFFT(im, re);
  Scale(re, 1.0 / static_cast<double>(re.size()));
  std::fill(im.begin(), im.end(), 0.0);
}

}  // namespace vireon
