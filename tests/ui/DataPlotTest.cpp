#include "plot/ui/TDataPlot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "../record/RecordFixtures.h"
#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "common/VireonError.h"
#include "files/FileIO_Data.h"
#include "files/WeightingFile.h"
#include "plot/OverlayList.h"
#include "plot/PlotHeader.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/PlotImage.h"
#include "plot/ui/FileDialogFilter.h"
#include "plot/ui/FormatTabs.h"
#include "plot/ui/PlotFormatPanel.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

constexpr int kWidth = 410;  // a graph 400 pixels wide
constexpr int kHeight = 300;

// A response from 20 Hz to 20 kHz on a log axis: a dB magnitude with a peak and a phase.
TDataMeas ResponseRecord() {
  std::vector<double> x, magnitude, phase;
  for (int i = 0; i < 300; ++i) {
    const double f = 20.0 * std::pow(1000.0, i / 299.0);
    x.push_back(f);
    magnitude.push_back(80.0 + 10.0 * std::exp(-std::pow(std::log(f / 1000.0), 2)));
    phase.push_back(std::fmod(f / 10.0, 360.0) - 180.0);
  }
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, x, {magnitude, phase});
  record.FFields[1].Units = "dB";
  record.FFields[1].PerDiv = 5.0;
  record.FFields[1].RefValue = -90.0;
  record.FFields[1].RefDiv = 9;
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[2].PerDiv = 36.0;
  record.FFields[2].RefDiv = 5;
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FNumDivisions = 10;
  record.FLogX = 1;
  record.FViewStart = 20.0;
  record.FViewStop = 20000.0;
  record.FTitle = "Woofer on axis";
  return record;
}

QImage Grab(TDataPlot& plot) { return plot.grab().toImage().convertToFormat(QImage::Format_RGB32); }

class DataPlot : public ::testing::Test {
 protected:
  DataPlot() {}

  std::unique_ptr<TDataPlot> MakePlot() {
    auto plot = std::make_unique<TDataPlot>(files_, messages_);
    plot->resize(kWidth, kHeight);
    return plot;
  }

  // A left click at a pixel of the graph, in graph coordinates.
  static void ClickGraph(TDataPlot& plot, int x, int y) {
    const PixelRect graph = plot.Layout().graph;
    Click(plot, QPoint(graph.left + x, graph.top + y));
  }

  static void Click(TDataPlot& plot, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), plot.mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&plot, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), plot.mapToGlobal(QPointF(at)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&plot, &release);
  }

  TestApplication app_;
  FileContext files_;
  CollectedMessages messages_;
};

// --- Painting -------------------------------------------------------------------------------

TEST_F(DataPlot, PaintsThePicturePlotImageRendersWithTheControlsColours) {
  TDataMeas record = ResponseRecord();
  TDataMeas expected_record = record;
  auto plot = MakePlot();
  plot->SetData(&record);
  plot->SetBackColor(0xE0FFFF);
  plot->SetGridColor(0x0000A0);
  plot->SetTitle("Left");

  // The control's colours reach the record before the picture is drawn.
  expected_record.FColors[0] = 0xE0FFFF;
  expected_record.FColors[1] = 0x0000A0;
  expected_record.FColors[2] = 3127552;
  PlotView view;
  view.title = "Left";
  const QImage expected = RenderPlotImage(expected_record, view, {}, kWidth, kHeight);
  const QImage painted = Grab(*plot);
  ASSERT_EQ(painted.size(), expected.size());
  EXPECT_TRUE(painted == expected);
  EXPECT_EQ(record.FColors[0], 0xE0FFFFu);
  EXPECT_EQ(record.FColors[2], 3127552u);
}

TEST_F(DataPlot, WithoutARecordPaintsOnlyItsFace) {
  auto plot = MakePlot();
  const QImage painted = Grab(*plot);
  const PixelRect graph = plot->Layout().graph;
  EXPECT_EQ(painted.pixelColor(graph.left + graph.width / 2, graph.top + graph.height / 2),
            ToQColor(kWindowColor));
  // No text, no graph: every pixel is the face or its frame.
  const std::array<QRgb, 3> frame_colours = {
      ToQColor(kWindowColor).rgb(), ToQColor(kHighlightColor).rgb(), ToQColor(kShadowColor).rgb()};
  int others = 0;
  for (int y = 0; y < painted.height(); ++y) {
    for (int x = 0; x < painted.width(); ++x) {
      if (std::find(frame_colours.begin(), frame_colours.end(), painted.pixel(x, y)) ==
          frame_colours.end()) {
        ++others;
      }
    }
  }
  EXPECT_EQ(others, 0);
}

