#pragma once

#include <QDialog>
#include <optional>

#include "audio/settings/TimingSettings.h"

namespace vireon {

class TEditRealSpin;

// The small editor a timing menu item opens: the help text and one numeric entry with the
// editor's range.
class NumericEditorDialog : public QDialog {
  Q_OBJECT

 public:
  NumericEditorDialog(const NumericEditorSpec& spec, double value, QWidget* parent = nullptr);

  TEditRealSpin* Entry() const { return entry_; }
  // The entry as typed, limited to the range (an entry that is no number keeps the value).
  double Value() const;

 private:
  TEditRealSpin* entry_;
};

// Modal; none when cancelled.
std::optional<double> AskNumber(QWidget* parent, const NumericEditorSpec& spec, double value);

}  // namespace vireon
