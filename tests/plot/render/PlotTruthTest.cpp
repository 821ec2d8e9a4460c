// Plots of records with known responses, rendered to pictures and decoded pixel by pixel back
// into values. The mappings used to decode are written out here from their definitions, in
// long double, so that a fault in the drawing code's own mapping cannot hide itself.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <variant>
#include <vector>

#include "plot/AutoScale.h"
#include "plot/PlotPicture.h"
#include "plot/render/PlotImage.h"
#include "plot/render/QtTextMeasure.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

using Real = long double;
constexpr Real kPi = std::numbers::pi_v<Real>;
// Pixels: room for the double-precision mapping of the drawing code, nothing more.
constexpr Real kSlack = 1e-6L;

// The command line's default picture and an odd-sized one.
const QSize kSizes[] = {{703, 328}, {1021, 613}};

constexpr PlotColor kGridColor = 0x808080;
constexpr PlotColor kTraceA = 0xC03000;
constexpr PlotColor kTraceB = 0x00A000;
constexpr PlotColor kOverlayRed = 0x0000FF;
constexpr PlotColor kExcluded = PlotOptions{}.WindowExclusionColor;

// ---- The picture ----

bool HasColor(QRgb rgb, PlotColor color) {
  return static_cast<PlotColor>(qRed(rgb)) == (color & 0xFF) &&
         static_cast<PlotColor>(qGreen(rgb)) == ((color >> 8) & 0xFF) &&
         static_cast<PlotColor>(qBlue(rgb)) == ((color >> 16) & 0xFF);
}

// A rendered plot, where its graph sits and what the graph's display list holds (for its
// labels and for the shapes that share a trace's colour).
struct Rendered {
  QImage image;
  PixelRect graph;
  std::vector<DisplayItem> graph_items;

  int Width() const { return graph.width; }
  int Height() const { return graph.height; }
  bool Is(int x, int y, PlotColor color) const {
    return HasColor(image.pixel(graph.left + x, graph.top + y), color);
  }
  std::vector<int> RowsIn(int x, PlotColor color) const {
    std::vector<int> rows;
    for (int y = 0; y < Height(); ++y) {
      if (Is(x, y, color)) rows.push_back(y);
    }
    return rows;
  }
};

// The record drawn in colours that tell its traces apart from the grid, the labels and the
// white background.
Rendered Render(const TDataMeas& record, const PlotView& view, QSize size) {
  TDataMeas shown = record;
  shown.FColors[0] = 0xFFFFFF;
  shown.FColors[1] = kGridColor;
  shown.FColors[3] = kTraceA;
  shown.FColors[4] = kTraceB;
  const PlotOptions options;
  PlotLayout layout;
  const DisplayList picture = BuildPlotPicture(shown, view, options, QtTextMeasure(PlotFont()),
                                               size.width(), size.height(), &layout);
  Rendered rendered{
      RenderPlotImage(shown, view, options, size.width(), size.height()), layout.graph, {}};
  for (const DisplayLayer& layer : picture.layers) {
    if (layer.area == layout.graph) rendered.graph_items = layer.items;
  }
  return rendered;
}

