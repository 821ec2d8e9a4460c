#include "plot/ui/TPlotForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QUrl>

#include <cmath>
#include <filesystem>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "../record/RecordFixtures.h"
#include "../support/TempFolder.h"
#include "PlotFormFixture.h"
#include "common/AtomicFile.h"
#include "config/IniFile.h"
#include "files/FileIO_Data.h"
#include "files/ui/TGridForm.h"
#include "plot/AutoScale.h"
#include "plot/PlotFormatFile.h"
#include "plot/ui/NotesWindow.h"
#include "plot/ui/TDataPlot.h"

namespace vireon {
namespace {

// A response whose scale is far from fitting it, so that every auto-scale changes it.
TDataMeas BadlyScaledResponse() {
  std::vector<double> x, magnitude, phase;
  for (int i = 0; i < 200; ++i) {
    const double f = 20.0 * std::pow(1000.0, i / 199.0);
    x.push_back(f);
    magnitude.push_back(0.01 * (1.0 + 0.5 * std::sin(i / 10.0)));
    phase.push_back(std::fmod(f / 10.0, 360.0) - 180.0);
  }
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, x, {magnitude, phase});
  record.FFields[1].Units = "V";
  record.FFields[1].ShowAsDb = 1;
  record.FFields[1].PerDiv = 50.0;
  record.FFields[1].RefValue = 300.0;
  record.FFields[1].RefDiv = 1;
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[2].Units = "V";
  record.FFields[2].PerDiv = 1000.0;
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FNumDivisions = 10;
  record.FLogX = 1;
  record.FViewStart = 20.0;
  record.FViewStop = 20000.0;
  record.FTitle = "Tweeter at 1 m";
  return record;
}

class PlotForm : public PlotFormFixture {};

// --- Roles and the default record --------------------------------------------------------------

TEST_F(PlotForm, RolesGiveNameCaptionAndComponentName) {
  struct Case {
    PlotRole role;
    const char* name;
    const char* caption;
    const char* component;
  };
  const Case cases[] = {
      {{PlotRoleKind::Primary, 0}, "Primary", "(Primary Plot) -vireon-", "PlotForm"},
      {{PlotRoleKind::Secondary, 2}, "Plot2", "(plot2) -vireon-", "Plot2"},
      {{PlotRoleKind::Secondary, 11}, "Plot11", "(plot11) -vireon-", "Plot11"},
      {{PlotRoleKind::LiveTime, 0}, "LiveTime", "Live Time Data -vireon-", "LiveTimeDP"},
      {{PlotRoleKind::LiveIR, 0}, "LiveIR", "Live IR Data -vireon-", "LiveIRDP"},
      {{PlotRoleKind::AuxPlot, 0}, "AuxPlot", "Auxiliary Data -vireon-", "AuxDP"},
      {{PlotRoleKind::Mic, 0}, "mic", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.role.Name(), c.name);
    EXPECT_EQ(c.role.Caption(), c.caption);
    EXPECT_EQ(c.role.ComponentName(), c.component);
    const auto window = MakeWindow(c.role);
    EXPECT_EQ(window->objectName().toStdString(), c.component);
    // A secondary window's caption is its record's description from the start.
    const bool secondary = c.role.kind == PlotRoleKind::Secondary;
    EXPECT_EQ(window->windowTitle().toStdString(),
              secondary ? "Default Time Domain Data" : c.caption);
  }
}

TEST_F(PlotForm, EveryWindowButThePrimaryOwnsTheDefaultRecord) {
  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  EXPECT_EQ(primary->Record(), nullptr);
  EXPECT_FALSE(Find<QAction>(*primary, "SaveAction")->isEnabled());

  const auto window = MakeWindow({PlotRoleKind::AuxPlot, 0});
  const TDataMeas* record = window->Record();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->FDataType, kTimeDomain);
  EXPECT_EQ(record->FNumPoints, 4096);
  EXPECT_EQ(record->FNumFields, 1);
  EXPECT_EQ(record->FSampleRate, 48000);
  EXPECT_EQ(record->FSampleBits, 16);
  EXPECT_EQ(record->FXUnits, "sec");
  EXPECT_EQ(record->FNumDivisions, 8);
  EXPECT_EQ(record->FTitle, "Default Time Domain Data");
  const std::vector<double>& samples = record->FFields[0].Values;
  ASSERT_EQ(samples.size(), 4096u);
  EXPECT_EQ(samples[0], 1.0);
  EXPECT_EQ(std::accumulate(samples.begin(), samples.end(), 0.0), 1.0);
  EXPECT_EQ(window->Plot()->Title(), TPlotForm::kPlotTitlePrefix);
  // Panel 1 of every window but the primary shows the record's description.
  EXPECT_EQ(window->StatusText(), "Default Time Domain Data");
  EXPECT_EQ(Find<QLabel>(*window, "StatusText")->text(), "Default Time Domain Data");
  EXPECT_GE(window->minimumWidth(), 350);
}

