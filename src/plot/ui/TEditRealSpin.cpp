#include "plot/ui/TEditRealSpin.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "plot/render/QtText.h"

namespace vireon {
namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;
// The largest increment the "customize control" dialog accepts.
constexpr int kLargestIncrement = 100000;

StepModifiers ModifiersOf(Qt::KeyboardModifiers modifiers) {
  return {.shift = modifiers.testFlag(Qt::ShiftModifier),
          .ctrl = modifiers.testFlag(Qt::ControlModifier),
          .alt = modifiers.testFlag(Qt::AltModifier)};
}

QToolButton* ArrowButton(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
  button->setFixedWidth(16);
  return button;
}

// A column of an up and a down arrow button.
QWidget* ButtonPair(const QString& name, QToolButton* up, QToolButton* down, QWidget* parent) {
  auto* pair = new QWidget(parent);
  pair->setObjectName(name);
  auto* column = new QVBoxLayout(pair);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(up);
  column->addWidget(down);
  return pair;
}

void SetUnderline(QWidget* widget, bool on) {
  QFont font = widget->font();
  font.setUnderline(on);
  widget->setFont(font);
}

}  // namespace

TEditReal::TEditReal(QWidget* parent) : QLineEdit(parent) {
  // The owner's step menu stands in for the line edit's own.
  setContextMenuPolicy(Qt::NoContextMenu);
}

void TEditReal::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      emit StepKeyPressed(StepDirection::kUp, event->modifiers());
      return;
    case Qt::Key_Down:
      emit StepKeyPressed(StepDirection::kDown, event->modifiers());
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // Without a typed entry the key is left to the window (its default button, closing).
      if (!isModified()) {
        event->ignore();
        return;
      }
      if (event->key() == Qt::Key_Escape) {
        emit EscapePressed();
      } else {
        emit EnterPressed();
      }
      return;
    default:
      QLineEdit::keyPressEvent(event);
  }
}

void TEditReal::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked();
  }
}

void TEditReal::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  emit DoubleClicked();
}

TEditRealSpin::TEditRealSpin(QWidget* parent) : QWidget(parent), edit_(new TEditReal(this)) {
  edit_->setObjectName("EditReal");
  auto* up = ArrowButton(Qt::UpArrow, "UpButton", this);
  auto* down = ArrowButton(Qt::DownArrow, "DownButton", this);
  up_down_ = ButtonPair("UpDown", up, down, this);
  // Takes the focus after a step by mouse; its keys reach keyPressEvent.
  up_down_->setFocusPolicy(Qt::ClickFocus);
  auto* dot_up = ArrowButton(Qt::UpArrow, "DotSpinUpButton", this);
  auto* dot_down = ArrowButton(Qt::DownArrow, "DotSpinDownButton", this);
  dot_spin_ = ButtonPair("DotSpin", dot_up, dot_down, this);
  dot_spin_->hide();

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(edit_, 1);
  row->addWidget(up_down_);
  row->addWidget(dot_spin_);

  connect(up, &QToolButton::clicked, this, [this] { StepByMouse(StepDirection::kUp); });
  connect(down, &QToolButton::clicked, this, [this] { StepByMouse(StepDirection::kDown); });
  connect(dot_up, &QToolButton::clicked, this, &TEditRealSpin::OnDotSpinUp);
  connect(dot_down, &QToolButton::clicked, this, &TEditRealSpin::OnDotSpinDn);
  connect(edit_, &TEditReal::StepKeyPressed, this, &TEditRealSpin::Step);
  connect(edit_, &TEditReal::EnterPressed, this, &TEditRealSpin::AcceptEntry);
  connect(edit_, &TEditReal::EscapePressed, this, &TEditRealSpin::ShowValue);
  connect(edit_, &TEditReal::Clicked, this, &TEditRealSpin::OnClick);
  connect(edit_, &TEditReal::DoubleClicked, this, &TEditRealSpin::OnDblClick);
  connect(edit_, &QLineEdit::textEdited, this, &TEditRealSpin::FilterTyping);
  ShowValue();
}

TEditRealSpin::~TEditRealSpin() = default;

void TEditRealSpin::SetRealValue(double value) {
  entry_.SetValue(value);
  ShowValue();
}

