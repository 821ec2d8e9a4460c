#pragma once

#include <QColor>
#include <QPainter>

#include "plot/DisplayList.h"

namespace vireon {

// A plot colour (0x00BBGGRR, red in the low byte) as a Qt colour; the high byte is ignored.
QColor ToQColor(PlotColor color);

// Replays the list on the painter, shapes without antialiasing, each on exactly its pixels: a
// 1-pixel line lights the pixels from its first point's to its last point's, both included.
// Texts are drawn smoothed in the painter's font: set it to the font the list was measured
// with. The painter's state is left as it was.
void PaintDisplayList(QPainter& painter, const DisplayList& list);

}  // namespace vireon
