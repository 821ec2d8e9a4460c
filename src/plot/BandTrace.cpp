#include "plot/BandTrace.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "plot/FrequencyTrace.h"

namespace vireon {

TraceExtremes AddBandTrace(const TDataMeas& record, int column, const HorizontalAxis& axis,
                           const VerticalScale& scale, const PlotOptions& options, const Pen& pen,
                           std::vector<DisplayItem>& items) {
  if (column < 0 || column >= std::clamp(record.FNumFields, 0, kMaxColumns)) return {};
  const auto stored = std::min(record.FFields[0].Values.size(),
                               record.FFields[static_cast<std::size_t>(column)].Values.size());
  const auto n = static_cast<std::int32_t>(
      std::min<std::size_t>(static_cast<std::size_t>(std::max(record.FNumPoints, 0)), stored));
  if (n < 2) return {};
  const DataArray& centres = record.FFields[0].Values;
  if (!(centres[0] >= 0.001 && centres[0] <= centres[1])) return {};

  const double start = std::max({axis.start(), centres[0], 0.1});
  const double stop =
      std::min(std::max(start * 1.001, axis.stop()), centres[static_cast<std::size_t>(n - 1)]);
  const double half_step = std::sqrt(centres[1] / centres[0]);
  DisplayValueReader reader(record);
  CurveSampler sampler(scale);
  for (std::int32_t i = 0; i < n; ++i) {
    const double centre = centres[static_cast<std::size_t>(i)];
    if (centre * half_step < start) continue;
    if (centre / half_step > stop) break;
    const double value = reader.ValueAt(column, i);
    sampler.Add(axis.PixelOf(centre / half_step), value, i);
    sampler.Add(axis.PixelOf(centre * half_step), value, i);
  }
  std::vector<PixelPoint> points = sampler.Finish();
  if (points.size() < 2) return {};
  items.emplace_back(
      PolylineItem{{InkColor(options, pen.color), pen.width, pen.style}, std::move(points)});
  return sampler.Extremes();
}

}  // namespace vireon
