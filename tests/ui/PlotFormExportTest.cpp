#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../record/RecordFixtures.h"
#include "PlotFormFixture.h"
#include "files/TextExports.h"
#include "files/WavFile.h"
#include "plot/ui/AsciiExportDialog.h"
#include "plot/ui/TPlotForm.h"

namespace vireon {
namespace {

class PlotFormExport : public PlotFormFixture {};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// 1, 2, ... 10 kHz with a flat magnitude (trace A) and no trace B.
TDataMeas FlatResponse() {
  std::vector<double> x, magnitude;
  for (int i = 1; i <= 10; ++i) {
    x.push_back(1000.0 * i);
    magnitude.push_back(1.0);
  }
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, x, {magnitude});
  record.FXUnits = "Hz";
  record.FFields[1].ShowAsDb = 1;
  record.FTraceA = 1;
  record.FViewStart = 1000.0;
  record.FViewStop = 10000.0;
  record.FFileName = "/somewhere/response.frd";
  return record;
}

TEST_F(PlotFormExport, AsciiExportWritesTheHeaderLinesAndTheChosenRange) {
  struct Case {
    bool comma;
    const char* typed;
    const char* written;
    int selected_filter;  // "Comma Separated (*.csv)" is preselected with the comma option
    const char* separator;
  };
  const Case cases[] = {{true, "out", "out.csv", 2, ","}, {false, "plain", "plain.txt", 0, "   "}};
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas record = FlatResponse();
  window->ShowRecord(&record);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    script_.questions.clear();
    script_.ascii_choice = AsciiExportChoice{{"Line one", "Line two"}, c.comma, 2500.0, 5000.0};
    script_.next_file = folder_ / c.typed;
    Find<QAction>(*window, "ExportAsciiAction")->trigger();

    ASSERT_EQ(script_.questions.size(), 1u);
    EXPECT_EQ(script_.questions[0].selected_filter, c.selected_filter);
    EXPECT_EQ(script_.questions[0].filter,
              "ASCII Export Files(*.*)|*.*|Text files (*.txt)|*.TXT|Comma Separated (*.csv)|*.CSV");
    const std::vector<std::string> lines = Lines(folder_.Read(c.written));
    ASSERT_EQ(lines.size(), 5u);  // two header lines, then 3, 4 and 5 kHz
    EXPECT_EQ(lines[0], "Line one");
    EXPECT_EQ(lines[1], "Line two");
    for (int i = 0; i < 3; ++i) {
      const std::string& line = lines[2 + i];
      const auto split = line.find(c.separator);
      ASSERT_NE(split, std::string::npos) << line;
      EXPECT_DOUBLE_EQ(std::stod(line.substr(0, split)), 3000.0 + 1000.0 * i);
      // x and trace A only: the record has no trace B.
      EXPECT_EQ(line.find(c.separator, split + 1), std::string::npos) << line;
    }
  }
  // The range offered is the view range, in the record's units.
  ASSERT_FALSE(script_.ascii_questions.empty());
  EXPECT_EQ(script_.ascii_questions[0].start, 1000.0);
  EXPECT_EQ(script_.ascii_questions[0].stop, 10000.0);
  EXPECT_EQ(script_.ascii_questions[0].units, "Hz");
  EXPECT_TRUE(script_.messages.empty());
}

