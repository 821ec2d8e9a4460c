#include "measure/ui/TestForm.h"

#include <QStatusBar>

namespace vireon {

TTestForm::TTestForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName("TestForm");
  setWindowTitle("Quenmar -Vireon- (MAIN FORM)");
  statusBar()->showMessage("ready");
  resize(420, 240);
}

}  // namespace vireon
