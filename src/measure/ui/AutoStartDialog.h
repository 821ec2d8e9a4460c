#pragma once

#include <QDialog>

#include <optional>

class QCheckBox;
class QDateTimeEdit;

namespace vireon {

// The automatic start: a date-time (days since 30 Dec 1899, local) and whether it is armed.
struct AutoStartChoice {
  double start = 0.0;
  bool enabled = false;
};

// What the controller arms: the start when it is enabled and still to come; none disarms.
std::optional<double> ArmedStart(const AutoStartChoice& choice, double now);

// "Automatic Acquisition Start Config": the start date-time and the enable check box.
class AutoStartDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AutoStartDialog(const AutoStartChoice& initial, QWidget* parent = nullptr);

  AutoStartChoice Choice() const;
  QDateTimeEdit* StartEdit() const { return start_edit_; }
  QCheckBox* EnableBox() const { return enable_box_; }

 private:
  QDateTimeEdit* start_edit_;
  QCheckBox* enable_box_;
};

// Modal; none when cancelled.
std::optional<AutoStartChoice> AskAutoStart(QWidget* parent, const AutoStartChoice& initial);

}  // namespace vireon