TEST_F(PlotFormExport, WaterfallExportKeepsTheSlicesOfTheChosenTimes) {
  TDataMeas record = FlatResponse();
  record.FPlotKind = 2;
  record.FSliceUnits = "sec";
  record.FSliceValues = {0.0, 0.001, 0.002, 0.003};
  record.FSlices = {DataArray(10, 1.0), DataArray(10, 2.0), DataArray(10, 3.0), DataArray(10, 4.0)};
  record.FSliceCount = 4;
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  window->ShowRecord(&record);
  script_.ascii_choice = AsciiExportChoice{{}, true, 0.0025, 0.0005};  // typed the wrong way round
  script_.next_file = folder_ / "slices.csv";
  window->ExportAscii();

  ASSERT_EQ(script_.ascii_questions.size(), 1u);
  EXPECT_EQ(script_.ascii_questions[0].start, 0.0);  // the slices' times are offered
  EXPECT_EQ(script_.ascii_questions[0].stop, 0.003);
  EXPECT_EQ(script_.ascii_questions[0].units, "sec");
  const std::vector<std::string> lines = Lines(folder_.Read("slices.csv"));
  ASSERT_EQ(lines.size(), 12u);  // the header, the slice times, ten points
  EXPECT_EQ(lines[1], ", 0.001, 0.002");
  EXPECT_EQ(lines[2], "1000, 2, 3");
  EXPECT_EQ(record.FSliceCount, 4);  // the shown record keeps its slices
}

TEST_F(PlotFormExport, WavExportIsScaledToTheLevelAndKeepsItForTheSession) {
  struct Case {
    double level_db;
    double peak;  // of the file, relative to full scale; above 0 dB is full scale
  };
  const Case cases[] = {{-6.0, std::pow(10.0, -6.0 / 20.0)}, {4.0, 1.0}};
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  TDataMeas record = fixtures::TimeRecord(44100, 0.0, {{0.0, 0.25, -0.5, 0.125}, {0, 0, 0, 0}});
  record.FSampleBits = 24;
  window->ShowRecord(&record);
  session_->wav_level_db = -3.0;
  double offered = -3.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level_db);
    script_.wav_questions.clear();
    script_.wav_choice = WavSaveChoice{16, false, c.level_db, 4096};
    script_.next_file = folder_ / "out";
    Find<QAction>(*window, "SaveWavAction")->trigger();

    ASSERT_EQ(script_.wav_questions.size(), 1u);
    EXPECT_EQ(script_.wav_questions[0].level_db, offered);
    EXPECT_EQ(script_.wav_questions[0].sample_rate, 44100);
    EXPECT_EQ(script_.wav_questions[0].recorded_bits, 24);
    EXPECT_TRUE(script_.wav_questions[0].two_columns);
    EXPECT_EQ(session_->wav_level_db, c.level_db);
    offered = c.level_db;

    TDataMeas loaded;
    CollectedMessages messages;
    ASSERT_TRUE(LoadWavData(folder_ / "out.wav", loaded, files_, messages));
    EXPECT_EQ(loaded.FNumFields, 1);  // mono as chosen: column 0
    ASSERT_EQ(loaded.FFields[0].Values.size(), 4u);
    const std::vector<double>& samples = loaded.FFields[0].Values;
    EXPECT_NEAR(samples[2], -c.peak, 1.0 / 32768);
    EXPECT_NEAR(samples[1], c.peak / 2, 1.0 / 32768);
  }
  EXPECT_TRUE(script_.messages.empty());
}

TEST_F(PlotFormExport, FailedExportsSayErrorSavingFileAndLeaveNoFile) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  script_.ascii_choice = AsciiExportChoice{{}, false, 0.0, 1.0};
  script_.wav_choice = WavSaveChoice{};
  const std::filesystem::path missing = folder_ / "no such folder";
  for (const char* action : {"ExportAsciiAction", "ExportMlssaAction", "SaveWavAction"}) {
    SCOPED_TRACE(action);
    script_.messages.clear();
    script_.next_file = missing / "out.txt";
    Find<QAction>(*window, action)->trigger();
    EXPECT_EQ(script_.messages, std::vector<std::string>{TPlotForm::kSaveError});
    EXPECT_FALSE(std::filesystem::exists(missing));
  }
  // A range with no points in it writes nothing either.
  TDataMeas record = FlatResponse();
  window->ShowRecord(&record);
  script_.messages.clear();
  script_.ascii_choice = AsciiExportChoice{{}, false, 20000.0, 30000.0};
  script_.next_file = folder_ / "empty.txt";
  window->ExportAscii();
  EXPECT_EQ(script_.messages, std::vector<std::string>{TPlotForm::kSaveError});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "empty.txt"));
}