TEST_F(PlotForm, SaveAsThenOpenInAnotherWindowRoundTrips) {
  const auto source = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  source->ShowRecord(&response);

  script_.next_file = folder_ / "tweeter";  // typed without an extension
  source->SaveAs("");
  const std::filesystem::path saved = folder_ / "tweeter.vr2";
  ASSERT_TRUE(std::filesystem::exists(saved));
  EXPECT_EQ(response.FFileName, saved.string());
  EXPECT_EQ(source->windowTitle(), "Tweeter at 1 m");
  ASSERT_EQ(script_.questions.size(), 1u);
  EXPECT_TRUE(script_.questions[0].save);
  EXPECT_EQ(script_.questions[0].default_extension, "vr2");
  // A frequency record is also offered as ".frd", first.
  EXPECT_EQ(script_.questions[0].filter.rfind("Frequency Response (*.frd)|*.frd|", 0), 0u);

  const auto target = MakeWindow({PlotRoleKind::Secondary, 3});
  script_.next_file = saved;
  target->Open();
  ASSERT_EQ(script_.questions.size(), 2u);
  EXPECT_EQ(script_.questions[1].title, "Open Data File");
  EXPECT_EQ(script_.questions[1].default_extension, "frd");
  EXPECT_EQ(script_.questions[1].proposed.parent_path(), folder_.Path());  // the last folder
  const TDataMeas* opened = target->Record();
  EXPECT_EQ(opened->FDataType, kFrequencyResponse);
  EXPECT_EQ(opened->FTitle, "Tweeter at 1 m");
  EXPECT_EQ(opened->FFileName, saved.string());
  for (int column = 0; column < 3; ++column) {
    ASSERT_EQ(opened->FFields[column].Values.size(), 200u);
    for (std::size_t i = 0; i < 200; i += 37) {
      // The file keeps single-precision values.
      EXPECT_EQ(opened->FFields[column].Values[i],
                static_cast<float>(response.FFields[column].Values[i]));
    }
  }
  EXPECT_EQ(target->Plot()->Title(), "Frequency Response");
  EXPECT_EQ(target->windowTitle(), "Tweeter at 1 m");
  EXPECT_EQ(target->StatusText(), "Tweeter at 1 m");
  EXPECT_TRUE(script_.messages.empty());

  // Save writes in place.
  std::filesystem::remove(saved);
  target->Save();
  EXPECT_TRUE(std::filesystem::exists(saved));
}

TEST_F(PlotForm, SaveNamesFollowTheTypedExtension) {
  struct Case {
    const char* typed;
    const char* written;  // empty: refused
  };
  const Case cases[] = {
      {"a.vr2", "a.vr2"},   {"b.vr2extra", "b.vr2"},  // cut to three characters after the dot
      {"c.vrd", "c.vrd"},   {"d.txt", "d.txt"},       // a text export
      {"HoldData.vr2", ""}, {"holddata.VR2", ""},
  };
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  window->ShowRecord(&response);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    script_.messages.clear();
    script_.next_file = folder_ / c.typed;
    window->SaveAs("");
    if (*c.written == '\0') {
      EXPECT_EQ(script_.messages, std::vector<std::string>{std::string(kReservedNameMessage)});
      EXPECT_FALSE(std::filesystem::exists(folder_ / c.typed));
    } else {
      EXPECT_TRUE(script_.messages.empty());
      EXPECT_TRUE(std::filesystem::exists(folder_ / c.written));
      EXPECT_EQ(response.FFileName, (folder_ / c.written).string());
    }
  }
  EXPECT_EQ(BadlyScaledResponse().FFields[1].Values, response.FFields[1].Values);
}

TEST_F(PlotForm, SaveOfAForeignFileProposesTheFrdNameAndAFailedSaveKeepsTheName) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  window->ShowRecord(&response);
  response.FFileName = (folder_ / "woofer.zma").string();

  // The dialog proposes the ".frd" name; the save then fails: its folder does not exist.
  script_.next_file = folder_ / "missing" / "woofer.vr2";
  window->Save();
  ASSERT_EQ(script_.questions.size(), 1u);
  EXPECT_EQ(script_.questions[0].proposed.filename(), "woofer.frd");
  EXPECT_EQ(script_.messages, std::vector<std::string>{TPlotForm::kSaveError});
  EXPECT_EQ(response.FFileName, (folder_ / "woofer.zma").string());

  // "HoldData.vr2" is never written over by Save either.
  script_.messages.clear();
  response.FFileName = (folder_ / "HOLDDATA.vr2").string();
  window->Save();
  EXPECT_EQ(script_.messages, std::vector<std::string>{std::string(kReservedNameMessage)});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "HOLDDATA.vr2"));
}

TEST_F(PlotForm, AFileThatDoesNotLoadLeavesTheShownRecordUnchanged) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  window->ShowRecord(&response);
  const TDataMeas before = response;
  WriteFileAtomically(folder_ / "broken.vr2", std::string("\x05\x00\x00", 3));

  for (const char* name : {"broken.vr2", "absent.vr2"}) {
    SCOPED_TRACE(name);
    script_.messages.clear();
    EXPECT_FALSE(window->OpenFile(folder_ / name));
    EXPECT_EQ(script_.messages.size(), 1u);  // the loader's message
    EXPECT_EQ(window->Record(), &response);
    EXPECT_EQ(response.FNumPoints, before.FNumPoints);
    EXPECT_EQ(response.FFields[1].Values, before.FFields[1].Values);
    EXPECT_EQ(response.FTitle, before.FTitle);
    EXPECT_EQ(response.FFileName, before.FFileName);
  }
}

