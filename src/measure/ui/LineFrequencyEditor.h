#pragma once

#include <QDialog>

#include <optional>

namespace vireon {

class TEditRealSpin;

// The mains frequency the stimulus periods align to. The range is the one the configuration
// file accepts, so a stored value (400 Hz on board power, say) is never clipped by the editor.
inline constexpr double kMinLineFrequencyHz = 30.0;
inline constexpr double kMaxLineFrequencyHz = 400.0;

// "A.C. Power Line Frequency": one numeric entry in Hz.
class LineFrequencyEditor : public QDialog {
  Q_OBJECT

 public:
  explicit LineFrequencyEditor(double hz, QWidget* parent = nullptr);

  TEditRealSpin* Entry() const { return entry_; }
  // The entry as typed, limited to the range (an entry that is no number keeps the value).
  double Value() const;

 private:
  TEditRealSpin* entry_;
};

// Modal; none when cancelled.
std::optional<double> AskLineFrequency(QWidget* parent, double hz);

}  // namespace vireon
