#pragma once

#include <QDialog>

#include "plot/ui/PlotPrinting.h"

class QButtonGroup;

namespace vireon {

// "Print Options": where a plot is printed, how large and in which colours. Besides OK and
// Cancel, its "Print" button keeps the choices and asks for printing at once. Component
// names: "rgDestination", "rgSize", "rgColors", "bbOk", "bbCancel", "bbPrint".
class TPrintOptions : public QDialog {
  Q_OBJECT

 public:
  explicit TPrintOptions(const PrintSettings& settings, QWidget* parent = nullptr);

  PrintSettings Settings() const;
  bool PrintPressed() const { return print_pressed_; }

 private:
  QButtonGroup* destination_;
  QButtonGroup* size_;
  QButtonGroup* colors_;
  bool print_pressed_ = false;
};

// Shows the dialog modally; on OK or "Print" `settings` takes the choices. True when "Print"
// was pressed.
bool AskPrintOptions(QWidget* parent, PrintSettings& settings);

}  // namespace vireon