std::string SizeText(QSize size) {
  return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

// ---- The mappings, from their definitions ----

// x = log10(f / start) · W / log10(stop / start) on a log axis, (x − start) · W / (stop − start)
// on linear and time axes.
struct XMap {
  bool log = false;
  Real start = 0;
  Real stop = 0;
  int width = 0;

  Real Position(Real x) const {
    return log ? std::log10(x / start) * width / std::log10(stop / start)
               : (x - start) * width / (stop - start);
  }
  Real ValueAt(Real column) const {
    return log ? start * std::pow(10.0L, column * std::log10(stop / start) / width)
               : start + column * (stop - start) / width;
  }
};

// y = e − p · (v + offset): p = (H − 1) / (N · per division) pixels per unit and
// e = (H − 1) / N · (N − reference division) the reference line; v in display units (dB for a
// curve shown in dB).
struct YMap {
  Real per_division = 1;
  Real offset = 0;
  int reference_division = 0;
  int divisions = 1;
  int height = 0;

  static YMap Of(const TFieldType& curve, int divisions, int height) {
    return {curve.PerDiv, curve.RefValue, curve.RefDiv, divisions, height};
  }
  Real PixelsPerUnit() const { return (height - 1) / (divisions * per_division); }
  Real ReferenceY() const {
    return static_cast<Real>(height - 1) / divisions * (divisions - reference_division);
  }
  Real Position(Real display) const { return ReferenceY() - PixelsPerUnit() * (display + offset); }
  Real ValueAt(Real row) const { return (ReferenceY() - row) / PixelsPerUnit() - offset; }
  Real HalfPixel() const { return 0.5L / PixelsPerUnit(); }
};

Real Db(Real magnitude) { return 20 * std::log10(magnitude); }

// (−180, 180]
Real WrapDegrees(Real phase) {
  Real wrapped = std::fmod(phase, 360.0L);
  if (wrapped > 180) wrapped -= 360;
  if (wrapped <= -180) wrapped += 360;
  return wrapped;
}

// ---- Closed forms ----

// Second-order Butterworth sections at fc.
Real ButterworthLowPass(Real f, Real fc) { return 1 / std::sqrt(1 + std::pow(f / fc, 4)); }
Real ButterworthHighPass(Real f, Real fc) {
  return std::pow(f / fc, 2) / std::sqrt(1 + std::pow(f / fc, 4));
}
Real ButterworthLowPassPhase(Real f, Real fc) {
  const Real u = f / fc;
  return -std::atan2(std::sqrt(2.0L) * u, 1 - u * u) * 180 / kPi;
}

// The cookbook peaking equaliser biquad at sample rate fs, evaluated on the unit circle.
Real PeakingMagnitude(Real f, Real fs, Real f0, Real q, Real gain_db) {
  const Real a = std::pow(10.0L, gain_db / 40);
  const Real w0 = 2 * kPi * f0 / fs;
  const Real alpha = std::sin(w0) / (2 * q);
  const std::complex<Real> z1 = std::polar(1.0L, -2 * kPi * f / fs);  // z^-1
  const std::complex<Real> z2 = z1 * z1;
  const Real c = -2 * std::cos(w0);
  const std::complex<Real> numerator = (1 + alpha * a) + c * z1 + (1 - alpha * a) * z2;
  const std::complex<Real> denominator = (1 + alpha / a) + c * z1 + (1 - alpha / a) * z2;
  return std::abs(numerator / denominator);
}

Real ResistorInductorImpedance(Real f, Real r, Real l) { return std::hypot(r, 2 * kPi * f * l); }

std::vector<double> LogSpaced(double from, double to, int count) {
  std::vector<double> x(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    x[static_cast<std::size_t>(i)] =
        static_cast<double>(from * std::pow(static_cast<Real>(to) / from, Real(i) / (count - 1)));
  }
  return x;
}

std::vector<double> Evaluate(const std::vector<double>& x, const std::function<Real(Real)>& f) {
  std::vector<double> values;
  values.reserve(x.size());
  for (const double v : x) values.push_back(static_cast<double>(f(v)));
  return values;
}

// ---- Truth, per pixel column ----

// The rows, unrounded, of the points that round onto one column.
struct Span {
  Real top = std::numeric_limits<Real>::infinity();
  Real bottom = -std::numeric_limits<Real>::infinity();
  bool Empty() const { return top > bottom; }
  void Add(Real y) {
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  void Add(const Span& other) {
    if (other.Empty()) return;
    Add(other.top);
    Add(other.bottom);
  }
};

// A point of the curve where it is drawn, unrounded.
struct TruthPoint {
  Real x = 0;
  Real y = 0;
};

// What a trace in `color` must show: every point the plot draws of it at its exact place, and
// the closed form's row at any x position.
struct TraceTruth {
  PlotColor color = 0;
  std::vector<TruthPoint> points;
  std::function<Real(Real)> row_at;
  YMap y_map;
  std::vector<PlotColor> drawn_above;  // colours painted later that may hide it
};

// The largest distance between a column's closest lit row and the closed form at the
// column's centre, in pixels and in the trace's display units.
struct Deviation {
  Real pixels = 0;
  Real value = 0;
  int columns = 0;  // columns checked
};

// Rectangles (one pixel wider all round) of the items in `color` that are not curves: the
// reference triangles and overlay symbols.
std::vector<PixelRect> ShapesOfColor(const std::vector<DisplayItem>& items, PlotColor color) {
  std::vector<PixelRect> shapes;
  const auto add = [&](const std::vector<PixelPoint>& points) {
    PixelPoint low = points.front();
    PixelPoint high = points.front();
    for (const PixelPoint& p : points) {
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    shapes.push_back({low.x - 1, low.y - 1, high.x - low.x + 3, high.y - low.y + 3});
  };
  for (const DisplayItem& item : items) {
    if (const auto* polygon = std::get_if<PolygonItem>(&item)) {
      if (polygon->pen.color == color || (polygon->filled && polygon->fill == color)) {
        add(polygon->points);
      }
    } else if (const auto* line = std::get_if<LineItem>(&item)) {
      if (line->pen.color == color) add({line->from, line->to});
    }
  }
  return shapes;
}

bool Inside(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}

// Checks every column the trace can be seen in against the truth: the lit rows cover the rows
// of all points on the column (a vertical stroke where the column holds many), reach no
// further than the points of the neighbouring columns (the lines joining them), and one of
// them is within half a pixel of the closed form at the column's centre. Columns where the
// curve leaves the graph, or something else may cover it, are left out.
Deviation ExpectTraceFollowsTruth(const Rendered& picture, const TraceTruth& truth) {
  const int width = picture.Width();
  const int height = picture.Height();
  // Per column −1 .. W: points certainly on it, and points that may round either way.
  std::vector<Span> sure(static_cast<std::size_t>(width + 2));
  std::vector<Span> maybe(static_cast<std::size_t>(width + 2));
  for (const TruthPoint& p : truth.points) {
    const Real nearest = std::round(p.x);
    const bool tie = std::fabs(std::fabs(p.x - std::floor(p.x)) - 0.5L) < kSlack;
    for (const Real column : {std::floor(p.x), std::floor(p.x) + 1}) {
      if (column < -1 || column > width) continue;
      const auto slot = static_cast<std::size_t>(column + 1);
      if (tie) {
        maybe[slot].Add(p.y);
      } else if (column == nearest) {
        sure[slot].Add(p.y);
      }
    }
  }
  const std::vector<PixelRect> shapes = ShapesOfColor(picture.graph_items, truth.color);

  Deviation deviation;
  std::vector<std::string> faults;
  for (int x = 0; x < width; ++x) {
    const Span& own = sure[static_cast<std::size_t>(x + 1)];
    if (own.Empty()) continue;
    Span reach;
    for (int c = x; c <= x + 2; ++c) {
      reach.Add(sure[static_cast<std::size_t>(c)]);
      reach.Add(maybe[static_cast<std::size_t>(c)]);
    }
    if (reach.top < -0.5L || reach.bottom > height - 0.5L) continue;  // clipped at an edge
    const int from = static_cast<int>(std::floor(reach.top)) - 2;
    const int to = static_cast<int>(std::ceil(reach.bottom)) + 2;
    bool covered = false;
    for (int y = std::max(from, 0); y <= std::min(to, height - 1) && !covered; ++y) {
      for (const PlotColor above : truth.drawn_above) covered |= picture.Is(x, y, above);
      for (const PixelRect& shape : shapes) covered |= Inside(shape, x, y);
    }
    if (covered) continue;

    ++deviation.columns;
    std::vector<int> rows = picture.RowsIn(x, truth.color);
    std::erase_if(rows, [&](int y) {
      return std::any_of(shapes.begin(), shapes.end(),
                         [&](const PixelRect& shape) { return Inside(shape, x, y); });
    });
    const std::string where = "column " + std::to_string(x) + ": ";
    if (rows.empty()) {
      faults.push_back(where + "nothing drawn");
      continue;
    }
    if (rows.front() > own.top + 0.5L + kSlack || rows.back() < own.bottom - 0.5L - kSlack) {
      faults.push_back(where + "rows " + std::to_string(rows.front()) + ".." +
                       std::to_string(rows.back()) + " miss points at " +
                       std::to_string(static_cast<double>(own.top)) + ".." +
                       std::to_string(static_cast<double>(own.bottom)));
    }
    if (rows.front() < reach.top - 0.5L - kSlack || rows.back() > reach.bottom + 0.5L + kSlack) {
      faults.push_back(where + "rows " + std::to_string(rows.front()) + ".." +
                       std::to_string(rows.back()) + " stray beyond " +
                       std::to_string(static_cast<double>(reach.top)) + ".." +
                       std::to_string(static_cast<double>(reach.bottom)));
    }
    // Where the curve jumps between two points (a wrapping phase), the closed form at the
    // centre may lie beyond every point of the column: no pixel stands for it.
    const Real expected = truth.row_at(x);
    if (expected < own.top - 0.5L || expected > own.bottom + 0.5L) continue;
    Real nearest = std::numeric_limits<Real>::infinity();
    for (const int y : rows) nearest = std::min(nearest, std::fabs(y - expected));
    if (nearest > 0.5L + kSlack) {
      faults.push_back(where + "closest row is " + std::to_string(static_cast<double>(nearest)) +
                       " px from the curve");
    }
    deviation.pixels = std::max(deviation.pixels, nearest);
  }
  deviation.value = deviation.pixels / truth.y_map.PixelsPerUnit();
  std::string first_faults;
  for (std::size_t i = 0; i < std::min<std::size_t>(faults.size(), 6); ++i) {
    first_faults += "\n  " + faults[i];
  }
  EXPECT_TRUE(faults.empty()) << faults.size() << " faults in " << deviation.columns
                              << " columns:" << first_faults;
  return deviation;
}

void Report(const std::string& what, QSize size, const Deviation& deviation) {
  ::testing::Test::RecordProperty(what + "_" + SizeText(size),
                                  std::to_string(static_cast<double>(deviation.pixels)) + " px, " +
                                      std::to_string(static_cast<double>(deviation.value)) +
                                      " units, " + std::to_string(deviation.columns) + " columns");
}

// The rows the trace lights in the column of x, decoded into display values.
std::vector<Real> DecodedAt(const Rendered& picture, const XMap& x_map, const YMap& y_map,
                            PlotColor color, Real x) {
  std::vector<Real> values;
  const int column = static_cast<int>(std::lround(x_map.Position(x)));
  for (const int y : picture.RowsIn(column, color)) values.push_back(y_map.ValueAt(y));
  return values;
}

// Whether one of the decoded values lies within half a pixel of what the closed form takes
// across the column of x.
void ExpectDecodedNear(const std::vector<Real>& decoded, const XMap& x_map, const YMap& y_map,
                       Real x, const std::function<Real(Real)>& display) {
  const Real column = std::round(x_map.Position(x));
  const Real a = display(x_map.ValueAt(column - 0.5L));
  const Real b = display(x_map.ValueAt(column + 0.5L));
  const Real low = std::min(a, b) - y_map.HalfPixel();
  const Real high = std::max(a, b) + y_map.HalfPixel();
  const bool found =
      std::any_of(decoded.begin(), decoded.end(), [&](Real v) { return v >= low && v <= high; });
  std::string shown;
  for (const Real v : decoded) shown += std::to_string(static_cast<double>(v)) + " ";
  EXPECT_TRUE(found) << "at x = " << static_cast<double>(x) << " decoded " << shown << "expected "
                     << static_cast<double>(low) << ".." << static_cast<double>(high);
}

// ---- Records ----

constexpr double kCutoff = 1000.0;
constexpr double kPhaseDelay = 1e-3;  // a whole period at the cut-off: −90° stays −90°

// A Butterworth low-pass measured from 10 Hz to 24 kHz at 48 kHz: magnitude (curve 1, in dB)
// and phase (curve 2, with a 1 ms delay wrapped to ±180°) on a 20 Hz .. 20 kHz log axis.
TDataMeas ButterworthRecord() {
  const std::vector<double> x = LogSpaced(10.0, 24000.0, 6000);
  TDataMeas record = fixtures::FrequencyRecord(
      kFrequencyResponse, x,
      {Evaluate(x, [](Real f) { return ButterworthLowPass(f, kCutoff); }),
       Evaluate(x, [](Real f) { return ButterworthLowPassPhase(f, kCutoff); })});
  record.FSampleRate = 48000;
  record.FBinWidth[0] = x.front();
  record.FLogX = 1;
  record.FViewStart = 20.0;
  record.FViewStop = 20000.0;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FDelayA = kPhaseDelay;
  TFieldType& magnitude = record.FFields[1];
  magnitude.Units = "dB";
  magnitude.ShowAsDb = 1;
  TFieldType& phase = record.FFields[2];
  phase.Units = "deg";
  phase.WrapPhase = 1;
  phase.PerDiv = 36.0;
  phase.RefDiv = 5;
  phase.RefValue = 0.0;
  return record;
}

XMap XMapOf(const TDataMeas& record, int width) {
  return {record.FLogX != 0, record.FViewStart, record.FViewStop, width};
}

YMap YMapOf(const TDataMeas& record, int column, int height) {
  return YMap::Of(record.FFields[static_cast<std::size_t>(column)], record.FNumDivisions, height);
}

// The points of a frequency-like curve the plot draws: from the minimum usable x to the point
// nearest the lesser of the axis stop and the top of the band less 1 Hz.
TraceTruth FrequencyTruth(const TDataMeas& record, const XMap& x_map, const YMap& y_map,
                          PlotColor color, const std::function<Real(Real)>& display) {
  const std::vector<double>& x = record.FFields[0].Values;
  const Real band_top = record.FSampleRate > 0 ? record.FSampleRate * kNyquistFactor - 1.0L
                                               : std::numeric_limits<Real>::infinity();
  const Real end = std::min<Real>(x_map.stop, band_top);
  std::size_t last = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (std::fabs(x[i] - end) < std::fabs(x[last] - end)) last = i;
  }
  TraceTruth truth{color, {}, {}, y_map, {}};
  for (std::size_t i = 0; i <= last; ++i) {
    if (x[i] < record.FBinWidth[0] - 0.001) continue;
    truth.points.push_back({x_map.Position(x[i]), y_map.Position(display(x[i]))});
  }
  truth.row_at = [=](Real column) { return y_map.Position(display(x_map.ValueAt(column))); };
  return truth;
}

// ---- Frequency responses on a log axis ----

// The magnitude auto-scaled (5 dB a division, the knee and the first octaves above it) and
// hand-set to 10 dB a division (10 dB .. −80 dB, down to the top of the band).
TEST(PlotTruthLogAxis, ButterworthMagnitudeAndWrappedPhaseMatchTheirClosedForms) {
  const auto magnitude_db = [](Real f) { return Db(ButterworthLowPass(f, kCutoff)); };
  const auto phase = [](Real f) {
    return WrapDegrees(ButterworthLowPassPhase(f, kCutoff) - 360 * f * kPhaseDelay);
  };
  // −3.01 dB and −90° at the cut-off; from 2 kHz to 20 kHz, one decade, the magnitude falls by
  // 39.74 dB (−40 dB/decade less the knee's remainder).
  EXPECT_NEAR(static_cast<double>(magnitude_db(kCutoff)), -3.0103, 1e-4);
  EXPECT_NEAR(static_cast<double>(phase(kCutoff)), -90.0, 1e-9);
  EXPECT_NEAR(static_cast<double>(magnitude_db(20000) - magnitude_db(2000)), -39.74, 0.01);

  for (const bool automatic : {true, false}) {
    TDataMeas record = ButterworthRecord();
    if (automatic) {
      AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
    } else {
      record.FFields[1].PerDiv = 10.0;
      record.FFields[1].RefDiv = 9;
      record.FFields[1].RefValue = -10.0;
    }
    for (const QSize size : kSizes) {
      SCOPED_TRACE(SizeText(size) + (automatic ? " auto-scaled" : " hand-set"));
      const std::string name = automatic ? "auto" : "hand";
      const Rendered picture = Render(record, PlotView{}, size);
      const XMap x_map = XMapOf(record, picture.Width());
      const YMap a_map = YMapOf(record, 1, picture.Height());
      const YMap b_map = YMapOf(record, 2, picture.Height());

      const TraceTruth a = FrequencyTruth(record, x_map, a_map, kTraceA, magnitude_db);
      const Deviation a_deviation = ExpectTraceFollowsTruth(picture, a);
      EXPECT_GT(a_deviation.columns, picture.Width() * (automatic ? 2 : 9) / 10);
      Report("magnitude_" + name, size, a_deviation);

      TraceTruth b = FrequencyTruth(record, x_map, b_map, kTraceB, phase);
      b.drawn_above = {kTraceA};
      const Deviation b_deviation = ExpectTraceFollowsTruth(picture, b);
      EXPECT_GT(b_deviation.columns, picture.Width() / 2);
      Report("phase_" + name, size, b_deviation);

      ExpectDecodedNear(DecodedAt(picture, x_map, b_map, kTraceB, kCutoff), x_map, b_map, kCutoff,
                        phase);
      for (const Real f : {1000.0L, 2000.0L, 19000.0L}) {
        if (automatic && f > 5000) continue;  // below the graph
        ExpectDecodedNear(DecodedAt(picture, x_map, a_map, kTraceA, f), x_map, a_map, f,
                          magnitude_db);
      }
    }
  }
}

TEST(PlotTruthLogAxis, ImpedanceOfResistorAndInductorMatchesItsModulus) {
  constexpr Real kResistance = 6.2;
  constexpr Real kInductance = 0.5e-3;
  const auto modulus = [](Real f) {
    return ResistorInductorImpedance(f, kResistance, kInductance);
  };
  const std::vector<double> x = LogSpaced(10.0, 24000.0, 5000);
  TDataMeas record = fixtures::FrequencyRecord(kImpedance, x, {Evaluate(x, modulus)});
  record.FSampleRate = 48000;
  record.FBinWidth[0] = x.front();
  record.FLogX = 1;
  record.FViewStart = 20.0;
  record.FViewStop = 20000.0;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  record.FFields[1].Units = "Ohm";
  AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const XMap x_map = XMapOf(record, picture.Width());
    const YMap y_map = YMapOf(record, 1, picture.Height());
    const Deviation deviation =
        ExpectTraceFollowsTruth(picture, FrequencyTruth(record, x_map, y_map, kTraceA, modulus));
    EXPECT_GT(deviation.columns, picture.Width() * 9 / 10);
    Report("impedance", size, deviation);
    // R alone at the bottom of the band, the inductor's reactance dominating at its top.
    for (const Real f : {20.0L, 1000.0L, 19000.0L}) {
      ExpectDecodedNear(DecodedAt(picture, x_map, y_map, kTraceA, f), x_map, y_map, f, modulus);
    }
  }
}

// A second record drawn over the first takes the shown record's axis and trace A scale, not
// its own, in its style's colour.
TEST(PlotTruthLogAxis, OverlayIsDrawnWithTheShownRecordsScaleInItsColour) {
  TDataMeas shown = ButterworthRecord();
  shown.FTraceB = -1;
  shown.FOverlayFlag1 = 1;
  shown.FOverlayFlag2 = 1;
  AutoScale(shown, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});

  const std::vector<double> x = LogSpaced(5.0, 22000.0, 4321);
  MatchedOverlay overlay{fixtures::FrequencyRecord(
                             kFrequencyResponse, x,
                             {Evaluate(x, [](Real f) { return ButterworthHighPass(f, kCutoff); })}),
                         1, 0, OverlayStyle{kOverlayRed, 0}, "  high-pass:  <no description>"};
  TDataMeas& other = overlay.record;
  other.FSampleRate = 44100;
  other.FBinWidth[0] = x.front();
  other.FViewStart = 100.0;  // its own range and scale must not be used
  other.FViewStop = 1000.0;
  other.FNumDivisions = 4;
  other.FTraceA = 1;
  other.FFields[1].PerDiv = 1.0;
  other.FFields[1].RefValue = 50.0;
  const std::vector<MatchedOverlay> overlays = {overlay};
  PlotView view;
  view.overlays = overlays;

  const auto high_pass_db = [](Real f) { return Db(ButterworthHighPass(f, kCutoff)); };
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(shown, view, size);
    const XMap x_map = XMapOf(shown, picture.Width());
    const YMap y_map = YMapOf(shown, 1, picture.Height());
    TraceTruth truth = FrequencyTruth(other, x_map, y_map, kOverlayRed, high_pass_db);
    truth.drawn_above = {kTraceA};
    const Deviation deviation = ExpectTraceFollowsTruth(picture, truth);
    EXPECT_GT(deviation.columns, picture.Width() / 2);
    Report("overlay", size, deviation);
    ExpectDecodedNear(DecodedAt(picture, x_map, y_map, kOverlayRed, 5000), x_map, y_map, 5000,
                      high_pass_db);
  }
}

