#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "record/FASTtransforms.h"
#include "record/FftWindows.h"
#include "record/OctaveBands.h"
#include "record/TransferFunction.h"

namespace vireon {
namespace {

std::vector<double> Noise(std::size_t n, unsigned seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> gauss;
  std::vector<double> v(n);
  for (double& x : v) x = gauss(random);
  return v;
}

// Our complex forward transform in place on split arrays.
void BM_ComplexFFT(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<double> re = Noise(n, 1), im = Noise(n, 2);
  for (auto _ : state) {
    ComplexFFT(re, im);
    benchmark::DoNotOptimize(re.data());
    benchmark::DoNotOptimize(im.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ComplexFFT)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Arg(1 << 20);

// FFTW, double precision, the same complex forward transform with its best measured plan
// (interleaved complex, in place), as the reference for our own transform's speed.
void BM_FftwComplex(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  auto* data = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * n));
  const fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
  const std::vector<double> re = Noise(static_cast<std::size_t>(n), 1);
  const std::vector<double> im = Noise(static_cast<std::size_t>(n), 2);
  for (int k = 0; k < n; ++k) {
    data[k][0] = re[static_cast<std::size_t>(k)];
    data[k][1] = im[static_cast<std::size_t>(k)];
  }
  for (auto _ : state) {
    fftw_execute(plan);
    benchmark::DoNotOptimize(data);
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(plan);
  fftw_free(data);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FftwComplex)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Arg(1 << 20);

// FFTW on split arrays in place (the guru interface), the layout our transform works on.
void BM_FftwSplit(benchmark::State& state) {
  const auto n = static_cast<int>(state.range(0));
  auto* re = static_cast<double*>(fftw_malloc(sizeof(double) * n));
  auto* im = static_cast<double*>(fftw_malloc(sizeof(double) * n));
  fftw_iodim dim{n, 1, 1};
  // Swapping re and im in the split interface would give the inverse; this is forward.
  const fftw_plan plan =
      fftw_plan_guru_split_dft(1, &dim, 0, nullptr, re, im, re, im, FFTW_MEASURE);
  const std::vector<double> r0 = Noise(static_cast<std::size_t>(n), 1);
  const std::vector<double> i0 = Noise(static_cast<std::size_t>(n), 2);
  std::copy(r0.begin(), r0.end(), re);
  std::copy(i0.begin(), i0.end(), im);
  for (auto _ : state) {
    fftw_execute(plan);
    benchmark::DoNotOptimize(re);
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(plan);
  fftw_free(re);
  fftw_free(im);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FftwSplit)->Arg(1 << 10)->Arg(1 << 14)->Arg(1 << 16)->Arg(1 << 20);

TDataMeas TimeRecord(std::size_t n, int channels) {
  TDataMeas record;
  record.FDataType = 0;
  record.FSampleRate = 48000;
  record.FNumPoints = static_cast<std::int32_t>(n);
  record.FNumFields = channels;
  record.AllocColumns();
  for (int c = 0; c < channels; ++c)
    record.FFields[static_cast<std::size_t>(c)].Values = Noise(n, 3 + c);
  record.FWindowType = kHannWindow;
  return record;
}

// One averaged pass of the dual-channel transfer function on 65536-point frames.
void BM_TransferFunction65536(benchmark::State& state) {
  const TDataMeas source = TimeRecord(65536, 2);
  TDataMeas target;
  target.FAvgTarget = 1000000;
  AnalysisContext context;
  for (auto _ : state) {
    TransferFunction(target, source, true, context);
    benchmark::DoNotOptimize(target.FFields[1].Values.data());
  }
}
BENCHMARK(BM_TransferFunction65536)->Unit(benchmark::kMillisecond);

// 1/48-octave band levels of two channels of 65536 points.
void BM_OctaveBands48th65536(benchmark::State& state) {
  const TDataMeas source = TimeRecord(65536, 2);
  TDataMeas target;
  AnalysisContext context;
  for (auto _ : state) {
    OctaveBands(target, source, 0.499 * 48000, 20.0, 1.0 / 48, context);
    benchmark::DoNotOptimize(target.FFields[1].Values.data());
  }
}
BENCHMARK(BM_OctaveBands48th65536)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vireon
