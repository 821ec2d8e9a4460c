#include "plot/ui/TPlotForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QRect>
#include <QStatusBar>
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
#include "common/AtomicFile.h"
#include "files/FileIO_Data.h"
#include "plot/AutoScale.h"
#include "plot/PlotFormatFile.h"
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

// The dialogs answer from the test: the next file name, the answer to every question, and
// every message kept.
struct ScriptedDialogs {
  std::optional<std::filesystem::path> next_file;
  std::vector<FileQuestion> questions;
  std::vector<std::string> confirmations;
  bool answer_yes = true;
  std::vector<std::string> messages;
};

class PlotForm : public ::testing::Test {
 protected:
  PlotForm() : app_(argc_, argv_) {}

  PlotFormContext Context() {
    PlotFormDialogs dialogs;
    dialogs.ChooseFile = [this](QWidget*, const FileQuestion& question) {
      script_.questions.push_back(question);
      return std::exchange(script_.next_file, std::nullopt);
    };
    dialogs.Confirm = [this](QWidget*, const std::string& question) {
      script_.confirmations.push_back(question);
      return script_.answer_yes;
    };
    dialogs.ShowMessage = [this](QWidget*, const std::string& text) {
      script_.messages.push_back(text);
    };
    return PlotFormContext{files_, folder_.Path(), dialogs, [this] { return NewSecondary(); }};
  }

  std::unique_ptr<TPlotForm> MakeWindow(PlotRole role) {
    return std::make_unique<TPlotForm>(role, Context());
  }

  TPlotForm* NewSecondary() {
    secondaries_.push_back(std::make_unique<TPlotForm>(
        PlotRole{PlotRoleKind::Secondary, static_cast<int>(secondaries_.size()) + 3}, Context()));
    return secondaries_.back().get();
  }

  template <typename T>
  static T* Find(const TPlotForm& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  int argc_ = 1;
  char name_[9] = "ui_tests";
  char* argv_[2] = {name_, nullptr};
  QApplication app_;
  TempFolder folder_;
  FileContext files_;
  ScriptedDialogs script_;
  std::vector<std::unique_ptr<TPlotForm>> secondaries_;
};

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

// --- Files ------------------------------------------------------------------------------------

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

TEST_F(PlotForm, PreFormatIsKeptOnThePrimaryWithoutTouchingTheRecord) {
  TDataMeas response = ResponseAs(kFrequencyResponse, 10);
  SavePlotFormatFile(folder_ / "next.pf_", CapturePlotFormat(response));

  const auto secondary = MakeWindow({PlotRoleKind::Secondary, 2});
  EXPECT_FALSE(Find<QAction>(*secondary, "LoadPreFormatAction")->isVisible());

  const auto primary = MakeWindow({PlotRoleKind::Primary, 0});
  TDataMeas shown = ResponseAs(kFrequencyResponse, 5);
  primary->ShowRecord(&shown);
  script_.next_file = folder_ / "next.pf_";
  Find<QAction>(*primary, "LoadPreFormatAction")->trigger();
  ASSERT_EQ(script_.questions.size(), 1u);
  EXPECT_EQ(script_.questions[0].title, "Load Data PRE-Format Info");
  EXPECT_EQ(script_.questions[0].filter, "Data Formats (*.pf_)|*.pf_");
  ASSERT_TRUE(primary->PreFormat());
  EXPECT_EQ(*primary->PreFormat(), CapturePlotFormat(response));
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

}  // namespace
}  // namespace vireon
