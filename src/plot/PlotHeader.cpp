#include "plot/PlotHeader.h"

#include "common/DateTime.h"

#include <optional>
#include <utility>
#include <vector>

namespace vireon {
namespace {

constexpr PlotColor kTextColor = 0x000000;
constexpr int kHighlightWidth = 3;
constexpr int kShadowWidth = 2;
constexpr int kTextAboveGraph = 2;  // free rows between the header texts and the graph
constexpr int kTitlePadding = 4;    // frame and free space left and right of the title

// Dates up to this many days after the origin are placeholders, not acquisitions.
constexpr double kUnknownDateDays = 3000.0;

}  // namespace

std::string AcquisitionText(double time_stamp) {
  const std::optional<std::string> date = FormatDateTime(time_stamp);
  if (!(time_stamp > kUnknownDateDays) || !date) return "acq date unknown";
  return "acq: " + *date;
}

DisplayLayer BuildPlotFrame(int width, int height) {
  DisplayLayer layer{{0, 0, width, height}, {}};
  layer.items.push_back(FillRectItem{kWindowColor, {0, 0, width, height}});
  layer.items.push_back(FillRectItem{kHighlightColor, {0, 0, kHighlightWidth, height}});
  layer.items.push_back(FillRectItem{kHighlightColor, {0, 0, width, kHighlightWidth}});
  layer.items.push_back(
      FillRectItem{kShadowColor, {width - kShadowWidth, 0, kShadowWidth, height}});
  layer.items.push_back(
      FillRectItem{kShadowColor, {0, height - kShadowWidth, width, kShadowWidth}});
  return layer;
}

DisplayLayer BuildPlotHeader(const TDataMeas& record, const std::string& title,
                             const PlotLayout& layout, int width, int height,
                             const PlotOptions& options, const TextMeasure& measure) {
  DisplayLayer layer = BuildPlotFrame(width, height);

  const int left = layout.header.left;
  const int right = layout.header.left + layout.header.width;
  const int text_bottom = layout.graph.top - kTextAboveGraph;
  layer.items.push_back(
      TextItem{kTextColor, {left, text_bottom}, TextAnchor::BottomLeft, record.FTitle});
  const int description_end = left + measure.Width(record.FTitle);

  int date_start = right;
  if (!(options.Printing && options.LivePlot)) {
    std::string date = AcquisitionText(record.FTimeStamp);
    date_start = right - measure.Width(date);
    layer.items.push_back(
        TextItem{kTextColor, {right, text_bottom}, TextAnchor::BottomRight, std::move(date)});
  }

  if (options.LivePlot) return layer;
  // Centred in the free space, with at least one free pixel on either side of its box.
  const int box_width = measure.Width(title) + 2 * kTitlePadding;
  const int free_width = date_start - description_end;
  if (box_width + 2 > free_width) return layer;
  const int box_left = description_end + (free_width - box_width) / 2;
  const int text_height = measure.Height();
  layer.items.push_back(FrameRectItem{
      Pen{kTextColor}, {box_left, text_bottom - text_height - 1, box_width, text_height + 2}});
  layer.items.push_back(
      TextItem{kTextColor, {box_left + kTitlePadding, text_bottom}, TextAnchor::BottomLeft, title});
  return layer;
}

}  // namespace vireon
