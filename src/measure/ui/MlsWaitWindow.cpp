#include "measure/ui/MlsWaitWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <optional>

namespace vireon {

MlsWaitWindow::MlsWaitWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("MlsWaitWindow");
  setWindowTitle("One moment, please...");
  auto* text = new QLabel(
      "  Please wait while MLS Permutation tables are generated. The tables will be saved to a "
      "file for future uses.",
      this);
  text->setWordWrap(true);
  text->setMinimumWidth(320);
  auto* rows = new QVBoxLayout(this);
  rows->addWidget(text);
}

bool BuildWithMlsWaitWindow(QWidget* parent, MlsTableStore& store, int order) {
  std::optional<MlsWaitWindow> window;
  return store.BuildMLSTables(order, [&] {
    window.emplace(parent);
    window->show();
    // The work blocks the event loop: the window paints now or not at all.
    QCoreApplication::processEvents();
  });
}

}  // namespace vireon
