#include "plot/TimeTrace.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace vireon {
namespace {

struct SampleRange {
  std::int32_t first = 0;
  std::int32_t last = -1;  // inclusive
};

SampleRange Intersect(SampleRange a, SampleRange b) {
  return {std::max(a.first, b.first), std::min(a.last, b.last)};
}

// Samples from one left of those that round onto the first column (up to half a pixel left of
// the axis start) to one right of the axis stop.
SampleRange VisibleSamples(const TDataMeas& record, std::int32_t n, const HorizontalAxis& axis) {
  const double rate = record.FSampleRate > 0 ? record.FSampleRate : 1.0;
  // A range that is not a number shows the whole record.
  const auto index = [&](double position, double otherwise) {
    if (std::isnan(position)) position = otherwise;
    return static_cast<std::int32_t>(std::clamp(position, -1.0, static_cast<double>(n)));
  };
  return {std::max(index(std::floor((axis.ValueAt(-0.5) - record.FStartTime) * rate), 0) - 1, 0),
          std::min(index(std::ceil((axis.stop() - record.FStartTime) * rate), n) + 1, n - 1)};
}

// Feeds the samples of the range a pixel column at a time: the last sample of a column is
// estimated from the column's right edge and settled by the exact mapping, so the mapping
// runs a few times a column rather than once a sample.
void AddSamples(const HorizontalAxis& samples, const TDataMeas& record,
                std::span<const double> values, SampleRange range, CurveSampler& sampler) {
  const double rate = record.FSampleRate > 0 ? record.FSampleRate : 1.0;
  std::int32_t i = range.first;
  while (i <= range.last) {
    const int x = samples.PixelOfSample(i);
    double edge = (samples.ValueAt(x + 0.5) - record.FStartTime) * rate;
    if (std::isnan(edge)) edge = i;
    std::int32_t j = static_cast<std::int32_t>(
        std::floor(std::clamp(edge, static_cast<double>(i), static_cast<double>(range.last))));
    while (j > i && samples.PixelOfSample(j) != x) --j;
    while (j < range.last && samples.PixelOfSample(j + 1) == x) ++j;
    sampler.AddRun(
        x, values.subspan(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i + 1)), i);
    i = j + 1;
  }
}

void Merge(TraceExtremes& into, const TraceExtremes& from) {
  if (from.MaximumIndex >= 0 && (into.MaximumIndex < 0 || from.Maximum > into.Maximum)) {
    into.Maximum = from.Maximum;
    into.MaximumIndex = from.MaximumIndex;
  }
  if (from.MinimumIndex >= 0 && (into.MinimumIndex < 0 || from.Minimum < into.Minimum)) {
    into.Minimum = from.Minimum;
    into.MinimumIndex = from.MinimumIndex;
  }
}

}  // namespace

VerticalScale TimeTraceScale(const TFieldType& curve, std::int32_t divisions, int height) {
  const double per_division = curve.PerDiv < 1e-9 ? 1.0 : curve.PerDiv;
  return VerticalScale(per_division, curve.RefValue, curve.RefDiv, divisions, height,
                       curve.ShowAsDb != 0);
}

TraceExtremes AddTimeTrace(const TDataMeas& record, int column, TimeTraceRole role,
                           const HorizontalAxis& axis, const VerticalScale& scale,
                           const PlotOptions& options, const Pen& pen,
                           std::vector<DisplayItem>& items) {
  if (column < 0 || column >= std::clamp(record.FNumFields, 0, kMaxColumns)) return {};
  const DataArray& values = record.FFields[static_cast<std::size_t>(column)].Values;
  const auto n = static_cast<std::int32_t>(std::min<std::size_t>(
      static_cast<std::size_t>(std::max(record.FNumPoints, 0)), values.size()));
  if (n < 2) return {};
  // Samples are placed by this record's own timing, so an overlay of another rate lines up.
  const HorizontalAxis samples = HorizontalAxis::Time(axis.start(), axis.stop(), axis.width(),
                                                      record.FStartTime, record.FSampleRate);
  const SampleRange visible = VisibleSamples(record, n, axis);

  // Pieces of one colour; each after the first starts on the sample before it.
  struct Piece {
    SampleRange range;
    PlotColor color;
  };
  std::vector<Piece> pieces;
  const PlotColor ink = InkColor(options, pen.color);
  if (role == TimeTraceRole::TraceA && !options.LiveImpulse) {
    const PlotColor outside = InkColor(options, options.WindowExclusionColor);
    const std::int32_t start = std::clamp(std::min(record.FWinStart, record.FWinEnd), 0, n - 1);
    const std::int32_t end = std::clamp(std::max(record.FWinStart, record.FWinEnd), 0, n - 1);
    pieces = {{{0, start - 1}, outside}, {{start - 1, end}, ink}, {{end, n - 1}, outside}};
  } else {
    pieces = {{{0, n - 1}, ink}};
  }

  TraceExtremes extremes;
  for (const Piece& piece : pieces) {
    const SampleRange range = Intersect(piece.range, visible);
    if (range.last <= range.first) continue;
    CurveSampler sampler(scale);
    AddSamples(samples, record, std::span(values), range, sampler);
    std::vector<PixelPoint> points = sampler.Finish();
    if (points.size() < 2) continue;
    items.emplace_back(PolylineItem{{piece.color, pen.width, pen.style}, std::move(points)});
    Merge(extremes, sampler.Extremes());
  }
  return extremes;
}

}  // namespace vireon