// An overlay file that cannot be read stops the overlays for that picture; the next redraw
// reads the list again and draws what has appeared meanwhile.
TEST_F(DataPlot, RereadsTheOverlayListAfterAnUnreadableFile) {
  TempFolder folder;
  TDataMeas overlay = ResponseRecord();
  for (double& v : overlay.FFields[1].Values) v -= 6.0;
  ASSERT_TRUE(SaveDataFile(folder / "first.vr2", overlay, false, messages_));
  const std::filesystem::path late = folder / "late.vr2";

  TDataMeas record = ResponseRecord();
  record.SetOverlayNames({(folder / "first.vr2").string(), late.string()}, std::nullopt);
  record.FOverlayFlag1 = 1;
  auto plot = MakePlot();
  plot->SetData(&record);
  const QImage with_first = Grab(*plot);

  const auto rendered_with = [&](std::span<const OverlayEntry> entries) {
    const OverlayLoad load = LoadOverlays(record, entries, files_, messages_);
    PlotView view;
    view.overlays = load.matched;
    return RenderPlotImage(record, view, {}, kWidth, kHeight);
  };
  const std::vector<OverlayEntry> entries = OverlayEntriesOf(record);
  EXPECT_TRUE(with_first == rendered_with(std::span(entries).first(1)));

  for (double& v : overlay.FFields[1].Values) v -= 6.0;
  ASSERT_TRUE(SaveDataFile(late, overlay, false, messages_));
  plot->Redraw();
  const QImage with_both = Grab(*plot);
  EXPECT_TRUE(with_both == rendered_with(entries));
  EXPECT_FALSE(with_both == with_first);
}

// --- Mouse ----------------------------------------------------------------------------------

TEST_F(DataPlot, MarkerModeClickMovesTheMarkerToTheNearestPoint) {
  // 0.07 Hz apart on a linear 0..40 Hz axis, 0.1 Hz a pixel: pixel 123 stands for 12.3 Hz,
  // whose nearest point is 12.32 Hz; 10 divisions of 1 from 0 at the bottom to 10 at the top.
  std::vector<double> x, y;
  for (int i = 0; i <= 571; ++i) {
    x.push_back(0.07 * i);
    y.push_back(1.0);
  }
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, x, {y});
  record.FTraceA = 1;
  record.FNumDivisions = 10;
  record.FViewStart = 0.0;
  record.FViewStop = 40.0;
  auto plot = MakePlot();
  plot->SetData(&record);
  plot->SetMkrMouse(3);
  plot->SetMouseMode(TDPMouseMode::mmMarker);
  std::vector<int> moved;
  QObject::connect(plot.get(), &TDataPlot::MarkerMoved,
                   [&](int marker) { moved.push_back(marker); });
  double clicked_a = -1.0;
  QObject::connect(plot.get(), &TDataPlot::GraphClicked,
                   [&](double, double a, double) { clicked_a = a; });

  ClickGraph(*plot, 123, 0);
  EXPECT_EQ(record.FMarkerX[3], static_cast<float>(x[176]));
  EXPECT_EQ(plot->MouseDomain(), x[176]);
  EXPECT_NEAR(clicked_a, 10.0, 1e-9);  // the top line
  EXPECT_EQ(moved, std::vector<int>{3});
  EXPECT_TRUE(plot->MouseButtonLeft());
  EXPECT_EQ(plot->MouseMode(), TDPMouseMode::mmMarker);
}

// A time record of 400 samples at 1 kHz on a 0..0.4 s axis: pixel n is sample n. The window
// runs from sample 100 to 200; each end moves only on its own side of the other.
TEST_F(DataPlot, WindowClicksMoveAnEndOnlyOnItsOwnSide) {
  struct Case {
    TDPMouseMode mode;
    int pixel;
    std::int32_t start;
    std::int32_t end;
  };
  const Case cases[] = {
      {TDPMouseMode::mmSetLWin, 50, 50, 200},
      {TDPMouseMode::mmSetLWin, 300, 100, 200},
      {TDPMouseMode::mmSetRWin, 300, 100, 300},
      {TDPMouseMode::mmSetRWin, 50, 100, 200},
  };
  for (const Case& c : cases) {
    TDataMeas record = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(400, 0.1)});
    record.FTraceA = 0;
    record.FViewStart = 0.0;
    record.FViewStop = 0.4;
    record.FWinStart = 100;
    record.FWinEnd = 200;
    auto plot = MakePlot();
    plot->SetData(&record);
    plot->SetMouseMode(c.mode);
    int changes = 0;
    QObject::connect(plot.get(), &TDataPlot::RecordChanged, [&] { ++changes; });

    ClickGraph(*plot, c.pixel, 20);
    SCOPED_TRACE(c.pixel);
    EXPECT_EQ(record.FWinStart, c.start);
    EXPECT_EQ(record.FWinEnd, c.end);
    EXPECT_EQ(changes, c.start != 100 || c.end != 200 ? 1 : 0);
  }
}

