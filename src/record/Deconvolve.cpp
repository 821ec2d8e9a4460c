#include "record/Deconvolve.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

enum class SpectralOperation { kDivide, kMultiply };

DataArray Combine(const DataArray& x, const DataArray& y, std::size_t length, std::size_t keep,
                  SpectralOperation operation) {
  DataArray xr(length, 0.0), yr(length, 0.0), xi, yi;
  std::copy_n(x.begin(), std::min(x.size(), length), xr.begin());
  std::copy_n(y.begin(), std::min(y.size(), length), yr.begin());
  ForwardFFT(xr, xi);
  ForwardFFT(yr, yi);
  for (std::size_t k = 0; k <= length / 2; ++k) {
    const std::complex<double> a(xr[k], xi[k]);
    const std::complex<double> b(yr[k], yi[k]);
    std::complex<double> r;
    if (operation == SpectralOperation::kMultiply) {
      r = a * b;
    } else {
      // Where the divisor has no energy there is nothing to recover: leave the bin empty.
      const double power = std::norm(b);
      r = power > 0 ? a * std::conj(b) / power : 0.0;
      if (!std::isfinite(r.real()) || !std::isfinite(r.imag())) r = 0.0;
    }
    xr[k] = r.real();
    xi[k] = r.imag();
    if (k > 0 && k < length - k) {
      xr[length - k] = r.real();
      xi[length - k] = -r.imag();
    }
  }
  xi[length / 2] = 0.0;
  xi[0] = 0.0;
  InverseFFT(xr, xi);
  xr.resize(keep);
  return xr;
}

void Apply(TDataMeas& x, const TDataMeas& y, SpectralOperation operation) {
  if (x.FDataType != kTimeDomain || y.FDataType != kTimeDomain) return;
  if (x.FSampleRate != y.FSampleRate || x.FNumPoints < 1 || y.FNumPoints < 1) return;
  const auto longest = static_cast<std::size_t>(std::max(x.FNumPoints, y.FNumPoints));
  const auto length = static_cast<std::size_t>(Pow2Ceil(static_cast<std::int64_t>(longest)));
  const bool divide = operation == SpectralOperation::kDivide;
  const bool two = x.FNumFields > 1 || y.FNumFields > 1;
  const DataArray& x1 = x.FFields[x.FNumFields > 1 ? 1 : 0].Values;
  const DataArray& y1 = y.FFields[y.FNumFields > 1 ? 1 : 0].Values;
  DataArray second = two ? Combine(x1, y1, length, longest, operation) : DataArray{};
  DataArray first = Combine(x.FFields[0].Values, y.FFields[0].Values, length, longest, operation);
  x.FNumPoints = static_cast<std::int32_t>(longest);
  x.FNumFields = two ? 2 : 1;
  x.AllocColumns();
  x.FFields[0].Values = std::move(first);
  x.FFields[0].Name = divide ? "DeConvolved Ch1" : "Convolved Ch1";
  x.FFields[0].InputKind = 9;
  if (two) {
    x.FFields[1].Values = std::move(second);
    x.FFields[1].Name = divide ? "DeConvolved Ch2" : "Convolved Ch2";
    x.FFields[1].InputKind = 9;
  }
  x.FDelayA = 0.0;
  x.FStartTime = 0.0;
  x.FEndX = x.FSampleRate > 0 ? static_cast<double>(longest - 1) / x.FSampleRate : 0.0;
  x.FWinStart = 0;
  x.FTraceA = 0;
  x.FChanged = 1;
}

}  // namespace

void Deconvolve(TDataMeas& numerator, const TDataMeas& divisor) {
  Apply(numerator, divisor, SpectralOperation::kDivide);
}

void Convolve(TDataMeas& record, const TDataMeas& other) {
  Apply(record, other, SpectralOperation::kMultiply);
}

}  // namespace vireon