TEST_F(PlotFormExport, ExportsAreOfferedForTheRecordsTheyWrite) {
  struct Case {
    const char* name;
    TDataMeas record;
    bool mlssa;
    bool wav;
    bool polar;
  };
  TDataMeas step = fixtures::TimeRecord(48000, 0.0, {{0.0, 1.0, 1.0, 1.0}});
  step.FDataType = kStepResponse;
  TDataMeas polar = FlatResponse();
  polar.FPlotKind = kPolarPlotKind;
  const Case cases[] = {
      {"time", fixtures::TimeRecord(48000, 0.0, {{1.0, 0.0, 0.0, 0.0}}), true, true, false},
      {"step", step, true, false, false},
      {"response", FlatResponse(), false, false, false},
      {"polar", polar, false, false, true},
  };
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDataMeas record = c.record;
    window->ShowRecord(&record);
    EXPECT_EQ(Find<QAction>(*window, "ExportMlssaAction")->isVisible(), c.mlssa);
    EXPECT_EQ(Find<QAction>(*window, "SaveWavAction")->isVisible(), c.wav);
    EXPECT_EQ(Find<QAction>(*window, "ExportPolarAction")->isVisible(), c.polar);
    EXPECT_TRUE(Find<QAction>(*window, "ExportAsciiAction")->isVisible());
  }
  // Nothing is asked or written while a measurement runs.
  window->ShowRecord(nullptr);  // its own time record
  window->SetMeasuring(true);
  script_.ascii_choice = AsciiExportChoice{};
  script_.wav_choice = WavSaveChoice{};
  window->ExportAscii();
  window->ExportMlssa();
  window->SaveToWav();
  EXPECT_TRUE(script_.ascii_questions.empty());
  EXPECT_TRUE(script_.wav_questions.empty());
  EXPECT_TRUE(script_.questions.empty());
}

TEST_F(PlotFormExport, HeaderDialogGivesOneHeaderLinePerEditorLine) {
  struct Case {
    const char* typed;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"Speaker A", {"Speaker A"}},
      {"one\ntwo\n", {"one", "two"}},  // the last line's break adds no empty line
      {"\nafter a blank\n\n", {"", "after a blank", ""}},
  };
  AsciiExportDialog dialog({20.0, 20000.0, "Hz"});
  EXPECT_EQ(dialog.windowTitle(), "Header lines for ASCII Export file");
  EXPECT_EQ(dialog.findChild<QLabel*>("Prompt")->text(),
            "Enter any text lines you wish to have precede the Exported data.\n"
            "(Otherwise, leave the text editor below empty)");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    dialog.findChild<QPlainTextEdit*>("HeaderLines")->setPlainText(c.typed);
    EXPECT_EQ(dialog.Choice().header_lines, c.lines);
  }
  dialog.findChild<QCheckBox*>("CommaSeparated")->setChecked(true);
  const AsciiExportChoice choice = dialog.Choice();
  EXPECT_TRUE(choice.comma);
  EXPECT_EQ(choice.start, 20.0);
  EXPECT_EQ(choice.stop, 20000.0);
}

TEST_F(PlotFormExport, PrintWritesThePlotToThePrinterChosen) {
  const auto window = MakeWindow({PlotRoleKind::Secondary, 2});
  const std::filesystem::path pdf = folder_ / "plot.pdf";
  script_.set_up_printer = [&pdf](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    return true;
  };
  Find<QAction>(*window, "PrintAction")->trigger();
  EXPECT_EQ(folder_.Read("plot.pdf").substr(0, 4), "%PDF");
}

}  // namespace
}  // namespace vireon
