#include "measure/ui/LineFrequencyEditor.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "plot/ui/TEditRealSpin.h"

namespace vireon {

LineFrequencyEditor::LineFrequencyEditor(double hz, QWidget* parent)
    : QDialog(parent), entry_(new TEditRealSpin(this)) {
  setObjectName("LineFrequencyEditor");
  setWindowTitle("A.C. Power Line Frequency");
  auto* help = new QLabel("For use in minimizing interference from AC line harmonics.", this);
  help->setWordWrap(true);
  entry_->setObjectName("LineFrequency");
  entry_->SetMinValue(kMinLineFrequencyHz);
  entry_->SetMaxValue(kMaxLineFrequencyHz);
  entry_->SetUnits("Hz");
  entry_->SetShowUnits(true);
  entry_->SetRealValue(hz);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* rows = new QVBoxLayout(this);
  rows->addWidget(help);
  rows->addWidget(entry_);
  rows->addWidget(buttons);
}

double LineFrequencyEditor::Value() const {
  entry_->AcceptEntry();
  return entry_->RealValue();
}

std::optional<double> AskLineFrequency(QWidget* parent, double hz) {
  LineFrequencyEditor editor(hz, parent);
  if (editor.exec() != QDialog::Accepted) return std::nullopt;
  return editor.Value();
}

}  // namespace vireon