TEST_F(PlotForm, FileCommandsWaitWhileMeasuring) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  CollectedMessages ignored;
  ASSERT_TRUE(SaveDataFile(folder_ / "r.vr2", response, false, ignored));
  window->SetMeasuring(true);
  EXPECT_FALSE(window->OpenFile(folder_ / "r.vr2"));
  EXPECT_EQ(window->Record()->FTitle, "Default Time Domain Data");
  EXPECT_FALSE(Find<QAction>(*window, "OpenAction")->isEnabled());
  window->SetMeasuring(false);
  EXPECT_TRUE(window->OpenFile(folder_ / "r.vr2"));
  EXPECT_EQ(window->Record()->FTitle, "Tweeter at 1 m");
}

TEST_F(PlotForm, DesktopFileDropsOpenDataFilesOnly) {
  TDataMeas response = BadlyScaledResponse();
  CollectedMessages ignored;
  for (const char* name : {"r.VR2", "r.txt"}) {
    ASSERT_TRUE(SaveDataFile(folder_ / name, response, false, ignored));
  }
  struct Case {
    PlotRoleKind kind;
    const char* file;
    bool opens;
  };
  const Case cases[] = {
      {PlotRoleKind::Secondary, "r.VR2", true},
      {PlotRoleKind::AuxPlot, "r.VR2", true},
      {PlotRoleKind::Secondary, "r.txt", false},  // not a kind a drop opens
      {PlotRoleKind::LiveTime, "r.VR2", false},   // live windows open nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " on " << int(c.kind));
    const auto window = MakeWindow({c.kind, 2});
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((folder_ / c.file).string()))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), c.opens);
    if (enter.isAccepted()) {
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(window.get(), &drop);
    }
    EXPECT_EQ(window->Record()->FTitle, c.opens ? "Tweeter at 1 m" : "Default Time Domain Data");
  }
}

// --- Status bar -------------------------------------------------------------------------------

TEST_F(PlotForm, LightningButtonAutoScalesBothTracesAndRightClickSharesTheScale) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  QToolButton* lightning = Find<QToolButton>(*window, "LightningButton");
  for (const bool right_click : {false, true}) {
    SCOPED_TRACE(right_click ? "right" : "left");
    TDataMeas record = BadlyScaledResponse();
    TDataMeas expected = record;
    ASSERT_TRUE(right_click ? AutoScaleShared(expected, {}) : AutoScaleTraces(expected, {}));
    window->ShowRecord(&record);
    if (right_click) {
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                              lightning->mapToGlobal(QPoint(2, 2)));
      QApplication::sendEvent(lightning, &event);
    } else {
      lightning->click();
    }
    for (int column : {1, 2}) {
      EXPECT_EQ(record.FFields[column].PerDiv, expected.FFields[column].PerDiv) << column;
      EXPECT_EQ(record.FFields[column].RefValue, expected.FFields[column].RefValue) << column;
      EXPECT_EQ(record.FFields[column].RefDiv, expected.FFields[column].RefDiv) << column;
    }
  }
}

TEST_F(PlotForm, PrimaryStartStopAndDomainButtonsAskTheMainForm) {
  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  int starts = 0, stops = 0, toggles = 0;
  QObject::connect(primary.get(), &TPlotForm::StartRequested, [&] { ++starts; });
  QObject::connect(primary.get(), &TPlotForm::StopRequested, [&] { ++stops; });
  QObject::connect(primary.get(), &TPlotForm::DomainToggleRequested, [&] { ++toggles; });
  QToolButton* start_stop = Find<QToolButton>(*primary, "StartStopButton");
  QToolButton* domain = Find<QToolButton>(*primary, "DomainButton");

  EXPECT_EQ(start_stop->text(), "Start [F12]");
  start_stop->click();
  primary->SetMeasuring(true);
  EXPECT_EQ(start_stop->text(), "Stop [Esc]");
  start_stop->click();
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(stops, 1);

  domain->click();
  primary->SetDomainChangeable(false);
  domain->click();
  EXPECT_EQ(toggles, 1);

  QLabel* status = Find<QLabel>(*primary, "StatusText");
  primary->ShowInputOverload();
  EXPECT_EQ(status->text(), "REDUCE INPUT!");
  primary->SetStatusText("Measuring");
  EXPECT_EQ(status->text(), "Measuring");

  // Secondary windows have neither button, and another hint.
  const auto secondary = MakeWindow({PlotRoleKind::Secondary, 2});
  EXPECT_EQ(secondary->findChild<QToolButton*>("StartStopButton"), nullptr);
  EXPECT_EQ(secondary->findChild<QToolButton*>("DomainButton"), nullptr);
  EXPECT_EQ(primary->statusBar()->toolTip().toStdString(),
            "The \"lightning\" button auto scales the graph.\r\n"
            "The clock (or blue graph) button changes the function domain");
  EXPECT_EQ(
      secondary->statusBar()->toolTip().toStdString(),
      "Drag from another Plot to this bottom area\r\n  to copy its formating to this graph.\r\n"
      "Drag to the main body of this graph to copy\r\n  entire graphs and data.");
}

