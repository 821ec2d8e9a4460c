#pragma once

#include <QPrinter>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vireon {

class TDataPlot;

enum class PrintDestination { kPrinter, kDiskFile };

// How a plot is printed; shared by all plot windows of the program.
struct PrintSettings {
  PrintDestination destination = PrintDestination::kPrinter;
  int size_factor = 1;  // 1 "Screen", 2 "Double"
  int colors = 1;       // 0 "Black and White", 1 "Color Lines", 2 "Color Fill"
};

// The dialogs printing asks; injectable so that tests answer at once.
struct PrintDialogs {
  // The print dialog; false when cancelled.
  std::function<bool(QWidget* parent, QPrinter& printer)> SetUpPrinter;
  // The picture file for "To Disk File"; none when cancelled.
  std::function<std::optional<std::filesystem::path>(QWidget* parent)> ChoosePictureFile;
  // The print options dialog; true when its "Print" was pressed.
  std::function<bool(QWidget* parent, PrintSettings& settings)> EditOptions;
  std::function<void(QWidget* parent, const std::string& text)> ShowMessage;
};

PrintDialogs InteractivePrintDialogs();

// "&Print": the plot to the printer or to a picture file; true when printed. Failures are
// shown through `ShowMessage`, a cancelled dialog ends it quietly.
bool PrintPlot(QWidget* parent, const TDataPlot& plot, const PrintSettings& settings,
               const PrintDialogs& dialogs);
// "Print &Options...": edits `settings`, and prints at once when the dialog's "Print" was
// pressed.
void EditPrintOptions(QWidget* parent, const TDataPlot& plot, PrintSettings& settings,
                      const PrintDialogs& dialogs);
// "Print entire screen": every visible top-level window, as placed, to the chosen destination
// (size and colours are the screen's own); true when printed.
bool PrintEntireScreen(QWidget* parent, const PrintSettings& settings, const PrintDialogs& dialogs);

}  // namespace vireon
