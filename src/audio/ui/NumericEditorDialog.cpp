#include "audio/ui/NumericEditorDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {

namespace {

constexpr int kShownDigits = 6;  // the widest range, 131072 bytes, in full

}  // namespace

NumericEditorDialog::NumericEditorDialog(const NumericEditorSpec& spec, double value,
                                         QWidget* parent)
    : QDialog(parent), entry_(new TEditRealSpin(this)) {
  setObjectName("NumericEditor");
  setWindowTitle(ToQString(spec.caption));
  auto* rows = new QVBoxLayout(this);
  if (!spec.help.empty()) {
    // The help texts break their lines with a carriage return.
    auto* help = new QLabel(ToQString(spec.help).replace('\r', '\n'), this);
    help->setObjectName("HelpText");
    help->setWordWrap(true);
    rows->addWidget(help);
  }
  entry_->setObjectName("ersValue");
  entry_->SetMinValue(spec.min);
  entry_->SetMaxValue(spec.max);
  entry_->SetIntOnly(spec.whole_numbers);
  // Enough digits that the value shown is the value kept: the entry is read back from the text.
  entry_->SetEngUnits(!spec.whole_numbers);
  entry_->SetDefNumChars(kShownDigits);
  entry_->SetStepMode(StepModeT::smReal);
  entry_->SetRealInc(spec.step);
  entry_->SetRealValue(value);
  rows->addWidget(entry_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  rows->addWidget(buttons);
}

double NumericEditorDialog::Value() const {
  entry_->AcceptEntry();
  return entry_->RealValue();
}

std::optional<double> AskNumber(QWidget* parent, const NumericEditorSpec& spec, double value) {
  NumericEditorDialog editor(spec, value, parent);
  if (editor.exec() != QDialog::Accepted) return std::nullopt;
  return editor.Value();
}

}  // namespace vireon