// --- Closing, hold, overlays, clone -----------------------------------------------------------

TEST_F(PlotForm, ThePrimaryHidesOnCloseWhileOthersAreFreed) {
  TPlotForm primary({PlotRoleKind::Primary, 0}, Context());
  primary.show();
  EXPECT_TRUE(primary.close());
  EXPECT_FALSE(primary.isVisible());

  QPointer<TPlotForm> secondary = new TPlotForm({PlotRoleKind::Secondary, 2}, Context());
  secondary->show();
  EXPECT_TRUE(secondary->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(secondary.isNull());
}

TEST_F(PlotForm, HoldIsThePrimarysAndStopsAtEightOverlays) {
  const auto secondary = MakeWindow({PlotRoleKind::Secondary, 2});
  EXPECT_FALSE(Find<QAction>(*secondary, "HoldAction")->isVisible());

  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  TDataMeas record = BadlyScaledResponse();
  primary->ShowRecord(&record);
  QAction* hold = Find<QAction>(*primary, "HoldAction");
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(hold->isEnabled()) << i;
    hold->trigger();
  }
  ASSERT_TRUE(record.FOverlayNames);
  EXPECT_EQ(record.FOverlayNames->size(), 8u);
  EXPECT_FALSE(hold->isEnabled());

  // ClearMulti asks first; "No" keeps the overlays, "Yes" removes them and enables Hold again.
  script_.answer_yes = false;
  Find<QAction>(*primary, "ClearMultiAction")->trigger();
  EXPECT_EQ(record.FOverlayNames->size(), 8u);
  script_.answer_yes = true;
  primary->ClearMulti();
  EXPECT_FALSE(record.FOverlayNames && !record.FOverlayNames->empty());
  EXPECT_TRUE(hold->isEnabled());
  secondary->ClearMulti();
  EXPECT_EQ(script_.confirmations,
            (std::vector<std::string>{"Clear all \"Multiplot\" or \"Hold\" traces?",
                                      "Clear all \"Multiplot\" or \"Hold\" traces?",
                                      "Clear all \"Multiplot\" traces?"}));
}

TEST_F(PlotForm, CloneCopiesTheRecordIntoANewSecondaryPlot) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas record = BadlyScaledResponse();
  window->ShowRecord(&record);
  window->Plot()->SetTitle("Left");

  Find<QAction>(*window, "CloneAction")->trigger();
  ASSERT_EQ(secondaries_.size(), 1u);
  const TPlotForm& clone = *secondaries_.front();
  EXPECT_EQ(clone.objectName(), "Plot3");
  ASSERT_NE(clone.Record(), &record);
  EXPECT_EQ(clone.Record()->FFields[1].Values, record.FFields[1].Values);
  EXPECT_EQ(clone.Plot()->Title(), "Left");
  EXPECT_EQ(clone.windowTitle(), "Tweeter at 1 m");

  // The copy is the clone's own.
  record.FFields[1].Values[0] = 7.0;
  EXPECT_NE(clone.Record()->FFields[1].Values[0], 7.0);
}

TEST_F(PlotForm, FormatTogglesThePlotsFormatPanel) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  QAction* format = Find<QAction>(*window, "FormatAction");
  format->trigger();
  EXPECT_TRUE(window->Plot()->FormatPanelVisible());
  EXPECT_TRUE(format->isChecked());
  format->trigger();
  EXPECT_FALSE(window->Plot()->FormatPanelVisible());
  EXPECT_FALSE(format->isChecked());
}

// --- Plot formats -----------------------------------------------------------------------------

// The response with a format of its own, as another record of the given type.
TDataMeas ResponseAs(std::uint8_t type, int divisions) {
  TDataMeas record = BadlyScaledResponse();
  record.FDataType = type;
  record.FNumDivisions = divisions;
  return record;
}

// A new window takes the primary plot's identification table and trace colours; its own
// background and grid colours stay the defaults.
TEST_F(PlotForm, NewWindowsTakeTheLookOfThePrimary) {
  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  TDataMeas shown = ResponseAs(kFrequencyResponse, 10);
  shown.FColors[0] = 0x101010;
  shown.FColors[3] = 0x00AA00;
  shown.FColors[4] = 0xAA0000;
  shown.FOverlayStyles[2] = {0x123456, 5};
  primary->ShowRecord(&shown);

  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  const TDataMeas& own = *window->Record();
  EXPECT_EQ(own.FColors[3], 0x00AA00u);
  EXPECT_EQ(own.FColors[4], 0xAA0000u);
  EXPECT_EQ(own.FOverlayStyles, shown.FOverlayStyles);
  EXPECT_EQ(own.FColors[0], DefaultPlotRecord(files_.Defaults).FColors[0]);
}

// --- Files ------------------------------------------------------------------------------------