// ---- A linear axis ----

TEST(PlotTruthLinearAxis, PeakingFilterOverFftBinsMatchesItsBiquad) {
  constexpr Real kRate = 48000;
  constexpr int kBins = 32769;  // of a 65536-point transform
  const auto peak_db = [](Real f) { return Db(PeakingMagnitude(f, kRate, 5000, 2, 12)); };
  std::vector<double> x(kBins);
  for (int k = 0; k < kBins; ++k) x[static_cast<std::size_t>(k)] = k * (48000.0 / 65536.0);
  TDataMeas record = fixtures::FrequencyRecord(
      kFrequencyResponse, x,
      {Evaluate(x, [](Real f) { return PeakingMagnitude(f, kRate, 5000, 2, 12); })});
  record.FSampleRate = 48000;
  record.FBinWidth[0] = x[1];
  record.FLogX = 0;
  record.FViewStart = 0.0;
  record.FViewStop = 24000.0;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  TFieldType& curve = record.FFields[1];
  curve.Units = "dB";
  curve.ShowAsDb = 1;
  curve.PerDiv = 2.0;  // 14 dB on the first line below the top, −4 dB at the bottom
  curve.RefDiv = 9;
  curve.RefValue = -14.0;
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const XMap x_map = XMapOf(record, picture.Width());
    const YMap y_map = YMapOf(record, 1, picture.Height());
    const Deviation deviation =
        ExpectTraceFollowsTruth(picture, FrequencyTruth(record, x_map, y_map, kTraceA, peak_db));
    EXPECT_GT(deviation.columns, picture.Width() * 9 / 10);
    Report("peak", size, deviation);
    // +12 dB at the centre, the ends of the band flat at 0 dB.
    ExpectDecodedNear(DecodedAt(picture, x_map, y_map, kTraceA, 5000), x_map, y_map, 5000, peak_db);
    EXPECT_NEAR(static_cast<double>(peak_db(5000)), 12.0, 1e-9);
    ExpectDecodedNear(DecodedAt(picture, x_map, y_map, kTraceA, 100), x_map, y_map, 100, peak_db);
  }
}

