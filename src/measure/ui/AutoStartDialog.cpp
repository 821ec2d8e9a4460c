#include "measure/ui/AutoStartDialog.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>

#include <cmath>

#include "common/DateTime.h"

namespace vireon {
namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kSecondsPerDay = 86400.0;

// Date-times here are wall-clock days: the whole days count the date, the fraction the time of
// day, so no time zone enters.
QDateTime ToQDateTime(double days) {
  const std::optional<DateTimeParts> parts = SplitDateTime(days);
  if (!parts) return QDateTime::currentDateTime();
  return QDateTime(QDate(parts->year, parts->month, parts->day),
                   QTime(parts->hour, parts->minute, parts->second));
}

double ToDays(const QDateTime& when) {
  return static_cast<double>(kDayZero.daysTo(when.date())) +
         when.time().msecsSinceStartOfDay() / (kSecondsPerDay * 1000.0);
}

}  // namespace

std::optional<double> ArmedStart(const AutoStartChoice& choice, double now) {
  if (!choice.enabled || !std::isfinite(choice.start) || choice.start <= now) return std::nullopt;
  return choice.start;
}

AutoStartDialog::AutoStartDialog(const AutoStartChoice& initial, QWidget* parent)
    : QDialog(parent),
      start_edit_(new QDateTimeEdit(ToQDateTime(initial.start), this)),
      enable_box_(new QCheckBox("Enable", this)) {
  setObjectName("AutoStartDialog");
  setWindowTitle("Automatic Acquisition Start Config");
  start_edit_->setObjectName("StartTime");
  start_edit_->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
  start_edit_->setCalendarPopup(true);
  enable_box_->setObjectName("EnableAutoStart");
  enable_box_->setChecked(initial.enabled);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow("Start at", start_edit_);
  form->addRow(enable_box_);
  form->addRow(buttons);
}

AutoStartChoice AutoStartDialog::Choice() const {
  return {ToDays(start_edit_->dateTime()), enable_box_->isChecked()};
}

std::optional<AutoStartChoice> AskAutoStart(QWidget* parent, const AutoStartChoice& initial) {
  AutoStartDialog dialog(initial, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace vireon