TEST_F(DataPlot, ClickOutsideTheGraphReturnsToUnusedWithoutReading) {
  TDataMeas record = ResponseRecord();
  auto plot = MakePlot();
  plot->SetData(&record);
  plot->SetMouseMode(TDPMouseMode::mmMarker);
  const std::array<float, 5> markers = record.FMarkerX;
  int clicks = 0;
  QObject::connect(plot.get(), &TDataPlot::GraphClicked, [&] { ++clicks; });

  const PixelRect graph = plot->Layout().graph;
  Click(*plot, QPoint(graph.left + graph.width / 2, graph.top + graph.height));  // just below
  EXPECT_EQ(plot->MouseMode(), TDPMouseMode::mmUnused);
  EXPECT_EQ(plot->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(record.FMarkerX, markers);
}

// --- Drag and drop --------------------------------------------------------------------------

TEST_F(DataPlot, DropCopiesTheSourceRecordAndLookIntoTheTargetsRecord) {
  TDataMeas source_record = ResponseRecord();
  source_record.FMarkerX[0] = 1000.0f;
  source_record.FMarkerOn[0] = 1;
  auto source = MakePlot();
  source->SetData(&source_record);
  source->SetBackColor(0x102030);
  source->SetTitle("Tweeter");

  TDataMeas target_record = fixtures::TimeRecord(48000, 0.0, {std::vector<double>(64, 0.5)});
  target_record.FPlotKind = 2;  // a waterfall until the drop
  auto target = MakePlot();
  target->SetData(&target_record);
  int drops = 0;
  QObject::connect(target.get(), &TDataPlot::RecordDropped, [&] { ++drops; });

  ASSERT_TRUE(target->AcceptsDropFrom(source.get()));
  ASSERT_TRUE(target->DropFrom(*source));
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(target->Data(), &target_record);
  EXPECT_EQ(target_record.FDataType, kFrequencyResponse);
  EXPECT_EQ(target_record.FPlotKind, 0);
  EXPECT_EQ(target_record.FFields[1].Values, source_record.FFields[1].Values);
  EXPECT_EQ(target_record.FMarkerX[0], 1000.0f);
  EXPECT_EQ(target_record.FMarkerOn[0], 1);
  EXPECT_EQ(target->Title(), "Tweeter");
  EXPECT_EQ(target->BackColor(), 0x102030u);
  EXPECT_EQ(target_record.FColors[0], 0x102030u);
  EXPECT_TRUE(Grab(*target) == Grab(*source));
}

TEST_F(DataPlot, DropOntoAPlotWithoutRecordKeepsAnIndependentCopy) {
  TDataMeas source_record = ResponseRecord();
  auto source = MakePlot();
  source->SetData(&source_record);
  auto target = MakePlot();

  ASSERT_TRUE(target->DropFrom(*source));
  ASSERT_NE(target->Data(), nullptr);
  ASSERT_NE(target->Data(), &source_record);
  target->Data()->FFields[1].Values[0] = -1.0;
  EXPECT_NE(source_record.FFields[1].Values[0], -1.0);
  EXPECT_EQ(target->NumberOfPoints(), source_record.FNumPoints);
}

TEST_F(DataPlot, RefusesDropsOntoLivePlotsOntoItselfAndOfEmptyPlots) {
  TDataMeas source_record = ResponseRecord();
  TDataMeas target_record = fixtures::TimeRecord(48000, 0.0, {std::vector<double>(64, 0.5)});
  auto source = MakePlot();
  source->SetData(&source_record);
  auto empty = MakePlot();
  auto live = MakePlot();
  PlotOptions live_options;
  live_options.LivePlot = true;
  live->SetOptions(live_options);
  live->SetData(&target_record);

  struct Case {
    const char* what;
    TDataPlot* target;
    TDataPlot* source;
  };
  const Case cases[] = {{"live target", live.get(), source.get()},
                        {"itself", source.get(), source.get()},
                        {"source without record", source.get(), empty.get()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(c.target->AcceptsDropFrom(c.source));
    EXPECT_FALSE(c.target->DropFrom(*c.source));
  }
  EXPECT_EQ(target_record.FDataType, kTimeDomain);
  EXPECT_EQ(target_record.FNumPoints, 64);
}

// --- Hold -----------------------------------------------------------------------------------

TEST_F(DataPlot, HoldSavesThePrimaryRecordAsOverlayZero) {
  TempFolder folder;
  TDataMeas record = ResponseRecord();
  auto plot = MakePlot();
  plot->SetData(&record);
  EXPECT_FALSE(plot->Hold(folder.Path()));  // not the primary plot
  EXPECT_FALSE(std::filesystem::exists(folder / "HoldData.vr2"));

  plot->SetPrimary(true);
  ASSERT_TRUE(plot->Hold(folder.Path()));
  EXPECT_TRUE(std::filesystem::exists(folder / "HoldData.vr2"));
  ASSERT_TRUE(record.FOverlayNames.has_value());
  EXPECT_EQ(*record.FOverlayNames, StringList{(folder / "HoldData.vr2").string()});
}

TEST_F(DataPlot, HoldWithEightOverlaysDoesNothing) {
  TempFolder folder;
  TDataMeas record = ResponseRecord();
  StringList names;
  for (int i = 1; i <= 8; ++i)
    names.push_back((folder / ("held" + std::to_string(i) + ".vr2")).string());
  record.SetOverlayNames(names, std::nullopt);
  auto plot = MakePlot();
  plot->SetPrimary(true);
  plot->SetData(&record);

  EXPECT_FALSE(plot->CanHold());
  EXPECT_FALSE(plot->Hold(folder.Path()));
  EXPECT_EQ(*record.FOverlayNames, names);
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

// --- Format panel ---------------------------------------------------------------------------

TEST(DataPlotFormatTabs, FollowThePlotKindTheShownTracesAndTheDataType) {
  const auto with = [](std::int32_t kind, std::int32_t trace_b) {
    TDataMeas record = ResponseRecord();
    record.FPlotKind = kind;
    record.FTraceB = trace_b;
    return record;
  };
  TDataMeas time_record = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(8, 0.0)});
  time_record.FTraceA = 0;
  struct Case {
    const char* what;
    TDataMeas record;
    bool live;
    std::vector<std::string> captions;
  };
  const Case cases[] = {
      {"x-y graph, two traces",
       with(0, 2),
       false,
       {"Frequency", "TraceA", "TraceB", "VScaleA", "VScaleB", "VRefA", "VRefB", "Markers",
        "Weights", "Delay", "Title", "Colors", "MultiFile", "MultiCtl"}},
      {"trace B past the curves",
       with(0, 3),
       false,
       {"Frequency", "TraceA", "TraceB", "VScaleA", "VRefA", "Markers", "Weights", "Delay", "Title",
        "Colors", "MultiFile", "MultiCtl"}},
      {"harmonic distortion",
       with(6, 2),
       false,
       {"Frequency", "TraceA", "TraceB", "VScaleA", "VScaleB", "VRefA", "VRefB", "Markers",
        "Weights", "Delay", "Title", "Colors", "Distortion", "MultiFile", "MultiCtl"}},
      {"time record",
       time_record,
       false,
       {"Time", "TraceA", "TraceB", "VScaleA", "VRefA", "Markers", "Windowing", "Title", "Colors",
        "MultiFile", "MultiCtl"}},
      {"live time record",
       time_record,
       true,
       {"Time", "TraceA", "TraceB", "VScaleA", "VRefA", "Markers", "Title", "Colors", "MultiFile",
        "MultiCtl"}},
      {"waterfall", with(2, 2), false, {"Frequency", "VScaleA", "Weights", "Title", "Colors"}},
      {"polar", with(3, 2), false, {"VScaleA", "Title", "Colors"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> captions;
    for (const FormatTabEntry& entry : VisibleFormatTabs(c.record, c.live)) {
      captions.push_back(entry.caption);
    }
    EXPECT_EQ(captions, c.captions);
  }
}

// The weighting and delay tabs by data type and plot kind, the overlay tabs by plot kind.
TEST(DataPlotFormatTabs, WeightsDelayAndOverlaysFollowTheTypeAndKind) {
  struct Case {
    std::uint8_t type;
    std::int32_t kind;
    bool weights;
    bool delay;
    bool overlays;
  };
  const Case cases[] = {
      {kFrequencyResponse, 0, true, true, true},    {kSpectrum, 9, true, true, true},
      {kFrequencyResponse, 1, false, false, false}, {kSpectrum, 2, true, false, false},
      {kImpedance, 0, false, false, true},          {kRtaBands, 0, true, false, true},
      {kGroupDelay, 0, false, false, true},         {kComponentTrack, 0, true, false, true},
      {kEnergyTimeCurve, 0, false, false, true},    {kResponseAndImpedance, 8, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << int{c.type} << " kind " << c.kind);
    TDataMeas record = ResponseRecord();
    record.FDataType = c.type;
    record.FPlotKind = c.kind;
    const std::vector<FormatTabEntry> tabs = VisibleFormatTabs(record, false);
    const auto has = [&](FormatTab tab) {
      return std::any_of(tabs.begin(), tabs.end(),
                         [tab](const FormatTabEntry& entry) { return entry.tab == tab; });
    };
    EXPECT_EQ(has(FormatTab::Weights), c.weights);
    EXPECT_EQ(has(FormatTab::Delay), c.delay);
    EXPECT_EQ(has(FormatTab::MultiFile), c.overlays);
    EXPECT_EQ(has(FormatTab::MultiCtl), c.overlays);
  }
}

class DataPlotFormat : public DataPlot {
 protected:
  DataPlotFormat() {
    plot_->SetData(&record_);
    plot_->SetFormatPanelVisible(true);
    FormatPanelDialogs dialogs;
    dialogs.choose_color = [this](const QColor& current, const QString&) {
      offered_color_ = current;
      return color_answer_;
    };
    dialogs.open_files = [this](const QString&, std::string_view, bool) {
      ++file_requests_;
      return open_answer_;
    };
    dialogs.save_file = [this](const QString&, std::string_view) { return save_answer_; };
    plot_->FormatPanel()->SetDialogs(std::move(dialogs));
    QObject::connect(plot_.get(), &TDataPlot::RecordChanged, [this] { ++changes_; });
  }

  // The named entry of a tab; a missing one fails the test and reads as an entry elsewhere.
  template <typename Widget>
  Widget* Find(const char* tab, const char* name) const {
    QWidget* page = plot_->FormatPanel()->findChild<QWidget*>(tab);
    return page != nullptr ? page->findChild<Widget*>(name) : nullptr;
  }

  TEditRealSpin* Entry(const char* tab, const char* name) {
    if (auto* entry = Find<TEditRealSpin>(tab, name)) return entry;
    ADD_FAILURE() << "no entry " << name << " on tab " << tab;
    return &missing_;
  }

  static void Type(TEditRealSpin* entry, const char* text) {
    entry->Edit()->setText(text);
    entry->AcceptEntry();
  }

  template <typename Widget = QPushButton>
  void Click(const char* tab, const char* name) {
    Widget* widget = Find<Widget>(tab, name);
    ASSERT_NE(widget, nullptr) << name << " on tab " << tab;
    ASSERT_TRUE(widget->isEnabled()) << name;
    widget->click();
  }

  static void RightPress(QWidget* widget) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
  }

  // Whether the plot's graph shows `record` (with these overlays) as the renderer draws it.
  bool GraphShows(const TDataMeas& record, std::span<const MatchedOverlay> overlays = {}) {
    PlotView view;
    view.format_panel_visible = true;
    view.overlays = overlays;
    const QImage expected = RenderPlotImage(record, view, plot_->Options(), kWidth, kHeight);
    const PixelRect graph = plot_->Layout().graph;
    const QRect area(graph.left, graph.top, graph.width, graph.height);
    return Grab(*plot_).copy(area) == expected.copy(area);
  }

  TDataMeas record_ = ResponseRecord();
  std::unique_ptr<TDataPlot> plot_ = MakePlot();
  TEditRealSpin missing_;
  int changes_ = 0;
  QColor color_answer_;
  QColor offered_color_;
  int file_requests_ = 0;
  std::vector<std::filesystem::path> open_answer_;
  std::optional<std::filesystem::path> save_answer_;
};

TEST_F(DataPlotFormat, SitsUnderTheGraphWithTheRecordsTabs) {
  const QImage painted = Grab(*plot_);
  const PixelRect panel = plot_->Layout().format_panel;
  EXPECT_EQ(plot_->FormatPanel()->geometry(),
            QRect(panel.left, panel.top, panel.width, panel.height));
  EXPECT_EQ(panel.height, 61);
  QStringList tabs;
  for (int i = 0; i < plot_->FormatPanel()->count(); ++i) tabs << plot_->FormatPanel()->tabText(i);
  EXPECT_EQ(tabs.join(",").toStdString(),
            "Frequency,TraceA,TraceB,VScaleA,VScaleB,VRefA,VRefB,Markers,Weights,Delay,Title,"
            "Colors,MultiFile,MultiCtl");
}

TEST_F(DataPlotFormat, EntriesEditTheRecordByTheRangeAndDivisionRules) {
  // A start typed above the stop moves just below it.
  Type(Entry("Frequency", "Start"), "30k");
  EXPECT_DOUBLE_EQ(record_.FViewStart, 20000.0 * 0.999);
  EXPECT_DOUBLE_EQ(Entry("Frequency", "Start")->RealValue(), 20000.0 * 0.999);

  // Eight divisions: the phase of trace B spans -180° to +180° at 45° a division.
  Type(Entry("VScaleB", "#Div"), "8");
  EXPECT_EQ(record_.FNumDivisions, 8);
  EXPECT_DOUBLE_EQ(record_.FFields[2].PerDiv, 45.0);
  EXPECT_DOUBLE_EQ(Entry("VScaleB", "perDiv B")->RealValue(), 45.0);
  EXPECT_DOUBLE_EQ(Entry("VRefA", "#Div")->RealValue(), 8.0);
}

TEST_F(DataPlotFormat, ClickingTheStartEntryLetsTheMousePlaceTheStart) {
  TEditRealSpin* start = Entry("Frequency", "Start");
  emit start->OnClick();
  EXPECT_EQ(plot_->MouseMode(), TDPMouseMode::mmSetLHor);
}

TEST_F(DataPlotFormat, AutoVScalesBothTracesAndShowsTheNewScale) {
  TDataMeas expected = record_;
  ASSERT_TRUE(AutoScaleTraces(expected, plot_->Options()));
  auto* auto_v = Find<QPushButton>("VScaleA", "AutoV");
  ASSERT_NE(auto_v, nullptr);
  auto_v->click();
  EXPECT_EQ(record_.FFields[1].PerDiv, expected.FFields[1].PerDiv);
  EXPECT_EQ(record_.FFields[1].RefValue, expected.FFields[1].RefValue);
  EXPECT_DOUBLE_EQ(Entry("VScaleA", "perDiv A")->RealValue(), expected.FFields[1].PerDiv);
  EXPECT_DOUBLE_EQ(Entry("VRefA", "RefVal A")->RealValue(), expected.FFields[1].RefValue);
}

TEST_F(DataPlotFormat, LabelClickOnADbTraceSetsOneDbPerDivision) {
  QLabel* label = nullptr;
  for (QLabel* candidate : plot_->FormatPanel()->findChildren<QLabel*>()) {
    if (candidate->text() == "perDiv A") label = candidate;
  }
  ASSERT_NE(label, nullptr);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(label, &press);
  EXPECT_EQ(record_.FFields[1].PerDiv, 1.0);
}

TEST_F(DataPlotFormat, TitleEditReachesThePlotAsRecordBytes) {
  auto* title = plot_->FormatPanel()->findChild<QLineEdit*>("TitleText");
  title->setText(QString::fromUtf8("N\xC3\xA4he"));
  emit title->editingFinished();
  EXPECT_EQ(plot_->Title(), "N\xE4he");  // Latin-1, as records hold text
}

// The window of a time record of 400 samples at 1 kHz, from sample 100 to 200.
TEST_F(DataPlotFormat, WindowEntriesMoveAnEndOnlyOnItsOwnSide) {
  record_ = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(400, 0.1)});
  record_.FTraceA = 0;
  record_.FWinStart = 100;
  record_.FWinEnd = 200;
  plot_->SetData(&record_);
  TEditRealSpin* start = Entry("Windowing", "Start At");

  Type(start, "0.25");  // past the end: refused
  EXPECT_EQ(record_.FWinStart, 100);
  EXPECT_DOUBLE_EQ(start->RealValue(), 0.1);
  Type(start, "0.05");
  EXPECT_EQ(record_.FWinStart, 50);
  Type(Entry("Windowing", "Stop At"), "0.02");  // before the start: refused
  EXPECT_EQ(record_.FWinEnd, 200);

  auto* all = Find<QPushButton>("Windowing", "All");
  ASSERT_NE(all, nullptr);
  all->click();
  EXPECT_EQ(record_.FWinStart, 0);
  EXPECT_EQ(record_.FWinEnd, 399);
}

