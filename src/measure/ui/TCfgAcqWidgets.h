#pragma once

#include <QGroupBox>
#include <QStringList>

#include <functional>

#include "plot/ui/TEditRealSpin.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace vireon {

// The pieces the acquisition windows are built from. Each reports only what the user does:
// values set by the window itself fire nothing, so re-reading the settings never loops.

TEditRealSpin* MakeSpin(QWidget* parent, const char* name, const SpinRule& rule,
                        std::function<void(double)> changed);
// `clicked` may be empty for a box that only shows a value.
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text,
                        std::function<void(bool)> clicked);

// A titled group of radio buttons choosing one item.
class RadioChoice : public QGroupBox {
 public:
  RadioChoice(const char* name, const QString& title, const QStringList& items, QWidget* parent,
              Qt::Orientation orientation = Qt::Vertical);

  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const;
  void OnPick(std::function<void(int index)> picked);

 private:
  QButtonGroup* buttons_;
};

}  // namespace vireon
