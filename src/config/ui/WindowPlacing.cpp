#include "config/ui/WindowPlacing.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <vector>

namespace vireon {
namespace {

WindowPlace AreaOf(const QScreen& screen) {
  const QRect area = screen.availableGeometry();
  return {area.left(), area.top(), area.width(), area.height()};
}

// The primary screen first: a window out of reach is brought there.
std::vector<WindowPlace> ScreenAreas() {
  std::vector<WindowPlace> areas;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) areas.push_back(AreaOf(*primary));
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) areas.push_back(AreaOf(*screen));
  }
  return areas;
}

// A window not shown yet takes the size its layout asks for when it is shown.
QSize ShownSize(const QWidget& window) {
  if (window.isVisible()) return window.frameGeometry().size();
  return window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
}

}  // namespace

void PlaceWindow(QWidget& window, const WindowPlace& place) {
  if (place.Stored() && place.height > 0) window.resize(place.width, place.height);
  const QSize size = ShownSize(window);
  const WindowPlace reachable =
      Reachable({place.left, place.top, size.width(), size.height()}, ScreenAreas());
  window.move(reachable.left, reachable.top);
}

WindowPlace PlaceOf(const QWidget& window) {
  return {window.x(), window.y(), window.width(), window.height()};
}

}  // namespace vireon
