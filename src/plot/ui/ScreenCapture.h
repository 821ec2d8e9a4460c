#pragma once

#include <QImage>

namespace vireon {

// One picture of every visible top-level window, each at its place on the
// screen, over a neutral background; a window kept below the others is drawn below them.
QImage GrabVisibleWindows();

}  // namespace vireon