// ---- A time record ----

TEST(PlotTruthTime, DecayingSineInsideTheWindowInTraceColourOutsideInExclusionColour) {
  constexpr std::int32_t kRate = 48000;
  constexpr Real kStart = -0.01L;  // 10 ms before the impulse
  constexpr int kSamples = 4800;
  constexpr std::int32_t kWindowStart = 960;  // 10 ms .. 50 ms after it
  constexpr std::int32_t kWindowEnd = 2880;
  const auto sample_time = [&](int i) { return kStart + Real(i) / kRate; };
  const auto signal = [](Real t) {
    return t < 0 ? 0.0L : std::exp(-t / 0.02L) * std::sin(2 * kPi * 200 * t);
  };
  std::vector<double> values(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    values[static_cast<std::size_t>(i)] = static_cast<double>(signal(sample_time(i)));
  }
  TDataMeas record = fixtures::TimeRecord(kRate, static_cast<double>(kStart), {values});
  record.FViewStart = -0.01;
  record.FViewStop = 0.09;
  record.FNumDivisions = 8;
  record.FTraceA = 0;
  record.FWinStart = kWindowStart;
  record.FWinEnd = kWindowEnd;
  TFieldType& curve = record.FFields[0];
  curve.Units = "V";
  curve.PerDiv = 0.25;  // ±1 V over the full height
  curve.RefDiv = 4;
  curve.RefValue = 0.0;

  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const XMap x_map{false, record.FViewStart, record.FViewStop, picture.Width()};
    const YMap y_map = YMapOf(record, 0, picture.Height());
    const auto row_at = [&](Real column) { return y_map.Position(signal(x_map.ValueAt(column))); };
    // The window's line starts on the sample before it, so that it joins what lies left of it.
    TraceTruth inside{kTraceA, {}, row_at, y_map, {kExcluded}};
    TraceTruth outside{kExcluded, {}, row_at, y_map, {kTraceA}};
    for (int i = 0; i < kSamples; ++i) {
      const TruthPoint point{x_map.Position(sample_time(i)),
                             y_map.Position(values[static_cast<std::size_t>(i)])};
      if (i >= kWindowStart - 1 && i <= kWindowEnd) inside.points.push_back(point);
      if (i <= kWindowStart - 1 || i >= kWindowEnd) outside.points.push_back(point);
    }
    const Deviation inside_deviation = ExpectTraceFollowsTruth(picture, inside);
    const Deviation outside_deviation = ExpectTraceFollowsTruth(picture, outside);
    EXPECT_GT(inside_deviation.columns, picture.Width() / 3);
    EXPECT_GT(outside_deviation.columns, picture.Width() / 2);
    Report("time_inside", size, inside_deviation);
    Report("time_outside", size, outside_deviation);

    // No colour strays to the other side of the window's edges (a pixel either way of an edge
    // sample's column is left to rounding).
    const int first = static_cast<int>(std::round(x_map.Position(sample_time(kWindowStart - 1))));
    const int last = static_cast<int>(std::round(x_map.Position(sample_time(kWindowEnd))));
    const std::vector<PixelRect> triangle = ShapesOfColor(picture.graph_items, kTraceA);
    for (int x = 0; x < picture.Width(); ++x) {
      for (int y = 0; y < picture.Height(); ++y) {
        const bool in_triangle = std::any_of(triangle.begin(), triangle.end(),
                                             [&](const PixelRect& r) { return Inside(r, x, y); });
        if (!in_triangle && (x < first - 1 || x > last + 1)) {
          ASSERT_FALSE(picture.Is(x, y, kTraceA)) << "trace colour outside at " << x << "," << y;
        }
        if (x > first + 1 && x < last - 1) {
          ASSERT_FALSE(picture.Is(x, y, kExcluded))
              << "exclusion colour inside at " << x << "," << y;
        }
      }
    }
  }
}