TEST_F(PlotForm, SaveFormatThenLoadFormatCopiesTheFormatThroughTheDialogs) {
  const auto source = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = ResponseAs(kFrequencyResponse, 10);
  response.FMarkerX[2] = 440.0f;
  response.FMarkerOn[2] = 1;
  source->ShowRecord(&response);

  script_.next_file = "tweeter";  // a bare name: the data folder, as a format file
  Find<QAction>(*source, "SaveFormatAction")->trigger();
  const std::filesystem::path saved = folder_ / "tweeter.pf_";
  ASSERT_TRUE(std::filesystem::exists(saved));
  ASSERT_EQ(script_.questions.size(), 1u);
  EXPECT_TRUE(script_.questions[0].save);
  EXPECT_EQ(script_.questions[0].filter, "Data Formats (*.pf_)|*.pf_");
  EXPECT_EQ(script_.questions[0].default_extension, "pf_");

  const auto target = MakeWindow({PlotRoleKind::Secondary, 3});
  TDataMeas spectrum = ResponseAs(kSpectrum, 6);
  spectrum.FFields[1].PerDiv = 3.0;
  target->ShowRecord(&spectrum);
  script_.next_file = saved;
  Find<QAction>(*target, "LoadFormatAction")->trigger();
  ASSERT_EQ(script_.questions.size(), 2u);
  EXPECT_FALSE(script_.questions[1].save);
  EXPECT_EQ(script_.questions[1].title, "Load Data Format Info");
  EXPECT_EQ(spectrum.FDataType, kSpectrum);  // the target keeps its type
  EXPECT_EQ(spectrum.FNumDivisions, 10);
  EXPECT_EQ(spectrum.FFields[1].PerDiv, response.FFields[1].PerDiv);
  EXPECT_EQ(spectrum.FMarkerX[2], 440.0f);
  EXPECT_TRUE(target->FormatNotices().Texts().empty());
  EXPECT_TRUE(script_.messages.empty());
}

