#include "UiTestSupport.h"
#include "plot/ui/TEditRealSpin.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <string>

namespace vireon {
namespace {

class EditRealSpin : public ::testing::Test {
 protected:
  EditRealSpin() {
    spin_.setObjectName("edFrequency");
    spin_.SetMinValue(0.0);
    spin_.SetMaxValue(1e6);
    spin_.SetUnits("Hz");
    spin_.SetShowUnits(true);
    Count(&TEditRealSpin::OnValChange, val_changes_);
    Count(&TEditRealSpin::OnValErr, val_errors_);
    Count(&TEditRealSpin::OnStepChange, step_changes_);
    Count(&TEditRealSpin::OnDotSpinUp, dot_spin_ups_);
  }

  void Count(void (TEditRealSpin::*signal)(), int& counter) {
    QObject::connect(&spin_, signal, [&counter] { ++counter; });
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(spin_.Edit(), &event);
  }

  void Type(const std::string& keys) {
    for (const char c : keys) Key(QChar(c).toUpper().unicode(), Qt::NoModifier, QString(QChar(c)));
  }

  void TypeOver(const std::string& keys) {
    spin_.Edit()->selectAll();
    Type(keys);
  }

  QString Shown() const { return spin_.Edit()->text(); }
  bool Underlined() const { return spin_.Edit()->font().underline(); }

  TestApplication app_;
  TEditRealSpin spin_;
  int val_changes_ = 0;
  int val_errors_ = 0;
  int step_changes_ = 0;
  int dot_spin_ups_ = 0;
};

TEST_F(EditRealSpin, TypingAndEnterTakeTheParsedValue) {
  spin_.SetRealValue(1500.0);
  EXPECT_EQ(Shown(), "1.5 k[Hz]");
  EXPECT_EQ(spin_.Edit()->objectName(), "EditReal");

  TypeOver("2.2k");
  EXPECT_EQ(Shown(), "2.2 k");
  EXPECT_TRUE(Underlined());
  EXPECT_EQ(val_changes_, 0);
  Key(Qt::Key_Return);
  EXPECT_EQ(spin_.RealValue(), 2200.0);
  EXPECT_EQ(val_changes_, 1);
  EXPECT_EQ(Shown(), "2.2 k[Hz]");
  EXPECT_FALSE(Underlined());

  TypeOver("k");
  Key(Qt::Key_Enter);
  EXPECT_EQ(spin_.RealValue(), 1000.0);

  // Above the range the value is limited to it.
  TypeOver("5M");
  Key(Qt::Key_Return);
  EXPECT_EQ(spin_.RealValue(), 1e6);
  EXPECT_EQ(val_changes_, 3);
}

TEST_F(EditRealSpin, EnterWithoutAnEntryKeepsTheUnroundedValue) {
  spin_.SetRealValue(1234.5678);
  EXPECT_EQ(Shown(), "1.235 k[Hz]");
  Key(Qt::Key_Return);
  EXPECT_EQ(spin_.RealValue(), 1234.5678);
  EXPECT_EQ(val_changes_, 0);
}

TEST_F(EditRealSpin, EscapeRestoresAndAnEmptyEntryIsAnError) {
  spin_.SetRealValue(47.0);
  TypeOver("93");
  Key(Qt::Key_Escape);
  EXPECT_EQ(Shown(), "47 [Hz]");
  EXPECT_FALSE(Underlined());
  EXPECT_EQ(spin_.RealValue(), 47.0);

  spin_.Edit()->selectAll();
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Return);
  EXPECT_EQ(val_errors_, 1);
  EXPECT_EQ(val_changes_, 0);
  EXPECT_EQ(spin_.RealValue(), 47.0);
  EXPECT_EQ(Shown(), "47 [Hz]");
}

// The Up key, the up button and the wheel all step by the rule; Down goes straight back.
TEST_F(EditRealSpin, EveryWayOfSteppingUp) {
  const std::function<void()> ways[] = {
      [this] { Key(Qt::Key_Up); },
      [this] { spin_.findChild<QToolButton*>("UpButton")->click(); },
      [this] {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&spin_, &wheel);
      },
  };
  spin_.SetStepMode(StepModeT::sm125);
  for (const auto& step_up : ways) {
    spin_.SetRealValue(2.0);
    val_changes_ = 0;
    step_up();
    EXPECT_EQ(spin_.RealValue(), 5.0);
    EXPECT_EQ(val_changes_, 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(spin_.RealValue(), 2.0);
  }
}

TEST_F(EditRealSpin, StepsUseTheKeyModifiersAndATypedEntry) {
  spin_.SetStepMode(StepModeT::smReal);
  spin_.SetRealInc(0.5);
  spin_.SetRealValue(1.0);
  Key(Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(spin_.RealValue(), 2.0);
  Key(Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(spin_.RealValue(), 7.0);

  // Up accepts what was typed and steps from it.
  spin_.SetStepMode(StepModeT::sm125);
  TypeOver("30");
  Key(Qt::Key_Up);
  EXPECT_EQ(spin_.RealValue(), 50.0);
  EXPECT_EQ(Shown(), "50 [Hz]");

  spin_.SetStepMode(StepModeT::smFine);
  Key(Qt::Key_Up);
  EXPECT_EQ(dot_spin_ups_, 1);
  EXPECT_EQ(spin_.RealValue(), 50.0);
}

TEST_F(EditRealSpin, MenuSwitchesTheStepRuleAndJumpsToTheRangeEnds) {
  spin_.SetStepMode(StepModeT::smReal);
  const auto trigger = [this](const QString& caption) {
    const std::unique_ptr<QMenu> menu = spin_.CreateStepMenu();
    for (QAction* action : menu->actions()) {
      if (action->text() == caption) {
        action->trigger();
        return true;
      }
    }
    return false;
  };
  ASSERT_TRUE(trigger("highdigit[+,-]"));
  EXPECT_EQ(spin_.StepMode(), StepModeT::sm12345);
  EXPECT_EQ(step_changes_, 1);
  const std::unique_ptr<QMenu> menu = spin_.CreateStepMenu();
  for (QAction* action : menu->actions()) {
    EXPECT_EQ(action->isChecked(), action->text() == "highdigit[+,-]")
        << action->text().toStdString();
  }
  spin_.SetRealValue(3.0);
  Key(Qt::Key_Up);
  EXPECT_EQ(spin_.RealValue(), 4.0);

  ASSERT_TRUE(trigger("To Highest value"));
  EXPECT_EQ(spin_.RealValue(), 1e6);
  ASSERT_TRUE(trigger("To Lowest value"));
  EXPECT_EQ(spin_.RealValue(), 0.0);
  EXPECT_EQ(val_changes_, 3);
  ASSERT_TRUE(trigger("cancel"));
  EXPECT_EQ(step_changes_, 1);
}

}  // namespace
}  // namespace vireon