// A single sample off a long, flat record still reaches its row, whether it is the first, a
// middle or the last sample of its column and whether it rises or falls by one pixel or by
// forty: the column is drawn as a stroke out to it.
TEST(PlotTruthTime, OneSampleSpikeInALongRecordReachesItsRow) {
  constexpr std::int32_t kRate = 48000;
  constexpr std::size_t kSamples = 480000;  // 10 s, about 700 samples a column
  enum Place { First, Middle, Last };
  struct Spike {
    int column;
    Place place;
    int pixels;  // above the zero line
  };
  std::vector<Spike> spikes;
  for (const Place place : {First, Middle, Last}) {
    for (const int pixels : {1, -1, 40, -40}) {
      spikes.push_back({50 + 50 * static_cast<int>(spikes.size()), place, pixels});
    }
  }
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const PixelRect graph = LayOutPlot({size.width(), size.height()}).graph;
    const XMap x_map{false, 0.0L, 10.0L, graph.width};
    const YMap y_map{0.25L, 0.0L, 4, 8, graph.height};
    const auto column_of = [&](std::size_t i) {
      return std::lround(x_map.Position(static_cast<Real>(i) / kRate));
    };
    // Rows round half to even; spikes sit on whole rows above wherever zero lands.
    const long zero_row = std::lrint(y_map.Position(0.0L));
    std::vector<double> values(kSamples, 0.0);
    std::vector<std::size_t> indices;
    for (const Spike& spike : spikes) {
      std::size_t first = 0;
      while (column_of(first) < spike.column) ++first;
      std::size_t last = first;
      while (column_of(last + 1) == spike.column) ++last;
      const std::size_t i = spike.place == First  ? first
                            : spike.place == Last ? last
                                                  : (first + last) / 2;
      values[i] = static_cast<double>(y_map.ValueAt(zero_row - spike.pixels));
      indices.push_back(i);
    }
    TDataMeas record = fixtures::TimeRecord(kRate, 0.0, {values});
    record.FViewStart = 0.0;
    record.FViewStop = 10.0;
    record.FNumDivisions = 8;
    record.FTraceA = 0;
    record.FWinEnd = static_cast<std::int32_t>(kSamples) - 1;
    record.FFields[0].PerDiv = 0.25;
    record.FFields[0].RefDiv = 4;

    const Rendered picture = Render(record, PlotView{}, size);
    ASSERT_EQ(picture.graph, graph);
    for (std::size_t k = 0; k < indices.size(); ++k) {
      const std::vector<int> rows = picture.RowsIn(spikes[k].column, kTraceA);
      const long spike_row = zero_row - spikes[k].pixels;
      ASSERT_FALSE(rows.empty()) << "column " << spikes[k].column;
      EXPECT_EQ(rows.front(), std::min(spike_row, zero_row)) << "column " << spikes[k].column;
      EXPECT_EQ(rows.back(), std::max(spike_row, zero_row)) << "column " << spikes[k].column;
    }
  }
}