// --- Weights, Delay, Colors -----------------------------------------------------------------

// A title, 1000 Hz at 0 dB and 2000 Hz at +6.0206 dB (a factor of 2) with a phase.
TEST_F(DataPlotFormat, LoadAttachesTheWeightingNamedAfterItsFileAndRedraws) {
  TempFolder folder;
  WriteFileAtomically(folder / "Boost.wgt", "My boost\n1000 0\n2000 6.0206 45\n");
  open_answer_ = {folder / "Boost.wgt"};
  Click("Weights", "Load");

  ASSERT_TRUE(record_.FWeighting.has_value());
  const TWeighting& weighting = *record_.FWeighting;
  ASSERT_EQ(weighting.Points.size(), 2u);
  EXPECT_EQ(weighting.Points[0].Factor, 1.0);
  EXPECT_NEAR(weighting.Points[1].Factor, 2.0, 1e-5);
  EXPECT_EQ(weighting.Points[1].Spare, 45.0);
  EXPECT_EQ(weighting.Name, "Boost");
  EXPECT_EQ(Find<QLabel>("Weights", "WeightFile")->text().toStdString(), "Boost");
  EXPECT_EQ(changes_, 1);
  EXPECT_TRUE(GraphShows(record_));

  // A right button press on the name drops it again.
  RightPress(Find<QLabel>("Weights", "WeightFile"));
  EXPECT_FALSE(record_.FWeighting.has_value());
  EXPECT_EQ(Find<QLabel>("Weights", "WeightFile")->text().toStdString(), "<none>");
}