void TEditRealSpin::SetMinValue(double value) { settings_.MinValue = value; }
void TEditRealSpin::SetMaxValue(double value) { settings_.MaxValue = value; }

void TEditRealSpin::SetIntOnly(bool on) {
  settings_.IntOnly = on;
  ShowValue();
}

void TEditRealSpin::SetEngUnits(bool on) {
  settings_.EngUnits = on;
  ShowValue();
}

void TEditRealSpin::SetDefNumChars(int digits) {
  settings_.DefNumChars = digits;
  ShowValue();
}

QString TEditRealSpin::Units() const { return ToQString(settings_.Units); }

void TEditRealSpin::SetUnits(const QString& units) {
  settings_.Units = FromQString(units);
  ShowValue();
}

void TEditRealSpin::SetShowUnits(bool on) {
  settings_.ShowUnits = on;
  ShowValue();
}

void TEditRealSpin::SetStepMode(StepModeT mode) { settings_.StepMode = mode; }
void TEditRealSpin::SetRealMult(double factor) { settings_.RealMult = factor; }
void TEditRealSpin::SetRealInc(double increment) { settings_.RealInc = increment; }
void TEditRealSpin::SetCardInc(int increment) { settings_.CardInc = increment; }

void TEditRealSpin::SetShowDotSpin(bool on) {
  settings_.ShowDotSpin = on;
  dot_spin_->setVisible(on);
}

void TEditRealSpin::ShowValue() {
  edit_->setText(ToQString(EntryDisplayText(entry_.Value(), settings_)));
  SetUnderline(edit_, false);
}

void TEditRealSpin::FilterTyping() {
  const QString text = edit_->text();
  const int cursor = edit_->cursorPosition();
  // The filter decides each character by those before it, so the text left of the cursor
  // filters to the part of the result left of the new cursor.
  const std::string kept = FilterTypedEntry(text.toStdString(), settings_.EngUnits);
  const std::string kept_before_cursor =
      FilterTypedEntry(text.left(cursor).toStdString(), settings_.EngUnits);
  edit_->setText(QString::fromStdString(kept));
  edit_->setCursorPosition(static_cast<int>(kept_before_cursor.size()));
  edit_->setModified(true);
  SetUnderline(edit_, true);
}

bool TEditRealSpin::AcceptEntry() {
  const ParsedEntry parsed = ParseEntry(FromQString(edit_->text()), settings_);
  if (parsed.outcome == EntryOutcome::kNotANumber) {
    ShowValue();
    emit OnValErr();
    return false;
  }
  TakeValue(LimitToRange(parsed.value, settings_));
  return true;
}

void TEditRealSpin::TakeValue(double value) {
  entry_.SetValue(value);
  ShowValue();
  emit OnValChange();
}

void TEditRealSpin::Step(StepDirection direction, Qt::KeyboardModifiers modifiers) {
  // A typed entry is taken before the step; one that is not a number stops it.
  if (edit_->isModified() && !AcceptEntry()) return;
  QPalette palette = edit_->palette();
  palette.setColor(QPalette::Base, Qt::white);
  edit_->setPalette(palette);
  switch (entry_.Step(direction, ModifiersOf(modifiers), settings_)) {
    case StepResult::kUnchanged:
      break;
    case StepResult::kValueChanged:
      ShowValue();
      emit OnValChange();
      break;
    case StepResult::kDotSpinUp:
      emit OnDotSpinUp();
      break;
    case StepResult::kDotSpinDown:
      emit OnDotSpinDn();
      break;
  }
}

void TEditRealSpin::StepByMouse(StepDirection direction) {
  // The modifiers of the click that is being handled.
  Step(direction, QGuiApplication::keyboardModifiers());
  if (!avoid_set_focus_) up_down_->setFocus(Qt::MouseFocusReason);
}

void TEditRealSpin::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
    Step(event->key() == Qt::Key_Up ? StepDirection::kUp : StepDirection::kDown,
         event->modifiers());
    return;
  }
  QWidget::keyPressEvent(event);
}