TEST_F(PlotForm, FormatLoadsThatFailLeaveTheRecordAndAreNoticed) {
  WriteFileAtomically(folder_ / "broken.pf_", "[PlotFormat]\nCurve0=1\n");
  TDataMeas impedance = ResponseAs(kImpedance, 4);
  SavePlotFormatFile(folder_ / "imp.pf_", CapturePlotFormat(impedance));
  struct Case {
    PlotRoleKind kind;
    const char* file;
    std::string notice;
  };
  const Case cases[] = {
      {PlotRoleKind::Secondary, "broken.pf_",
       "Error loading Plot Format File:" + (folder_ / "broken.pf_").string()},
      {PlotRoleKind::Secondary, "imp.pf_", "Plot format load to secondary Plot is not compatible"},
      {PlotRoleKind::Primary, "imp.pf_", "Plot format load to Primary Plot is not compatible"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    const auto window = MakeWindow({c.kind, 2});
    TDataMeas response = ResponseAs(kFrequencyResponse, 9);
    window->ShowRecord(&response);
    script_.next_file = folder_ / c.file;
    window->LoadFormat();
    EXPECT_EQ(window->FormatNotices().Texts(), std::vector<std::string>{c.notice});
    EXPECT_EQ(response.FNumDivisions, 9);
    EXPECT_TRUE(script_.messages.empty());  // notices are not shown
  }
}

TEST_F(PlotForm, PreFormatIsHandedOnByThePrimaryWithoutTouchingTheRecord) {
  TDataMeas response = ResponseAs(kFrequencyResponse, 10);
  SavePlotFormatFile(folder_ / "next.pf_", CapturePlotFormat(response));

  const auto secondary = MakeWindow({PlotRoleKind::Secondary, 2});
  EXPECT_FALSE(Find<QAction>(*secondary, "LoadPreFormatAction")->isVisible());

  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  TDataMeas shown = ResponseAs(kFrequencyResponse, 5);
  primary->ShowRecord(&shown);
  std::optional<PlotFormat> handed_on;
  QObject::connect(primary.get(), &TPlotForm::PreFormatLoaded,
                   [&handed_on](const PlotFormat& format) { handed_on = format; });
  script_.next_file = folder_ / "next.pf_";
  Find<QAction>(*primary, "LoadPreFormatAction")->trigger();
  ASSERT_EQ(script_.questions.size(), 1u);
  EXPECT_EQ(script_.questions[0].title, "Load Data PRE-Format Info");
  EXPECT_EQ(script_.questions[0].filter, "Data Formats (*.pf_)|*.pf_");
  ASSERT_TRUE(handed_on);
  EXPECT_EQ(*handed_on, CapturePlotFormat(response));
  EXPECT_EQ(shown.FNumDivisions, 5);
}

TEST_F(PlotForm, PlotsDroppedOnTheStatusBarGiveTheirFormatWhereTheTypesAllow) {
  const auto source = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = ResponseAs(kFrequencyResponse, 10);
  response.FWeighting = TWeighting{"Pink", "", 0, 0, {{1000.0, 2.0, 0.0}}};
  source->ShowRecord(&response);
  struct Case {
    PlotRoleKind kind;
    std::uint8_t type;
    bool applied;
  };
  const Case cases[] = {
      {PlotRoleKind::Secondary, kSpectrum, true},
      {PlotRoleKind::Secondary, kImpedance, false},
      {PlotRoleKind::Primary, kSpectrum, false},  // onto the primary only the same type
      {PlotRoleKind::Primary, kFrequencyResponse, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int{c.type});
    const auto target = MakeWindow({c.kind, 3});
    target->resize(500, 400);
    TDataMeas record = ResponseAs(c.type, 4);
    target->ShowRecord(&record);
    EXPECT_EQ(target->CopyFormatFrom(*source->Plot()), c.applied);
    EXPECT_EQ(record.FDataType, c.type);
    EXPECT_EQ(record.FNumDivisions, c.applied ? 10 : 4);
    // The source's weighting came along though no such file exists.
    EXPECT_EQ(record.FWeighting.has_value(), c.applied);
  }
  EXPECT_FALSE(source->CopyFormatFrom(*source->Plot()));

  // Only the status bar takes the format; the plot body takes whole records.
  source->resize(500, 400);
  source->show();
  const QRect bar = source->statusBar()->geometry();
  EXPECT_TRUE(source->IsFormatDropArea(bar.center()));
  EXPECT_FALSE(source->IsFormatDropArea(source->Plot()->geometry().center()));
}

// --- Recently used files, notes, table ---------------------------------------------------------

QMenu* OpenedFileMenu(const TPlotForm& window) {
  QMenu* menu = window.findChild<QMenu*>("FileMenu");
  EXPECT_NE(menu, nullptr);
  emit menu->aboutToShow();
  return menu;
}

std::vector<std::string> RecentCaptions(const TPlotForm& window) {
  std::vector<std::string> captions;
  for (const QAction* action : OpenedFileMenu(window)->actions()) {
    if (action->objectName().startsWith("RecentFile")) {
      captions.push_back(action->text().toStdString());
    }
  }
  return captions;
}

TEST_F(PlotForm, RecentFilesAreSharedByAllWindowsAndOpenLikeOpen) {
  const auto writer = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  writer->ShowRecord(&response);
  std::filesystem::create_directories(folder_ / "sub");
  for (const char* name : {"a & b.vr2", "sub/c.vr2"}) {
    script_.next_file = folder_ / name;
    writer->SaveAs("");
  }
  // Saved in the data folder at once.
  const IniFile ini = IniFile::FromFile(folder_ / "MRU_list.qtq");
  EXPECT_EQ(ini.ReadString("Most Recently Used Files", "File0", ""),
            (folder_ / "sub/c.vr2").string());

  const auto reader = MakeWindow({PlotRoleKind::Secondary, 3});
  EXPECT_EQ(RecentCaptions(*reader), (std::vector<std::string>{"1 sub/c.vr2", "2 a && b.vr2"}));
  reader->findChild<QAction*>("RecentFile1")->trigger();
  EXPECT_EQ(reader->Record()->FFileName, (folder_ / "a & b.vr2").string());
  EXPECT_EQ(RecentCaptions(*writer), (std::vector<std::string>{"1 a && b.vr2", "2 sub/c.vr2"}));

  reader->SetMeasuring(true);
  OpenedFileMenu(*reader);
  EXPECT_FALSE(reader->findChild<QAction*>("RecentFile0")->isEnabled());

  // The first window of a program run reads the list; vanished files are left out.
  std::filesystem::remove(folder_ / "sub/c.vr2");
  session_ = std::make_shared<PlotSession>();
  const auto next_run = MakeWindow({PlotRoleKind::Secondary, 2});
  EXPECT_EQ(RecentCaptions(*next_run), std::vector<std::string>{"1 a && b.vr2"});
}

TEST_F(PlotForm, NotesAreEditedInTheirWindowAndKeptWithTheRecord) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas response = BadlyScaledResponse();
  window->ShowRecord(&response);
  const auto edit = [](NotesWindow& notes, const char* text,
                       QDialogButtonBox::StandardButton button) {
    notes.findChild<QPlainTextEdit*>("NotesEditor")->setPlainText(text);
    notes.findChild<QDialogButtonBox*>()->button(button)->click();
  };

  Find<QAction>(*window, "NotesAction")->trigger();
  NotesWindow* notes = window->Notes();
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->windowTitle(), "Notes: Tweeter at 1 m");
  edit(*notes, "first\nsecond", QDialogButtonBox::Ok);
  ASSERT_TRUE(response.FNotes);
  EXPECT_EQ(*response.FNotes, (StringList{"first", "second"}));
  window->ShowNotes();
  EXPECT_EQ(window->Notes(), notes);  // one per window
  edit(*notes, "discarded", QDialogButtonBox::Cancel);
  EXPECT_EQ(*response.FNotes, (StringList{"first", "second"}));

  // The native file keeps them.
  script_.next_file = folder_ / "noted.vr2";
  window->SaveAs("");
  const auto reader = MakeWindow({PlotRoleKind::Secondary, 3});
  ASSERT_TRUE(reader->OpenFile(folder_ / "noted.vr2"));
  ASSERT_TRUE(reader->Record()->FNotes);
  EXPECT_EQ(*reader->Record()->FNotes, (StringList{"first", "second"}));

  // Open notes follow the record shown: accepting them never writes into another record.
  reader->ShowNotes();
  TDataMeas other = BadlyScaledResponse();
  reader->ShowRecord(&other);
  EXPECT_TRUE(reader->Notes()->findChild<QPlainTextEdit*>("NotesEditor")->toPlainText().isEmpty());
  edit(*reader->Notes(), "for the other", QDialogButtonBox::Ok);
  EXPECT_EQ(*other.FNotes, StringList{"for the other"});
  reader->ShowRecord(nullptr);
  EXPECT_EQ(*reader->Record()->FNotes, (StringList{"first", "second"}));
}