TEST_F(DataPlotFormat, AFaultyWeightingFileOrCancelLeavesNone) {
  TempFolder folder;
  struct Case {
    const char* what;
    const char* text;  // none: the dialog is cancelled
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"comment after the data",
       "1000 0\n2000 6\nend of table\n",
       {"The weighting file has errors and cannot be used."}},
      {"title only",
       "Only a title\n\n",
       {"File Format Error!", "The weighting file has errors and cannot be used."}},
      {"cancelled", nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    record_.FWeighting.emplace();
    messages_ = {};
    open_answer_.clear();
    if (c.text != nullptr) {
      WriteFileAtomically(folder / "bad.wgt", c.text);
      open_answer_ = {folder / "bad.wgt"};
    }
    Click("Weights", "Load");
    EXPECT_FALSE(record_.FWeighting.has_value());
    EXPECT_EQ(messages_.Texts(), c.messages);
    EXPECT_EQ(Find<QLabel>("Weights", "WeightFile")->text().toStdString(), "<none>");
  }
}

TEST_F(DataPlotFormat, ARecordThatTakesNoWeightingFileDropsItsWeightingWithoutAsking) {
  record_.FDataType = kComponentTrack;
  record_.FWeighting.emplace();
  plot_->Redraw();
  Click("Weights", "Load");
  EXPECT_EQ(file_requests_, 0);
  EXPECT_FALSE(record_.FWeighting.has_value());
}

