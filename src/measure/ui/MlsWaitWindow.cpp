#include "measure/ui/MlsWaitWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "common/AtomicFile.h"
#include "stimulus/MlsTables.h"

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

bool MlsTablesCached(const std::filesystem::path& data_directory, int order) {
  const auto bytes = ReadWholeFile(data_directory / MlsCacheFileName(order));
  return bytes && ParseMlsTables(*bytes, order).has_value();
}

bool BuildWithMlsWaitWindow(QWidget* parent, bool generating, const std::function<bool()>& build) {
  if (!generating) return build();
  MlsWaitWindow window(parent);
  window.show();
  // The work blocks the event loop: the window paints now or not at all.
  QCoreApplication::processEvents();
  return build();
}

}  // namespace vireon
