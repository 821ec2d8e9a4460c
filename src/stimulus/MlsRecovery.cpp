#include "stimulus/MlsRecovery.h"

#include <algorithm>
#include <vector>

namespace vireon {

void FastHadamardTransform(std::span<double> values) {
  const std::size_t size = values.size();
  for (std::size_t stride = 1; stride < size; stride *= 2) {
    for (std::size_t block = 0; block < size; block += 2 * stride) {
      for (std::size_t j = block; j < block + stride; ++j) {
        const double a = values[j];
        const double b = values[j + stride];
        values[j] = a + b;
        values[j + stride] = a - b;
      }
    }
  }
}

bool RecoverMLSImpulse(std::span<double> samples, const MlsTables& tables, int sequence_order) {
  if (tables.order != sequence_order || tables.input_permutation.empty()) return false;
  const std::size_t period = tables.input_permutation.size();
  if (samples.size() < period) return false;
  const std::size_t size = period + 1;
  std::vector<double> work(size + 1, 0.0);
  for (std::size_t k = 0; k < period; ++k) work[tables.input_permutation[k]] = samples[k];
  FastHadamardTransform(std::span(work).first(size));
  const double scale = -1.0 / static_cast<double>(size);
  for (std::size_t k = 0; k < period; ++k) samples[k] = work[tables.output_permutation[k]] * scale;
  std::fill(samples.begin() + static_cast<std::ptrdiff_t>(period), samples.end(),
            samples[period - 1]);
  return true;
}

bool RecoverMLSImpulse(TDataMeas& record, int column, const MlsTables& tables, int sequence_order) {
  if (column < 0 || column >= record.FNumFields) return false;
  auto& values = record.FFields[static_cast<std::size_t>(column)].Values;
  const std::size_t points = std::min(values.size(), static_cast<std::size_t>(record.FNumPoints));
  return RecoverMLSImpulse(std::span(values).first(points), tables, sequence_order);
}

}  // namespace vireon
