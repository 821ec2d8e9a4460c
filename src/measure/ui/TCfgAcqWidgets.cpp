#include "measure/ui/TCfgAcqWidgets.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

#include <utility>

#include "plot/ui/TEditRealSpin.h"

namespace vireon {

TEditRealSpin* MakeSpin(QWidget* parent, const char* name, const SpinRule& rule,
                        std::function<void(double)> changed) {
  auto* spin = new TEditRealSpin(parent);
  spin->setObjectName(name);
  spin->SetMinValue(rule.min);
  spin->SetMaxValue(rule.max);
  spin->SetIntOnly(rule.int_only);
  spin->SetEngUnits(rule.eng_units);
  // Sizes up to 33554432 must read in full.
  if (!rule.eng_units) spin->SetDefNumChars(9);
  spin->SetUnits(rule.units);
  spin->SetShowUnits(rule.units[0] != '\0');
  spin->SetStepMode(rule.step);
  if (rule.step == StepModeT::smLog) spin->SetRealMult(rule.step_size);
  if (rule.step == StepModeT::smReal) spin->SetRealInc(rule.step_size);
  if (rule.step == StepModeT::smIntRound) spin->SetCardInc(static_cast<int>(rule.step_size));
  QObject::connect(spin, &TEditRealSpin::OnValChange, spin,
                   [spin, changed = std::move(changed)] { changed(spin->RealValue()); });
  return spin;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text,
                        std::function<void(bool)> clicked) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  if (clicked) QObject::connect(box, &QCheckBox::clicked, box, std::move(clicked));
  return box;
}

RadioChoice::RadioChoice(const char* name, const QString& title, const QStringList& items,
                         QWidget* parent, Qt::Orientation orientation)
    : QGroupBox(title, parent), buttons_(new QButtonGroup(this)) {
  setObjectName(name);
  auto* column = new QBoxLayout(
      orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_->addButton(button, i);
    column->addWidget(button);
  }
}

int RadioChoice::ItemIndex() const { return buttons_->checkedId(); }

void RadioChoice::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons_->button(index)) button->setChecked(true);
}

QRadioButton* RadioChoice::Button(int index) const {
  return static_cast<QRadioButton*>(buttons_->button(index));
}

void RadioChoice::OnPick(std::function<void(int index)> picked) {
  connect(buttons_, &QButtonGroup::idClicked, this, std::move(picked));
}

}  // namespace vireon
