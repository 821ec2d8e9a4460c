#pragma once

#include <QMainWindow>

namespace vireon {

// The main window: the user's selections and the Start/Stop control of the
// running measurement.
class TTestForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TTestForm(QWidget* parent = nullptr);
};

}  // namespace vireon