TEST_F(PlotForm, TableFollowsTheRecordAndGoesBeforeIt) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  auto first = std::make_unique<TDataMeas>(BadlyScaledResponse());
  window->ShowRecord(first.get());
  Find<QAction>(*window, "TableAction")->trigger();
  QPointer<TGridForm> table = window->Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->windowTitle(), "Tweeter at 1 m");
  EXPECT_TRUE(table->isWindow());
  EXPECT_EQ(table->StatusText(), "Tweeter at 1 m");
  window->ShowTable();
  EXPECT_EQ(window->Table(), table.data());  // raised, not doubled

  const auto row = [&window] {
    const TGridForm& shown = *window->Table();
    QString cells;
    for (int column = 0; column < shown.ColumnCount(); ++column)
      cells += shown.CellText(column, 1) + "|";
    return cells;
  };
  const QString before = row();
  first->FFields[1].Values[0] *= 3.0;
  emit window->Plot()->RecordChanged();
  EXPECT_NE(row(), before);

  // Another record: the table shows it, and the one shown before may go at once.
  TDataMeas second = BadlyScaledResponse();
  second.FTitle = "Woofer";
  window->ShowRecord(&second);
  first.reset();
  emit window->Plot()->RecordChanged();
  ASSERT_NE(window->Table(), nullptr);
  EXPECT_EQ(window->Table()->windowTitle(), "Woofer");
  EXPECT_EQ(row(), before);  // the second record's values: those the first had at the start

  table = window->Table();
  window->close();  // a secondary window is freed; its table goes first
  EXPECT_EQ(table, nullptr);
}

TEST_F(PlotForm, AllowAllLFClearsTheLowestUsableFrequencyOfHzRecords) {
  struct Case {
    const char* units;
    double lowest;
    bool enabled;
  };
  const Case cases[] = {
      {"Hz", 20.0, true}, {"Hz", 0.0, false}, {"Hz", 1e-13, false}, {"sec", 20.0, false}};
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  QAction* allow = Find<QAction>(*window, "AllowAllLFAction");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.units) + " " + std::to_string(c.lowest));
    TDataMeas record = BadlyScaledResponse();
    record.FXUnits = c.units;
    record.FBinWidth[0] = c.lowest;
    window->ShowRecord(&record);
    EXPECT_EQ(allow->isEnabled(), c.enabled);
    if (!c.enabled) continue;
    allow->trigger();
    EXPECT_EQ(record.FBinWidth[0], 0.0);
    EXPECT_FALSE(allow->isEnabled());
  }
  window->ShowRecord(nullptr);
}

TEST_F(PlotForm, ColorsOfThePrimaryAreTakenWhenSwitchedOnAndGivenToOpenedFiles) {
  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  TDataMeas main_record = BadlyScaledResponse();
  main_record.FOverlayStyles[0] = {0x0000AA, 3};
  primary->ShowRecord(&main_record);
  primary->Plot()->SetBackColor(0x123456);
  EXPECT_EQ(Find<QAction>(*primary, "PrimaryColorsAction")->text(), "Keep Color Scheme on Open");

  TDataMeas stored = BadlyScaledResponse();
  stored.FColors[0] = 0x00FF00;
  CollectedMessages ignored;
  ASSERT_TRUE(SaveDataFile(folder_ / "green.vr2", stored, false, ignored));

  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  QAction* option = Find<QAction>(*window, "PrimaryColorsAction");
  EXPECT_EQ(option->text(), "Use Colors of Primary on Open");
  option->trigger();
  EXPECT_TRUE(option->isChecked());
  primary->Plot()->SetBackColor(0x654321);  // later changes are not taken
  ASSERT_TRUE(window->OpenFile(folder_ / "green.vr2"));
  EXPECT_EQ(window->Plot()->BackColor(), 0x123456u);
  EXPECT_EQ(window->Record()->FOverlayStyles[0].Color, 0x0000AAu);

  option->trigger();
  EXPECT_FALSE(session_->colors_on_open);
  ASSERT_TRUE(window->OpenFile(folder_ / "green.vr2"));
  EXPECT_EQ(window->Plot()->BackColor(), 0x00FF00u);
}

TEST_F(PlotForm, KeysAndShowFormsGoToTheMainForm) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  int toggles = 0;
  std::vector<int> released;
  int show_forms = 0;
  QObject::connect(window.get(), &TPlotForm::ToggleRequested, [&] { ++toggles; });
  QObject::connect(window.get(), &TPlotForm::KeyReleased,
                   [&](int key) { released.push_back(key); });
  QObject::connect(window.get(), &TPlotForm::ShowFormsRequested, [&] { ++show_forms; });
  const auto key = [&window](QEvent::Type type, int code, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(type, code, modifiers);
    QApplication::sendEvent(window.get(), &event);
  };
  key(QEvent::KeyPress, Qt::Key_B, Qt::ControlModifier);
  key(QEvent::KeyRelease, Qt::Key_B, Qt::ControlModifier);
  key(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
  key(QEvent::KeyRelease, Qt::Key_F5, Qt::NoModifier);
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(released, std::vector<int>{Qt::Key_F5});

  QAction* action = Find<QAction>(*window, "ShowFormsAction");
  EXPECT_FALSE(action->isVisible());
  window->showMaximized();
  EXPECT_TRUE(action->isVisible());
  action->trigger();
  EXPECT_EQ(show_forms, 1);
  window->showNormal();
  EXPECT_FALSE(action->isVisible());
}