TEST_F(DataPlotFormat, DelayTabSetsTheMagnitudeOffsetAndTheDelayCompensation) {
  Type(Entry("Delay", "Offset"), "6.0206");
  EXPECT_NEAR(record_.FDisplayScale, 2.0, 1e-5);
  EXPECT_TRUE(GraphShows(record_));

  const QImage before = Grab(*plot_);
  Type(Entry("Delay", "Delay Remove"), "0.00025");
  EXPECT_DOUBLE_EQ(record_.FDisplayDelay, 0.25e-3);
  EXPECT_EQ(changes_, 2);
  EXPECT_TRUE(GraphShows(record_));
  EXPECT_FALSE(Grab(*plot_) == before);  // the phase of trace B turned
  EXPECT_DOUBLE_EQ(Entry("Delay", "Delay Remove")->RealValue(), 0.25e-3);
}

// The chooser answers red 0x12, green 0x34, blue 0x56: the record keeps blue in the high byte.
TEST_F(DataPlotFormat, ChosenColoursLandInTheRecordAsBlueGreenRed) {
  color_answer_ = QColor(0x12, 0x34, 0x56);
  record_.FColors[4] = 0x0000FF;  // pure red
  plot_->Redraw();
  Click("Colors", "Trace B");
  EXPECT_EQ(offered_color_, QColor(255, 0, 0));
  EXPECT_EQ(record_.FColors[4], 0x563412u);

  Click("Colors", "Background");
  Click("Colors", "Gridlines");
  EXPECT_EQ(plot_->BackColor(), 0x563412u);
  EXPECT_EQ(plot_->GridColor(), 0x563412u);
  EXPECT_EQ(record_.FColors[0], 0x563412u);
  EXPECT_EQ(record_.FColors[1], 0x563412u);
  EXPECT_EQ(changes_, 3);
  EXPECT_TRUE(GraphShows(record_));

  color_answer_ = QColor();  // cancelled
  Click("Colors", "Trace A");
  EXPECT_EQ(record_.FColors[3], ResponseRecord().FColors[3]);
  EXPECT_EQ(changes_, 3);
}

