#pragma once

#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <memory>

#include "plot/NumberEntry.h"

class QMenu;
class QToolButton;

namespace vireon {

// The edit field of the numeric entry control. It reports the keys the control acts on and the
// user's clicks; everything else it edits as a line edit does.
class TEditReal : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEditReal(QWidget* parent = nullptr);

 signals:
  void StepKeyPressed(StepDirection direction, Qt::KeyboardModifiers modifiers);
  void EnterPressed();
  void EscapePressed();
  void Clicked();
  void DoubleClicked();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The numeric entry control of every configuration window: an edit field with an engineering
// prefix and units, up/down buttons stepping by the chosen rule, an optional second pair of
// buttons (the dot spin) and a right-click menu of the step rules.
class TEditRealSpin : public QWidget {
  Q_OBJECT
  Q_PROPERTY(double RealValue READ RealValue WRITE SetRealValue)
  Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
  Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
  Q_PROPERTY(bool IntOnly READ IntOnly WRITE SetIntOnly)
  Q_PROPERTY(bool EngUnits READ EngUnits WRITE SetEngUnits)
  Q_PROPERTY(int DefNumChars READ DefNumChars WRITE SetDefNumChars)
  Q_PROPERTY(QString Units READ Units WRITE SetUnits)
  Q_PROPERTY(bool ShowUnits READ ShowUnits WRITE SetShowUnits)
  Q_PROPERTY(double RealMult READ RealMult WRITE SetRealMult)
  Q_PROPERTY(double RealInc READ RealInc WRITE SetRealInc)
  Q_PROPERTY(int CardInc READ CardInc WRITE SetCardInc)
  Q_PROPERTY(bool ShowDotSpin READ ShowDotSpin WRITE SetShowDotSpin)
  Q_PROPERTY(bool AvoidSetFocus READ AvoidSetFocus WRITE SetAvoidSetFocus)

 public:
  explicit TEditRealSpin(QWidget* parent = nullptr);
  ~TEditRealSpin() override;

  // Setting the value shows it and forgets the last step; it fires no OnValChange.
  double RealValue() const { return entry_.Value(); }
  void SetRealValue(double value);
  double MinValue() const { return settings_.MinValue; }
  void SetMinValue(double value);
  double MaxValue() const { return settings_.MaxValue; }
  void SetMaxValue(double value);
  bool IntOnly() const { return settings_.IntOnly; }
  void SetIntOnly(bool on);
  bool EngUnits() const { return settings_.EngUnits; }
  void SetEngUnits(bool on);
  int DefNumChars() const { return settings_.DefNumChars; }
  void SetDefNumChars(int digits);
  QString Units() const;
  void SetUnits(const QString& units);
  bool ShowUnits() const { return settings_.ShowUnits; }
  void SetShowUnits(bool on);
  StepModeT StepMode() const { return settings_.StepMode; }
  void SetStepMode(StepModeT mode);
  double RealMult() const { return settings_.RealMult; }
  void SetRealMult(double factor);
  double RealInc() const { return settings_.RealInc; }
  void SetRealInc(double increment);
  int CardInc() const { return settings_.CardInc; }
  void SetCardInc(int increment);
  bool ShowDotSpin() const { return settings_.ShowDotSpin; }
  void SetShowDotSpin(bool on);
  bool AvoidSetFocus() const { return avoid_set_focus_; }
  void SetAvoidSetFocus(bool on) { avoid_set_focus_ = on; }
  const NumberEntrySettings& Settings() const { return settings_; }

  TEditReal* Edit() const { return edit_; }
  // What the up/down buttons, the wheel and the Up/Down keys do.
  void Step(StepDirection direction, Qt::KeyboardModifiers modifiers);
  // Reads the typed entry, as Enter does: a number is taken (limited to the range), anything
  // else fires OnValErr and shows the value again. True when the entry was taken.
  bool AcceptEntry();
  // The right-click menu, built for the current settings.
  std::unique_ptr<QMenu> CreateStepMenu();
  void ApplyMenuAction(StepMenuAction action);

 signals:
  void OnValChange();
  void OnClick();
  void OnDblClick();
  void OnValErr();
  void OnStepChange();
  void OnDotSpinUp();
  void OnDotSpinDn();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void ShowValue();
  void FilterTyping();
  void StepByMouse(StepDirection direction);
  void TakeValue(double value);
  void SelectStepMode(StepModeT mode);
  bool EditIncrement(StepMenuAction action);

  NumberEntrySettings settings_;
  NumberEntry entry_;
  bool avoid_set_focus_ = false;
  int wheel_remainder_ = 0;  // eighths of a degree not yet stepped
  TEditReal* edit_;
  QWidget* up_down_;
  QWidget* dot_spin_;
};

// A numeric field's range, units and step rule, as the configuration windows lay them out.
struct SpinRule {
  double min = 0.0;
  double max = 1.0;
  StepModeT step = StepModeT::smIntRound;
  double step_size = 1.0;  // the factor of smLog, the increment of smReal and smIntRound
  bool int_only = false;
  bool eng_units = true;  // off: plain digits, as sizes and counts want
  const char* units = "";
  int digits = 0;  // significant digits shown; 0: 4 in engineering units, else 9 (every digit)
};
TEditRealSpin* NewEditRealSpin(QWidget* parent, const char* name, const SpinRule& rule);

}  // namespace vireon
