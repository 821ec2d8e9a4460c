#include "config/ui/BackdropWindow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include <system_error>
#include <utility>

namespace vireon {

BackdropWindow::BackdropWindow(std::filesystem::path data_directory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint),
      data_directory_(std::move(data_directory)) {
  setObjectName("Backdrop");
  setWindowTitle("BackDrop");
  setAttribute(Qt::WA_ShowWithoutActivating);
  SetBackdropBitmap({});
}

std::string BackdropWindow::SetBackdropBitmap(const std::string& file) {
  if (!file.empty() && picture_.load(QString::fromStdString(file))) {
    update();
    return file;
  }
  const std::filesystem::path curtain = data_directory_ / kDefaultBackdropName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(curtain, error) ||
      !picture_.load(QString::fromStdString(curtain.string()))) {
    picture_ = QPixmap();
  }
  update();
  return {};
}

void BackdropWindow::ShowBehind() {
  const QWidget* owner = parentWidget();
  QScreen* screen = owner != nullptr ? owner->screen() : nullptr;
  if (screen != nullptr) setGeometry(screen->availableGeometry());
  show();
  lower();
}

void BackdropWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) {
    painter.drawPixmap(rect(), picture_);
    return;
  }
  QLinearGradient curtain(rect().topLeft(), rect().bottomLeft());
  curtain.setColorAt(0.0, QColor(0x10, 0x28, 0x68));
  curtain.setColorAt(1.0, QColor(0x04, 0x0c, 0x28));
  painter.fillRect(rect(), curtain);
}

}  // namespace vireon