// The first column shows every point that rounds onto it, also those up to half a pixel left of
// the axis start: a one-point peak there survives on time and on frequency axes alike.
TEST(PlotTruthEdges, FirstColumnKeepsThePointsHalfAPixelLeftOfTheStart) {
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const PixelRect graph = LayOutPlot({size.width(), size.height()}).graph;
    // ±1 over the height, referred to the top edge so that no reference triangle covers the
    // first column.
    const YMap y_map{0.25L, -1.0L, 8, 8, graph.height};
    const long zero_row = std::lrint(y_map.Position(0.0L));
    const double peak = static_cast<double>(y_map.ValueAt(zero_row - 20));
    const auto scaled = [](TDataMeas record, int column) {
      record.FNumDivisions = 8;
      record.FTraceA = column;
      record.FWinEnd = record.FNumPoints - 1;
      TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
      curve.PerDiv = 0.25;
      curve.RefDiv = 8;
      curve.RefValue = -1.0;
      return record;
    };

    // 10 s at 48 kHz seen from 1 s to 9 s; 0.1 Hz steps up to 2 kHz seen from 100 to 1100 Hz.
    const XMap time_axis{false, 1.0L, 9.0L, graph.width};
    const auto sample = static_cast<std::size_t>(std::lround(time_axis.ValueAt(-0.3L) * 48000));
    std::vector<double> samples(480000, 0.0);
    samples[sample] = peak;
    TDataMeas time = scaled(fixtures::TimeRecord(48000, 0.0, {samples}), 0);
    time.FViewStart = 1.0;
    time.FViewStop = 9.0;

    const XMap frequency_axis{false, 100.0L, 1100.0L, graph.width};
    std::vector<double> x(20001);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i) / 10;
    const auto point = static_cast<std::size_t>(std::lround(frequency_axis.ValueAt(-0.3L) * 10));
    std::vector<double> values(x.size(), 0.0);
    values[point] = peak;
    TDataMeas frequency = scaled(fixtures::FrequencyRecord(kFrequencyResponse, x, {values}), 1);
    frequency.FBinWidth[0] = x[1];
    frequency.FViewStart = 100.0;
    frequency.FViewStop = 1100.0;

    struct Case {
      const char* what;
      const TDataMeas& record;
      Real peak_position;
    };
    for (const Case& c : {Case{"time", time, time_axis.Position(static_cast<Real>(sample) / 48000)},
                          Case{"frequency", frequency, frequency_axis.Position(x[point])}}) {
      SCOPED_TRACE(c.what);
      ASSERT_GT(c.peak_position, -0.5L);
      ASSERT_LT(c.peak_position, -0.1L);
      const Rendered picture = Render(c.record, PlotView{}, size);
      const std::vector<int> rows = picture.RowsIn(0, kTraceA);
      ASSERT_FALSE(rows.empty());
      EXPECT_EQ(rows.front(), zero_row - 20);
      EXPECT_EQ(rows.back(), zero_row);
    }
  }
}

