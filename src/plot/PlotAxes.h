#pragma once

#include <cstdint>

#include "record/DataObj.h"

namespace vireon {

// The horizontal mapping of a graph W pixels wide: frequency on a log or linear axis, or the
// sample times of a time record. Built from the record's view range, made drawable first: a
// log axis never starts below 0.1 or ends at its start, and no axis ends at or before its
// start (the range is widened instead).
class HorizontalAxis {
 public:
  enum class Kind : std::uint8_t { Log, Linear, Time };

  static HorizontalAxis ForRecord(const TDataMeas& record, int width);
  static HorizontalAxis Log(double start, double stop, int width);
  static HorizontalAxis Linear(double start, double stop, int width);
  // Sample i lies at first_time + i / sample_rate.
  static HorizontalAxis Time(double start, double stop, int width, double first_time,
                             std::int32_t sample_rate);

  Kind kind() const { return kind_; }
  double start() const { return start_; }
  double stop() const { return stop_; }
  int width() const { return width_; }
  double PixelsPerDecade() const;  // log axes only

  double Position(double x) const;              // unrounded pixel of an x value
  int PixelOf(double x) const;                  // rounded to the nearest pixel, ties to even
  int PixelOfSample(std::int32_t index) const;  // time axes: clamped below at -1
  double ValueAt(double pixel) const;           // the x value a pixel column stands for

 private:
  HorizontalAxis(Kind kind, double start, double stop, int width, double first_time,
                 std::int32_t sample_rate);
  Kind kind_;
  double start_;
  double stop_;
  int width_;
  double first_time_;
  std::int32_t sample_rate_;
};

// The vertical mapping of one curve in a graph H pixels high with `divisions` divisions: its
// reference value sits on its reference division line; dB curves map 20·log10|v|.
class VerticalScale {
 public:
  static VerticalScale ForCurve(const TFieldType& curve, std::int32_t divisions, int height);
  VerticalScale(double per_division, double offset, std::int32_t reference_division,
                std::int32_t divisions, int height, bool show_as_db);

  double DisplayValue(double value) const;  // dB of the magnitude for dB curves, else value
  double PositionOfDisplay(double display_value) const;  // unrounded pixel
  int PixelOf(double value) const;                       // rounded, clamped to the 32-bit range
  double DisplayValueAt(double pixel) const;             // inverse, in display units
  bool ShowsDb() const { return show_as_db_; }
  double ReferenceY() const { return reference_y_; }
  double PixelsPerUnit() const { return pixels_per_unit_; }

 private:
  double offset_;
  double reference_y_;
  double pixels_per_unit_;
  bool show_as_db_;
};

// The division count a graph uses: the record's, limited to 1..40.
std::int32_t DivisionCount(const TDataMeas& record);

// y of grid line i (0 = top) of a graph of `height` pixels.
int GridLineY(std::int32_t line, std::int32_t divisions, int height);

// Rounds to the nearest integer, ties to even, limited to the 32-bit range.
int RoundToPixel(double position);

}  // namespace vireon
