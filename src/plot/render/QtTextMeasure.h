#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <string_view>

#include "plot/TextMeasure.h"

namespace vireon {

// The one font every plot text is drawn in, on screen, on printouts and in pictures.
// Needs a running QGuiApplication, as every font does.
QFont PlotFont();

// A record's 8-bit text as Qt text: UTF-8 when it is valid UTF-8, else Latin-1.
QString PlotText(std::string_view bytes);

// Text sizes answered from a Qt font, for layouts drawn in that font.
class QtTextMeasure final : public TextMeasure {
 public:
  explicit QtTextMeasure(const QFont& font);
  int Height() const override;
  int Width(std::string_view text) const override;

 private:
  QFontMetrics metrics_;
};

}  // namespace vireon