// A one-colour picture file behind the graph: it shows at the graph's corner while "Use BMP"
// is on, and the graph's own background shows when it is switched off.
TEST_F(DataPlotFormat, UseBmpShowsTheBackgroundPicture) {
  TempFolder folder;
  QImage green(4, 4, QImage::Format_RGB32);
  green.fill(QColor(0, 200, 0));
  ASSERT_TRUE(green.save(QString::fromStdString((folder / "back.png").string())));
  ASSERT_TRUE(plot_->SetCustomBitmapName((folder / "back.png").string()));
  const PixelRect graph = plot_->Layout().graph;
  const auto corner = [&] { return Grab(*plot_).pixelColor(graph.left + 1, graph.top + 1); };
  EXPECT_EQ(corner(), QColor(0, 200, 0));

  auto* use = Find<QCheckBox>("Colors", "Use BMP");
  auto* tile = Find<QCheckBox>("Colors", "Tile");
  ASSERT_NE(use, nullptr);
  ASSERT_NE(tile, nullptr);
  EXPECT_TRUE(use->isChecked());
  EXPECT_TRUE(tile->isChecked());
  tile->click();
  EXPECT_TRUE(plot_->Options().CustomBitmapStretched);
  use->click();
  EXPECT_FALSE(plot_->Options().UseCustomBitmap);
  EXPECT_EQ(corner(), ToQColor(record_.FColors[0]));
  EXPECT_FALSE(plot_->SetCustomBitmapName((folder / "missing.png").string()));
}

TEST_F(DataPlotFormat, PhaseInvTurnsThePlotsPhases) {
  auto* invert = Find<QCheckBox>("Delay", "PhaseInv");
  ASSERT_NE(invert, nullptr);
  ASSERT_TRUE(invert->isEnabled());
  invert->click();
  EXPECT_TRUE(plot_->Options().PhaseInvert);
  invert->click();
  EXPECT_FALSE(plot_->Options().PhaseInvert);
}

TEST_F(DataPlotFormat, EachTraceHasItsOwnWidth) {
  Type(Entry("Colors", "trace B"), "3");
  EXPECT_EQ(plot_->Options().TraceWidthB, 3);
  EXPECT_EQ(plot_->Options().TraceWidth, 1);
  Type(Entry("Colors", "trace A"), "2");
  EXPECT_EQ(plot_->Options().TraceWidth, 2);
  EXPECT_EQ(plot_->Options().TraceWidthB, 3);
  EXPECT_TRUE(GraphShows(record_));
}

TEST(DataPlotFormatDialogs, FiltersBecomeTheDialogsFilters) {
  EXPECT_EQ(QtFileFilter("Weight curve files (*.frd,*.wgt,*.dat))|*.frd;*.wgt;*.dat").toStdString(),
            "Weight curve files (*.frd,*.wgt,*.dat)) (*.frd *.wgt *.dat)");
  EXPECT_EQ(QtFileFilter("Data (*.vr2)|*.vr2|All|*.*|").toStdString(), "Data (*.vr2);;All (*.*)")
      << "a description that ends in its patterns keeps them once";
}

// --- Overlay list ---------------------------------------------------------------------------

TEST(DataPlotFormatOverlayList, KeepsAtMostEightDistinctFiles) {
  TDataMeas record;
  std::vector<std::filesystem::path> files;
  for (int i = 0; i < 10; ++i) files.emplace_back("/data/f" + std::to_string(i) + ".vr2");
  EXPECT_EQ(AddOverlayFiles(record, std::span(files).first(3)), 3u);
  EXPECT_EQ(AddOverlayFiles(record, std::span(files).first(4)), 1u);  // three already listed
  EXPECT_EQ(AddOverlayFiles(record, files), 4u);
  ASSERT_TRUE(record.FOverlayNames.has_value());
  EXPECT_EQ(record.FOverlayNames->size(), 8u);
  EXPECT_EQ(record.FOverlayNames->back(), "/data/f7.vr2");

  EXPECT_FALSE(RemoveOverlay(record, 8));
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(RemoveOverlay(record, 0));
  EXPECT_FALSE(record.FOverlayNames.has_value());
}

