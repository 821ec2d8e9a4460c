#include "plot/render/QtTextMeasure.h"

#include <string>

#include "common/TextBytes.h"

namespace vireon {
namespace {

// Reads like the 8-point screen font of a desktop at 96 dpi, with the ° sign and every
// Latin-1 letter a record may hold.
constexpr int kPlotFontPixels = 11;

}  // namespace

QFont PlotFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kPlotFontPixels);
  return font;
}

QString PlotText(std::string_view bytes) {
  const std::string utf8 = BytesToUtf8(bytes);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QtTextMeasure::QtTextMeasure(const QFont& font) : metrics_(font) {}

int QtTextMeasure::Height() const { return metrics_.height(); }

int QtTextMeasure::Width(std::string_view text) const {
  return metrics_.horizontalAdvance(PlotText(text));
}

}  // namespace vireon