// ---- RTA bands ----

TEST(PlotTruthBands, ThirdOctaveBandsStepAtTheirLevelsBetweenTheirEdges) {
  std::vector<double> centres;
  std::vector<Real> levels;
  for (int k = -17; k <= 13; ++k) {
    centres.push_back(static_cast<double>(1000 * std::pow(2.0L, k / 3.0L)));
    levels.push_back(70 + 12 * std::sin(0.7L * k));  // 58 .. 82 dB, neighbours differ
  }
  std::vector<double> magnitudes;
  for (const Real level : levels) {
    magnitudes.push_back(static_cast<double>(std::pow(10.0L, level / 20)));
  }
  TDataMeas record = fixtures::FrequencyRecord(kRtaBands, centres, {magnitudes});
  record.FBinWidth[0] = centres.front();
  record.FLogX = 1;
  record.FViewStart = 20.0;
  record.FViewStop = 20000.0;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  TFieldType& curve = record.FFields[1];
  curve.Units = "dB";
  curve.ShowAsDb = 1;
  curve.PerDiv = 5.0;  // 85 dB on the first line below the top, 40 dB at the bottom
  curve.RefDiv = 9;
  curve.RefValue = -85.0;
  const Real half_band = std::pow(2.0L, 1.0L / 6);  // √ of the ratio of neighbouring centres

  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const XMap x_map = XMapOf(record, picture.Width());
    const YMap y_map = YMapOf(record, 1, picture.Height());
    const std::vector<PixelRect> triangle = ShapesOfColor(picture.graph_items, kTraceA);
    Deviation deviation;
    for (std::size_t k = 0; k < centres.size(); ++k) {
      SCOPED_TRACE("band at " + std::to_string(centres[k]) + " Hz");
      const Real low_edge = x_map.Position(centres[k] / half_band);
      const Real high_edge = x_map.Position(centres[k] * half_band);
      const Real row = y_map.Position(levels[k]);
      // Between its edges a band is one horizontal run at its level.
      for (int x = std::max(0, static_cast<int>(std::ceil(low_edge + 0.5L + kSlack)));
           x < std::min<Real>(picture.Width(), high_edge - 0.5L - kSlack); ++x) {
        if (std::any_of(triangle.begin(), triangle.end(),
                        [&](const PixelRect& r) { return x >= r.left && x < r.left + r.width; })) {
          continue;
        }
        const std::vector<int> rows = picture.RowsIn(x, kTraceA);
        ASSERT_EQ(rows.size(), 1u) << "column " << x;
        EXPECT_LE(std::fabs(rows[0] - row), 0.5L + kSlack) << "column " << x;
        deviation.pixels = std::max(deviation.pixels, std::fabs(rows[0] - row));
        ++deviation.columns;
      }
      // At its upper edge the step to the next band's level is one vertical stroke.
      if (k + 1 == centres.size() || high_edge > picture.Width() - 0.5L) continue;
      const int edge = static_cast<int>(std::lround(high_edge));
      const Real next_row = y_map.Position(levels[k + 1]);
      const std::vector<int> rows = picture.RowsIn(edge, kTraceA);
      ASSERT_FALSE(rows.empty()) << "no step at column " << edge;
      EXPECT_LE(rows.front(), std::min(row, next_row) + 0.5L + kSlack);
      EXPECT_GE(rows.back(), std::max(row, next_row) - 0.5L - kSlack);
      EXPECT_LE(std::fabs(x_map.Position(x_map.ValueAt(edge)) - high_edge), 0.5L + kSlack);
    }
    deviation.value = deviation.pixels / y_map.PixelsPerUnit();
    EXPECT_GT(deviation.columns, picture.Width() * 3 / 4);
    Report("bands", size, deviation);
  }
}

