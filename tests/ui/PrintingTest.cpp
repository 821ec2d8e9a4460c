#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QPalette>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../record/RecordFixtures.h"
#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "plot/ui/PlotPrinting.h"
#include "plot/ui/ScreenCapture.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPrintOptions.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

TDataMeas SmallResponse() {
  TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, {20, 200, 2000, 20000}, {{1, 3, 2, 0}});
  record.FLogX = 1;
  record.FViewStart = 20;
  record.FViewStop = 20000;
  record.FTraceA = 1;
  record.FTitle = "printed response";
  return record;
}

// What the injected dialogs answer and what they were asked.
struct Answers {
  std::optional<std::filesystem::path> pdf;      // the printer writes this PDF; none: cancel
  std::optional<std::filesystem::path> picture;  // the chosen picture file; none: cancel
  std::optional<PrintSettings> options;          // what the options dialog sets; none: cancel
  bool print_pressed = false;
  std::vector<std::string> messages;
  std::vector<QString> job_titles;
};

PrintDialogs DialogsAnswering(Answers& answers) {
  PrintDialogs dialogs;
  dialogs.SetUpPrinter = [&answers](QWidget*, QPrinter& printer) {
    answers.job_titles.push_back(printer.docName());
    if (!answers.pdf) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(answers.pdf->string()));
    return true;
  };
  dialogs.ChoosePictureFile = [&answers](QWidget*) { return answers.picture; };
  dialogs.EditOptions = [&answers](QWidget*, PrintSettings& settings) {
    if (!answers.options) return false;
    settings = *answers.options;
    return answers.print_pressed;
  };
  dialogs.ShowMessage = [&answers](QWidget*, const std::string& text) {
    answers.messages.push_back(text);
  };
  return dialogs;
}

PrintSettings ToDisk(int size_factor, int colors = 1) {
  return {PrintDestination::kDiskFile, size_factor, colors};
}

class Printing : public ::testing::Test {
 protected:
  Printing() : plot_(files_, messages_) {
    plot_.SetData(&record_);
    plot_.resize(500, 300);
  }

  bool Print(const PrintSettings& settings) {
    return PrintPlot(nullptr, plot_, settings, DialogsAnswering(answers_));
  }

  TestApplication app_;
  FileContext files_;
  CollectedMessages messages_;
  TDataMeas record_ = SmallResponse();
  TDataPlot plot_;
  TempFolder folder_;
  Answers answers_;
};