TEST(DataPlotFormatOverlayList, ListFilesRoundTripAndUnreadableOnesChangeNothing) {
  TempFolder folder;
  TDataMeas record;
  record.SetOverlayNames({"/a b/one.vr2", "/two.vr2"}, std::nullopt);
  SaveOverlayList(record, folder / "list.txt");
  EXPECT_EQ(folder.Read("list.txt"), "/a b/one.vr2\n/two.vr2\n");

  TDataMeas loaded;
  ASSERT_TRUE(LoadOverlayList(loaded, folder / "list.txt"));
  EXPECT_EQ(loaded.FOverlayNames, record.FOverlayNames);

  std::string long_list = "\r\n";
  for (int i = 0; i < 9; ++i) long_list += "  /f" + std::to_string(i % 8) + ".vr2\r\n";
  WriteFileAtomically(folder / "long.txt", long_list);
  ASSERT_TRUE(LoadOverlayList(loaded, folder / "long.txt"));
  EXPECT_EQ(loaded.FOverlayNames->size(), 8u);
  EXPECT_EQ(loaded.FOverlayNames->front(), "/f0.vr2");

  EXPECT_FALSE(LoadOverlayList(loaded, folder / "missing.txt"));
  EXPECT_EQ(loaded.FOverlayNames->size(), 8u);
  EXPECT_THROW(SaveOverlayList(record, folder / "no folder" / "list.txt"), VireonError);
}

// Overlays added and removed on the tabs reach the record and the picture at once.
TEST_F(DataPlotFormat, OverlayTabsEditTheListAndTheFlagsAndThePlotFollows) {
  TempFolder folder;
  TDataMeas overlay = ResponseRecord();
  for (double& v : overlay.FFields[1].Values) v -= 6.0;
  ASSERT_TRUE(SaveDataFile(folder / "lower.vr2", overlay, false, messages_));
  record_.FOverlayFlag1 = 1;
  plot_->Redraw();
  const QImage without = Grab(*plot_);

  open_answer_ = {folder / "lower.vr2", folder / "other.vr2"};
  Click("MultiFile", "AddNew->");
  ASSERT_TRUE(record_.FOverlayNames.has_value());
  EXPECT_EQ(*record_.FOverlayNames,
            (StringList{(folder / "lower.vr2").string(), (folder / "other.vr2").string()}));
  auto* list = Find<QListWidget>("MultiFile", "List");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text().toStdString(), "lower.vr2");

  // other.vr2 does not exist: overlay drawing stops there, lower.vr2 is drawn.
  const std::vector<OverlayEntry> entries = OverlayEntriesOf(record_);
  const OverlayLoad load = LoadOverlays(record_, entries, files_, messages_);
  ASSERT_EQ(load.matched.size(), 1u);
  EXPECT_TRUE(GraphShows(record_, load.matched));
  EXPECT_FALSE(Grab(*plot_) == without);

  Click<QCheckBox>("MultiCtl", "Show Legends");
  EXPECT_EQ(record_.FOverlayFlag2, 1);
  Click<QCheckBox>("MultiCtl", "Show MultiCurves");
  EXPECT_EQ(record_.FOverlayFlag1, 0);
  EXPECT_TRUE(GraphShows(record_));

  list->setCurrentRow(0);
  Click("MultiFile", "->Remove");
  EXPECT_EQ(*record_.FOverlayNames, StringList{(folder / "other.vr2").string()});
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text().toStdString(), "other.vr2");
}

TEST_F(DataPlotFormat, OverlayListSavesAndLoadsThroughTheDialogs) {
  TempFolder folder;
  record_.SetOverlayNames({"/x/one.vr2", "/x/two.vr2"}, std::nullopt);
  plot_->Redraw();
  save_answer_ = folder / "overlays.txt";
  Click("MultiFile", "Save");
  EXPECT_EQ(folder.Read("overlays.txt"), "/x/one.vr2\n/x/two.vr2\n");

  record_.ClearOverlayNames();
  plot_->Redraw();
  open_answer_ = {folder / "overlays.txt"};
  Click("MultiFile", "Load");
  EXPECT_EQ(record_.FOverlayNames, (StringList{"/x/one.vr2", "/x/two.vr2"}));
  EXPECT_EQ(Find<QListWidget>("MultiFile", "List")->count(), 2);

  save_answer_ = folder / "missing folder" / "overlays.txt";
  Click("MultiFile", "Save");
  EXPECT_EQ(messages_.Texts().size(), 1u);
}

TEST_F(DataPlotFormat, AddingStopsAtEightOverlays) {
  StringList names;
  for (int i = 0; i < 8; ++i) names.push_back("/held" + std::to_string(i) + ".vr2");
  record_.SetOverlayNames(names, std::nullopt);
  plot_->Redraw();
  auto* add = Find<QPushButton>("MultiFile", "AddNew->");
  ASSERT_NE(add, nullptr);
  EXPECT_FALSE(add->isEnabled());
}

}  // namespace
}  // namespace vireon