void TEditRealSpin::wheelEvent(QWheelEvent* event) {
  // With Alt held some platforms turn the wheel into a horizontal one.
  const QPoint delta = event->angleDelta();
  wheel_remainder_ += delta.y() != 0 ? delta.y() : delta.x();
  for (; wheel_remainder_ >= kWheelNotch; wheel_remainder_ -= kWheelNotch) {
    Step(StepDirection::kUp, event->modifiers());
  }
  for (; wheel_remainder_ <= -kWheelNotch; wheel_remainder_ += kWheelNotch) {
    Step(StepDirection::kDown, event->modifiers());
  }
  if (!avoid_set_focus_) up_down_->setFocus(Qt::MouseFocusReason);
  event->accept();
}

void TEditRealSpin::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = CreateStepMenu();
  menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> TEditRealSpin::CreateStepMenu() {
  auto menu = std::make_unique<QMenu>();
  menu->setObjectName("StepMenu");
  for (const StepMenuItem& item : StepMenuItems(settings_)) {
    if (item.action == StepMenuAction::kToLowest) menu->addSeparator();
    QAction* action = menu->addAction(QString::fromStdString(item.caption));
    if (StepModeOf(item.action)) {
      action->setCheckable(true);
      action->setChecked(item.checked);
    }
    connect(action, &QAction::triggered, this,
            [this, chosen = item.action] { ApplyMenuAction(chosen); });
  }
  return menu;
}

void TEditRealSpin::ApplyMenuAction(StepMenuAction action) {
  switch (action) {
    case StepMenuAction::kToLowest:
      TakeValue(RangeOf(settings_).low);
      return;
    case StepMenuAction::kToHighest:
      TakeValue(RangeOf(settings_).high);
      return;
    case StepMenuAction::kCancel:
      return;
    case StepMenuAction::kIntRound:
    case StepMenuAction::kFloatAdd:
      if (!EditIncrement(action)) return;
      break;
    case StepMenuAction::kPattern125:
    case StepMenuAction::kHighDigit:
    case StepMenuAction::kFloatMultiply:
    case StepMenuAction::kFine:
      break;
  }
  if (const std::optional<StepModeT> mode = StepModeOf(action)) {
    settings_.StepMode = *mode;
    emit OnStepChange();
  }
}

bool TEditRealSpin::EditIncrement(StepMenuAction action) {
  QDialog dialog(this);
  dialog.setObjectName("CustomizeControl");
  dialog.setWindowTitle("customize control");
  auto* layout = new QVBoxLayout(&dialog);
  QSpinBox* card_increment = nullptr;
  QDoubleSpinBox* real_increment = nullptr;
  if (action == StepMenuAction::kIntRound) {
    card_increment = new QSpinBox(&dialog);
    card_increment->setRange(1, kLargestIncrement);
    card_increment->setValue(settings_.CardInc);
    layout->addWidget(card_increment);
  } else {
    real_increment = new QDoubleSpinBox(&dialog);
    real_increment->setDecimals(5);
    real_increment->setRange(0.00001, kLargestIncrement);
    real_increment->setValue(settings_.RealInc);
    layout->addWidget(real_increment);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (card_increment != nullptr) {
    settings_.CardInc = card_increment->value();
  } else {
    settings_.RealInc = real_increment->value();
  }
  return true;
}

TEditRealSpin* NewEditRealSpin(QWidget* parent, const char* name, const SpinRule& rule) {
  auto* spin = new TEditRealSpin(parent);
  spin->setObjectName(name);
  spin->SetMinValue(rule.min);
  spin->SetMaxValue(rule.max);
  spin->SetIntOnly(rule.int_only);
  spin->SetEngUnits(rule.eng_units);
  spin->SetDefNumChars(rule.digits > 0 ? rule.digits : rule.eng_units ? 4 : 9);
  spin->SetUnits(rule.units);
  spin->SetShowUnits(rule.units[0] != '\0');
  spin->SetStepMode(rule.step);
  if (rule.step == StepModeT::smLog) spin->SetRealMult(rule.step_size);
  if (rule.step == StepModeT::smReal) spin->SetRealInc(rule.step_size);
  if (rule.step == StepModeT::smIntRound) spin->SetCardInc(static_cast<int>(rule.step_size));
  return spin;
}

}  // namespace vireon