TEST_F(Printing, ToPrinterWritesTheTitledJobAsPdf) {
  answers_.pdf = folder_ / "plot.pdf";
  EXPECT_TRUE(Print({PrintDestination::kPrinter, 1, 0}));
  EXPECT_EQ(folder_.Read("plot.pdf").substr(0, 4), "%PDF");
  EXPECT_EQ(answers_.job_titles, std::vector<QString>{"QM =vireon=  Data Plot"});
  EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(Printing, ToDiskFileWritesThePictureAtTheSizeFactor) {
  for (const auto& [factor, size] :
       {std::pair{1, QSize(703, 328)}, std::pair{2, QSize(1406, 656)}}) {
    SCOPED_TRACE(factor);
    answers_.picture = folder_ / ("plot" + std::to_string(factor) + ".png");
    ASSERT_TRUE(Print(ToDisk(factor)));
    const QImage written(QString::fromStdString(answers_.picture->string()));
    EXPECT_EQ(written.size(), size);
  }
  EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(Printing, CancelledDialogsWriteNothing) {
  EXPECT_FALSE(Print({PrintDestination::kPrinter, 1, 1}));  // print dialog cancelled
  EXPECT_FALSE(Print(ToDisk(1)));                           // file dialog cancelled

  // The options dialog closed with OK or Cancel prints nothing, though printing would succeed.
  answers_.pdf = folder_ / "plot.pdf";
  answers_.picture = folder_ / "plot.png";
  for (const bool cancelled : {false, true}) {
    if (cancelled) {
      answers_.options.reset();
    } else {
      answers_.options = ToDisk(1);
    }
    PrintSettings settings;
    EditPrintOptions(nullptr, plot_, settings, DialogsAnswering(answers_));
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
  EXPECT_TRUE(answers_.messages.empty());
}

TEST_F(Printing, PrintInTheOptionsDialogPrintsAtOnceWithTheNewChoices) {
  answers_.options = ToDisk(2, 0);
  answers_.print_pressed = true;
  answers_.picture = folder_ / "plot.png";
  PrintSettings settings;
  EditPrintOptions(nullptr, plot_, settings, DialogsAnswering(answers_));
  EXPECT_EQ(settings.destination, PrintDestination::kDiskFile);
  EXPECT_EQ(QImage(QString::fromStdString(answers_.picture->string())).size(), QSize(1406, 656));
}

TEST_F(Printing, FailuresAreReportedNotClaimed) {
  answers_.picture = folder_ / "missing folder" / "plot.png";
  EXPECT_FALSE(Print(ToDisk(1)));
  answers_.pdf = folder_ / "missing folder" / "plot.pdf";
  EXPECT_FALSE(Print({PrintDestination::kPrinter, 1, 1}));
  ASSERT_EQ(answers_.messages.size(), 2u);
  EXPECT_EQ(answers_.messages[0], "Error saving file!");
  EXPECT_FALSE(answers_.messages[1].empty());
  EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
}

TEST_F(Printing, EntireScreenGoesToThePictureFile) {
  plot_.show();
  answers_.picture = folder_ / "screen.png";
  ASSERT_TRUE(PrintEntireScreen(nullptr, ToDisk(1), DialogsAnswering(answers_)));
  const QImage written(QString::fromStdString(answers_.picture->string()));
  EXPECT_GE(written.width(), plot_.width());
  EXPECT_GE(written.height(), plot_.height());
}

// A window kept below the others, the desktop backdrop say, is drawn below them whichever was
// made first.
TEST_F(Printing, EntireScreenDrawsAWindowKeptBelowUnderTheOthers) {
  const auto filled = [](Qt::WindowFlags flags, const QRect& place, QColor colour) {
    auto window = std::make_unique<QWidget>(nullptr, flags);
    window->setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, colour);
    window->setPalette(palette);
    window->setGeometry(place);
    window->show();
    return window;
  };
  const QRect front_place(60, 60, 80, 80);
  const Qt::WindowFlags below = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint;
  for (const bool backdrop_first : {true, false}) {
    std::unique_ptr<QWidget> backdrop;
    if (backdrop_first) backdrop = filled(below, {0, 0, 400, 300}, Qt::blue);
    const auto front = filled(Qt::Window | Qt::FramelessWindowHint, front_place, Qt::green);
    if (!backdrop_first) backdrop = filled(below, {0, 0, 400, 300}, Qt::blue);
    const QImage screen = GrabVisibleWindows();
    const QRect bounds =
        QRect(0, 0, 400, 300).united(plot_.isVisible() ? plot_.geometry() : QRect());
    const QPoint middle = front_place.center() - bounds.topLeft();
    EXPECT_EQ(screen.pixelColor(middle), QColor(Qt::green)) << backdrop_first;
  }
}

// ---- The options dialog ----

QAbstractButton* ButtonWithText(QWidget& dialog, const QString& text) {
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    if (button->text() == text) return button;
  }
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

TEST_F(Printing, OptionsDialogReturnsEachChoice) {
  struct Case {
    const char* destination;
    const char* size;
    const char* colors;
    PrintSettings expected;
  };
  for (const Case& c : {
           Case{"To Printer", "Screen", "Black and White", {PrintDestination::kPrinter, 1, 0}},
           Case{"To Disk File", "Double", "Color Lines", {PrintDestination::kDiskFile, 2, 1}},
           Case{"To Printer", "Double", "Color Fill", {PrintDestination::kPrinter, 2, 2}},
       }) {
    SCOPED_TRACE(c.colors);
    TPrintOptions dialog(ToDisk(1, 1));
    EXPECT_EQ(dialog.windowTitle(), "Print Options");
    for (const char* choice : {c.destination, c.size, c.colors})
      ButtonWithText(dialog, choice)->click();
    const PrintSettings chosen = dialog.Settings();
    EXPECT_EQ(chosen.destination, c.expected.destination);
    EXPECT_EQ(chosen.size_factor, c.expected.size_factor);
    EXPECT_EQ(chosen.colors, c.expected.colors);
  }
}

TEST_F(Printing, OptionsDialogButtonsDecideWhatIsKeptAndWhetherToPrint) {
  struct Case {
    const char* button;
    bool prints;
    PrintDestination kept;
  };
  for (const Case& c : {Case{"OK", false, PrintDestination::kDiskFile},
                        Case{"Print", true, PrintDestination::kDiskFile},
                        Case{"Cancel", false, PrintDestination::kPrinter}}) {
    SCOPED_TRACE(c.button);
    QTimer::singleShot(0, [&c] {
      auto* dialog = qobject_cast<TPrintOptions*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      ButtonWithText(*dialog, "To Disk File")->click();
      ButtonWithText(*dialog, c.button)->click();
    });
    PrintSettings settings;
    EXPECT_EQ(AskPrintOptions(nullptr, settings), c.prints);
    EXPECT_EQ(settings.destination, c.kept);
  }
}

}  // namespace
}  // namespace vireon
