#include "plot/ui/PlotPrinting.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>

#include "common/VireonError.h"
#include "plot/render/ImageFile.h"
#include "plot/render/PlotPrint.h"
#include "plot/ui/ScreenCapture.h"
#include "plot/ui/TDataPlot.h"
#include "plot/ui/TPlotForm.h"
#include "plot/ui/TPrintOptions.h"

namespace vireon {
namespace {

constexpr const char* kPrinterError = "The printer could not print the page.";
constexpr const char* kNothingToPrint = "There is no plot to print.";

// The picture file the user names; false when cancelled or not written (then said so).
bool SavePicture(QWidget* parent, const QImage& image, const PrintDialogs& dialogs) {
  const std::optional<std::filesystem::path> file = dialogs.ChoosePictureFile(parent);
  if (!file) return false;
  try {
    SavePngAtomically(image, *file);
    return true;
  } catch (const VireonError&) {
    dialogs.ShowMessage(parent, TPlotForm::kSaveError);
    return false;
  }
}

// A printer the user sets up, then `paint` on its page; false when cancelled or failed (then
// said so).
template <typename Paint>
bool PrintPage(QWidget* parent, const PrintDialogs& dialogs, const Paint& paint) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(PrintJobTitle());
  if (!dialogs.SetUpPrinter(parent, printer)) return false;
  if (paint(printer)) return true;
  dialogs.ShowMessage(parent, kPrinterError);
  return false;
}

}  // namespace

PrintDialogs InteractivePrintDialogs() {
  PrintDialogs dialogs;
  dialogs.SetUpPrinter = [](QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  };
  dialogs.ChoosePictureFile = [](QWidget* parent) -> std::optional<std::filesystem::path> {
    QFileDialog dialog(parent, QStringLiteral("Save Picture"), QDir::currentPath(),
                       QStringLiteral("PNG pictures (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(QStringLiteral("plot.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
  };
  dialogs.EditOptions = AskPrintOptions;
  dialogs.ShowMessage = [](QWidget* parent, const std::string& text) {
    QMessageBox::warning(parent, QApplication::applicationName(), QString::fromStdString(text));
  };
  return dialogs;
}

bool PrintPlot(QWidget* parent, const TDataPlot& plot, const PrintSettings& settings,
               const PrintDialogs& dialogs) {
  if (plot.Data() == nullptr) {
    dialogs.ShowMessage(parent, kNothingToPrint);
    return false;
  }
  try {
    // The look is a copy: the plot on screen keeps drawing as before.
    const PrintLook look =
        PrintLookFor(plot.Options(), PrintColorModeOf(settings.colors), settings.size_factor);
    const PrintedPlot printed = RenderPrintedPlot(*plot.Data(), plot.PrintView(), look);
    if (settings.destination == PrintDestination::kDiskFile) {
      return SavePicture(parent, printed.image, dialogs);
    }
    return PrintPage(parent, dialogs,
                     [&](QPrinter& printer) { return PaintPrintPage(printer, printed); });
  } catch (const VireonError& error) {
    dialogs.ShowMessage(parent, error.what());
    return false;
  }
}

void EditPrintOptions(QWidget* parent, const TDataPlot& plot, PrintSettings& settings,
                      const PrintDialogs& dialogs) {
  if (dialogs.EditOptions(parent, settings)) PrintPlot(parent, plot, settings, dialogs);
}

bool PrintEntireScreen(QWidget* parent, const PrintSettings& settings,
                       const PrintDialogs& dialogs) {
  const QImage screen = GrabVisibleWindows();
  if (screen.isNull()) return false;
  if (settings.destination == PrintDestination::kDiskFile) {
    return SavePicture(parent, screen, dialogs);
  }
  return PrintPage(parent, dialogs,
                   [&](QPrinter& printer) { return PaintCentredOnPage(printer, screen); });
}

}  // namespace vireon
