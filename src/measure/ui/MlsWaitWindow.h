#pragma once

#include <QDialog>

#include "stimulus/MlsTables.h"

namespace vireon {

// "One moment, please...": shown while MLS permutation tables are generated.
class MlsWaitWindow : public QDialog {
  Q_OBJECT

 public:
  explicit MlsWaitWindow(QWidget* parent = nullptr);
};

// Builds the store's tables of the order; while they are generated rather than read from the
// cache, the waiting window is on screen, painted before the work begins and closed after it.
bool BuildWithMlsWaitWindow(QWidget* parent, MlsTableStore& store, int order);

}  // namespace vireon
