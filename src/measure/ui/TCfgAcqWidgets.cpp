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
  TEditRealSpin* spin = NewEditRealSpin(parent, name, rule);
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
