#include "plot/ui/ScreenCapture.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace vireon {

QImage GrabVisibleWindows() {
  QList<QWidget*> windows;
  QRect bounds;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!widget->isVisible()) continue;
    windows.push_back(widget);
    bounds = bounds.united(widget->geometry());
  }
  if (windows.isEmpty()) return {};
  // In their stacking layers: windows kept below the others (a backdrop) first, dialogs last so
  // that a message box stays on top of the window it belongs to.
  const auto layer = [](const QWidget* window) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnBottomHint)) return 0;
    return window->isModal() ? 2 : 1;
  };
  std::ranges::stable_sort(windows, {}, layer);

  QImage picture(bounds.size(), QImage::Format_RGB32);
  picture.fill(QColor(0x40, 0x40, 0x40));
  QPainter painter(&picture);
  for (QWidget* window : windows) {
    painter.drawPixmap(window->geometry().topLeft() - bounds.topLeft(), window->grab());
  }
  return picture;
}

}  // namespace vireon
