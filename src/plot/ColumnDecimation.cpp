#include "plot/ColumnDecimation.h"

#include <cmath>
#include <utility>

namespace vireon {

void ColumnDecimation::Add(PixelPoint point) {
  if (column_open_ && point.x == column_x_) {
    if (point.y < top_y_) top_y_ = point.y;
    if (point.y > bottom_y_) bottom_y_ = point.y;
    last_y_ = point.y;
    return;
  }
  CloseColumn();
  points_.push_back(point);
  column_open_ = true;
  column_x_ = point.x;
  top_y_ = bottom_y_ = last_y_ = point.y;
}

std::vector<PixelPoint> ColumnDecimation::Finish() {
  CloseColumn();
  column_open_ = false;
  return std::exchange(points_, {});
}

void ColumnDecimation::CloseColumn() {
  if (!column_open_) return;
  // Reaching first the extreme on the first y's side of the last y draws the same band
  // without retracing it.
  if (points_.back().y <= last_y_) {
    StrokeTo(top_y_);
    StrokeTo(bottom_y_);
  } else {
    StrokeTo(bottom_y_);
    StrokeTo(top_y_);
  }
  StrokeTo(last_y_);
}

void ColumnDecimation::StrokeTo(int y) {
  if (points_.back().y != y) points_.push_back({column_x_, y});
}

CurveSampler::CurveSampler(const VerticalScale& scale)
    // A dB scale draws 20·log10|v|: its order is the order of the magnitudes.
    : scale_(scale), by_magnitude_(scale.ShowsDb()) {}

void CurveSampler::Add(int x, double value, std::int32_t index) {
  const Sample sample{by_magnitude_ ? std::fabs(value) : value, value, index};
  if (!any_ || sample.key > overall_largest_.key) overall_largest_ = sample;
  if (!any_ || sample.key < overall_smallest_.key) overall_smallest_ = sample;
  any_ = true;
  if (column_open_ && x == column_x_) {
    if (sample.key > largest_.key) largest_ = sample;
    if (sample.key < smallest_.key) smallest_ = sample;
    last_ = sample;
    return;
  }
  CloseColumn();
  column_open_ = true;
  column_x_ = x;
  first_ = largest_ = smallest_ = last_ = sample;
}

void CurveSampler::AddRun(int x, std::span<const double> values, std::int32_t first_index) {
  if (values.empty()) return;
  Add(x, values[0], first_index);
  // The rest share the column: only the column's and the curve's extremes can change.
  for (std::size_t k = 1; k < values.size(); ++k) {
    const double value = values[k];
    const double key = by_magnitude_ ? std::fabs(value) : value;
    const std::int32_t index = first_index + static_cast<std::int32_t>(k);
    if (key > largest_.key) {
      largest_ = {key, value, index};
      if (key > overall_largest_.key) overall_largest_ = largest_;
    }
    if (key < smallest_.key) {
      smallest_ = {key, value, index};
      if (key < overall_smallest_.key) overall_smallest_ = smallest_;
    }
  }
  last_ = {by_magnitude_ ? std::fabs(values.back()) : values.back(), values.back(),
           first_index + static_cast<std::int32_t>(values.size() - 1)};
}

std::vector<PixelPoint> CurveSampler::Finish() {
  CloseColumn();
  column_open_ = false;
  return decimation_.Finish();
}

TraceExtremes CurveSampler::Extremes() const {
  if (!any_) return {};
  return {scale_.DisplayValue(overall_largest_.value), overall_largest_.index,
          scale_.DisplayValue(overall_smallest_.value), overall_smallest_.index};
}

void CurveSampler::CloseColumn() {
  if (!column_open_) return;
  for (const Sample* sample : {&first_, &largest_, &smallest_, &last_}) {
    decimation_.Add({column_x_, scale_.PixelOf(sample->value)});
  }
}

}  // namespace vireon
