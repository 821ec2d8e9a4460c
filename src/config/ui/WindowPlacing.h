#pragma once

#include "config/ProgramPreferences.h"

class QWidget;

namespace vireon {

// Puts a top-level window at a kept place, and gives it the kept size when one is stored. A place
// that would leave the window out of reach (kept on a larger or another screen) is moved onto
// the primary screen.
void PlaceWindow(QWidget& window, const WindowPlace& place);
// Where a top-level window stands now, and its size.
WindowPlace PlaceOf(const QWidget& window);

}  // namespace vireon