// ---- Labels ----

// Engineering-format text back into its value: a number, a prefix letter, then the unit.
Real ParseLabel(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  Real value = std::strtold(begin, &end);
  const std::string prefixes = "fpnum kMG";
  const std::size_t prefix = *end == '\0' ? std::string::npos : prefixes.find(*end);
  if (prefix != std::string::npos && prefixes[prefix] != ' ') {
    value *= std::pow(10.0L, 3 * (static_cast<int>(prefix) - 5));
  }
  return value;
}

// The text item placed at `at`, if any.
const TextItem* TextAt(const std::vector<DisplayItem>& items, PixelPoint at, TextAnchor anchor) {
  for (const DisplayItem& item : items) {
    const auto* text = std::get_if<TextItem>(&item);
    if (text != nullptr && text->at == at && text->anchor == anchor) return text;
  }
  return nullptr;
}

TEST(PlotTruthLabels, LogAxisLinesAndLabelsSitAtTheirFrequencies) {
  TDataMeas record = ButterworthRecord();
  record.FTraceB = -1;  // the wrapped phase's strokes would hide grid lines
  AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const int width = picture.Width();
    const XMap x_map = XMapOf(record, width);

    // Lines at 20, 30, .. 90, 100, 200, .. 20 000 Hz; the stop's line rounds onto pixel W and
    // is drawn on the last pixel.
    std::vector<int> expected_lines;
    for (Real decade = 10; decade <= 10000; decade *= 10) {
      for (int digit = decade == 10 ? 2 : 1; digit <= 9 && digit * decade < 20000; ++digit) {
        expected_lines.push_back(static_cast<int>(std::lround(x_map.Position(digit * decade))));
      }
    }
    expected_lines.push_back(width - 1);
    EXPECT_EQ(std::lround(x_map.Position(20000)), width);
    std::vector<int> drawn_lines;  // columns that are grid-coloured over most of the height
    for (int x = 0; x < width; ++x) {
      if (picture.RowsIn(x, kGridColor).size() * 5 > static_cast<std::size_t>(picture.Height()) * 3)
        drawn_lines.push_back(x);
    }
    EXPECT_EQ(drawn_lines, expected_lines);

    // Labels 2 pixels right of their line, the last one 2 pixels left of it.
    const std::vector<std::pair<Real, std::string>> labels = {
        {20, "20"},   {50, "50"},   {100, "100"}, {200, "200"}, {500, "500"},
        {1000, "1k"}, {2000, "2k"}, {5000, "5k"}, {1e4, "10k"}, {2e4, "20k"}};
    std::vector<const TextItem*> x_labels;
    const TextItem* one_k = nullptr;
    for (const DisplayItem& item : picture.graph_items) {
      if (const auto* text = std::get_if<TextItem>(&item); text && text->text == "1k") one_k = text;
    }
    ASSERT_NE(one_k, nullptr);
    for (const DisplayItem& item : picture.graph_items) {
      const auto* text = std::get_if<TextItem>(&item);
      if (text != nullptr && text->at.y == one_k->at.y) x_labels.push_back(text);
    }
    ASSERT_EQ(x_labels.size(), labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const TextItem& label = *x_labels[i];
      EXPECT_EQ(label.text, labels[i].second);
      const bool right_aligned = label.anchor == TextAnchor::TopRight;
      const int line = right_aligned ? label.at.x + 2 : label.at.x - 2;
      EXPECT_EQ(right_aligned, i + 1 == labels.size()) << label.text;
      EXPECT_TRUE(std::binary_search(drawn_lines.begin(), drawn_lines.end(), line)) << label.text;
      const Real position = x_map.Position(labels[i].first);
      EXPECT_LE(std::fabs(std::min<Real>(position, width - 1) - line), 0.5L + kSlack)
          << label.text << " at column " << line << ", its frequency at " << double(position);
    }
  }
}

// Each division line's label says the value the row it is drawn on stands for, to half a
// pixel and the label's four digits: trace A on the left, trace B on the right.
TEST(PlotTruthLabels, DivisionLabelsSayTheValueOfTheirRow) {
  TDataMeas record = ButterworthRecord();
  AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  for (const QSize size : kSizes) {
    SCOPED_TRACE(SizeText(size));
    const Rendered picture = Render(record, PlotView{}, size);
    const int width = picture.Width();
    std::vector<int> rows;  // rows that are grid-coloured over most of the width
    for (int y = 0; y < picture.Height(); ++y) {
      int lit = 0;
      for (int x = 0; x < width; ++x) lit += picture.Is(x, y, kGridColor) ? 1 : 0;
      if (lit * 5 > width * 3) rows.push_back(y);
    }
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(record.FNumDivisions - 1));
    // Labels sit 1 pixel below their line, 3 pixels from the left or 4 from the right edge.
    struct Side {
      int column;
      int x;
      TextAnchor anchor;
    };
    for (const Side& side :
         {Side{1, 3, TextAnchor::TopLeft}, Side{2, width - 4, TextAnchor::TopRight}}) {
      const YMap y_map = YMapOf(record, side.column, picture.Height());
      for (const int y : rows) {
        const TextItem* label = TextAt(picture.graph_items, {side.x, y + 1}, side.anchor);
        ASSERT_NE(label, nullptr) << "no label under row " << y;
        const Real shown = ParseLabel(label->text);
        const Real decoded = y_map.ValueAt(y);
        EXPECT_LE(std::fabs(shown - decoded), y_map.HalfPixel() + 5e-4L * std::fabs(decoded))
            << "row " << y << " labelled " << label->text << ", stands for "
            << static_cast<double>(decoded);
      }
    }
  }
}

}  // namespace
}  // namespace vireon
