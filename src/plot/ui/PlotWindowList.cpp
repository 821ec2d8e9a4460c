#include "plot/ui/PlotWindowList.h"

#include <QEvent>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace vireon {

PlotWindowList::PlotWindowList(PlotFormContext context) : context_(std::move(context)) {
  context_.new_secondary_plot = [this] {
    TPlotForm* window = New();
    window->show();
    return window;
  };
}

PlotWindowList::~PlotWindowList() {
  for (const QPointer<TPlotForm>& window : windows_) {
    if (window.isNull()) continue;
    window->removeEventFilter(this);
    delete window.data();
  }
}

void PlotWindowList::SetPlacement(QPoint first, QSize size) {
  first_ = first;
  size_ = size;
}

TPlotForm* PlotWindowList::MostRecent() const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (!it->isNull()) return it->data();
  }
  return nullptr;
}

TPlotForm* PlotWindowList::New() {
  QPoint position = first_;
  if (const TPlotForm* previous = MostRecent(); previous != nullptr) {
    position = previous->pos() + QPoint(kStep, kStep);
  } else if (last_closed_at_) {
    position = *last_closed_at_ + QPoint(kStep, kStep);
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
    const QRect available = screen->availableGeometry();
    position.setX(std::min(position.x(), available.x() + available.width() - kScreenMargin));
    position.setY(std::min(position.y(), available.y() + available.height() - kScreenMargin));
  }
  std::erase_if(windows_, [](const QPointer<TPlotForm>& window) { return window.isNull(); });
  auto* window = new TPlotForm({PlotRoleKind::Secondary, next_number_++}, context_);
  window->resize(size_);
  window->move(position);
  window->installEventFilter(this);
  windows_.emplace_back(window);
  emit WindowCreated(window);
  return window;
}

std::vector<TPlotForm*> PlotWindowList::OpenWindows() const {
  std::vector<TPlotForm*> open;
  for (const QPointer<TPlotForm>& window : windows_) {
    if (!window.isNull()) open.push_back(window.data());
  }
  return open;
}

// The most recent window's size is the next window's; the last window's place when it closes
// is where the next one follows on.
bool PlotWindowList::eventFilter(QObject* watched, QEvent* event) {
  // Only these two events: a window being destroyed still sends others.
  if (event->type() == QEvent::Resize) {
    const TPlotForm* recent = MostRecent();
    if (watched == recent && recent->isVisible()) {
      size_ = static_cast<QResizeEvent*>(event)->size();
    }
  } else if (event->type() == QEvent::Close) {
    const auto others_shown =
        std::any_of(windows_.begin(), windows_.end(), [&](const auto& window) {
          return !window.isNull() && window != watched && window->isVisible();
        });
    const auto closing = std::find(windows_.begin(), windows_.end(), watched);
    if (!others_shown && closing != windows_.end()) last_closed_at_ = (*closing)->pos();
  }
  return false;
}

}  // namespace vireon
