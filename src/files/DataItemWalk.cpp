#include "files/DataItemWalk.h"

#include <cmath>

#include "record/NumericHelpers.h"

namespace vireon {

std::int32_t StorableColumns(const TDataMeas& record) {
  if (record.FNumPoints < 0) return 0;
  const auto points = static_cast<std::size_t>(record.FNumPoints);
  const int used = std::min(record.FNumFields, kMaxColumns);
  std::int32_t full = 0;
  while (full < used && record.FFields[static_cast<std::size_t>(full)].Values.size() >= points) {
    ++full;
  }
  return full;
}

bool StoresColumnInDb(const TDataMeas& record, int column) {
  return record.FPlotKind == 2 && column == 1;
}

DataArray LinearToStoredDb(std::span<const double> linear) {
  DataArray stored(linear.size());
  for (std::size_t i = 0; i < linear.size(); ++i) {
    stored[i] = 20.0 * std::log10(std::max(linear[i], 1e-20));
  }
  return stored;
}

void StoredDbToLinear(DataArray& values) {
  for (double& value : values) value = FromDb(value);
}

void FinishLoad(TDataMeas& record) {
  record.FChanged = 0;
  record.FDerived = 0;
  record.FComplete = 1;
  record.FAxisSignature = record.AxisSignature();
}

std::span<const double> SliceOrEmpty(const TDataMeas& record, std::int32_t slice) {
  if (slice < 0 || static_cast<std::size_t>(slice) >= record.FSlices.size()) return {};
  return record.FSlices[static_cast<std::size_t>(slice)];
}

}  // namespace vireon