// --- PlotSets ----------------------------------------------------------------------------------

TEST_F(PlotForm, PlotSetsShowOneMemberAtATimeInOnePlace) {
  using Tabs = std::pair<std::vector<std::string>, int>;  // the captions, the selected one
  const auto tabs = [](const TPlotForm& window) {
    const QTabBar* bar = window.findChild<QTabBar*>("PlotSetTabs");
    std::vector<std::string> names;
    for (int i = 0; i < bar->count(); ++i) names.push_back(bar->tabText(i).toStdString());
    return Tabs(names, bar->isVisibleTo(&window) ? bar->currentIndex() : -1);
  };
  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  const auto first = MakeWindow({PlotRoleKind::Secondary, 2});
  const auto second = MakeWindow({PlotRoleKind::Secondary, 7});
  for (TPlotForm* window : {primary.get(), first.get(), second.get()}) window->show();
  first->setGeometry(100, 120, 500, 400);
  second->setGeometry(300, 50, 450, 380);

  Find<QAction>(*first, "StartPlotSetAction")->trigger();
  EXPECT_EQ(tabs(*first), Tabs({"Plot2"}, 0));
  script_.chosen_row = 3;
  Find<QAction>(*first, "AddPlotToSetAction")->trigger();
  ASSERT_EQ(script_.row_questions.size(), 1u);
  EXPECT_EQ(script_.row_questions[0].first, "Add Plot to Set");
  EXPECT_EQ(script_.row_questions[0].second,
            (std::vector<std::string>{"<create new plot>", "Primary", "Plot2", "Plot7"}));
  // The new member shows in the set's place; the other hides.
  EXPECT_EQ(first->PlotSetMembers(), (std::vector<TPlotForm*>{first.get(), second.get()}));
  EXPECT_EQ(second->PlotSetMembers(), first->PlotSetMembers());
  EXPECT_FALSE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  EXPECT_EQ(second->geometry(), QRect(100, 120, 500, 400));
  EXPECT_EQ(tabs(*second), Tabs({"Plot2", "Plot7"}, 1));

  // A tab shows its member in place of the one shown.
  second->resize(520, 410);
  second->findChild<QTabBar*>("PlotSetTabs")->setCurrentIndex(0);
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(second->isVisible());
  EXPECT_EQ(first->geometry(), QRect(100, 120, 520, 410));
  EXPECT_EQ(tabs(*second), Tabs({"Plot2", "Plot7"}, 1));

  // "<create new plot>" and the primary join; live windows never do.
  script_.chosen_row = 0;
  first->AddPlotToSet();
  ASSERT_EQ(secondaries_.size(), 1u);
  EXPECT_TRUE(first->AddToPlotSet(*primary));
  EXPECT_EQ(tabs(*primary), Tabs({"Plot2", "Plot7", "Plot3", "Primary"}, 3));
  const auto live = MakeWindow({PlotRoleKind::LiveIR, 0});
  EXPECT_FALSE(first->AddToPlotSet(*live));
  EXPECT_FALSE(Find<QAction>(*live, "PlotSetsMenu")->isVisible());
  EXPECT_TRUE(Find<QAction>(*primary, "PlotSetsMenu")->isVisible());

  // Isolating asks; the window leaves, moves off the set's place and the set goes on.
  const QPoint was = primary->pos();
  script_.answer_yes = false;
  emit primary->findChild<QTabBar*>("PlotSetTabs")->customContextMenuRequested({});
  EXPECT_EQ(primary->PlotSetMembers().size(), 4u);
  script_.answer_yes = true;
  primary->IsolateFromPlotSet();
  EXPECT_EQ(script_.confirmations,
            (std::vector<std::string>{"Isolate \"Primary\" from the Plot Set?",
                                      "Isolate \"Primary\" from the Plot Set?"}));
  EXPECT_TRUE(primary->PlotSetMembers().empty());
  EXPECT_EQ(tabs(*primary).second, -1);
  EXPECT_EQ(primary->pos(), was + QPoint(20, 20));
  EXPECT_TRUE(first->isVisible());  // shown in the primary's place
  EXPECT_EQ(tabs(*first), Tabs({"Plot2", "Plot7", "Plot3"}, 0));

  // A closed member leaves every list; the set still shows one of the others.
  first->close();
  EXPECT_EQ(second->PlotSetMembers(),
            (std::vector<TPlotForm*>{second.get(), secondaries_[0].get()}));
  EXPECT_TRUE(second->isVisible());
  EXPECT_EQ(tabs(*second), Tabs({"Plot7", "Plot3"}, 0));
}

}  // namespace
}  // namespace vireon
