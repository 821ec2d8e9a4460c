#pragma once

#include <string_view>

#include "plot/TextMeasure.h"

namespace vireon {

// Text of a known size for layout tests: every character 7 pixels wide, lines 13 pixels high.
class FixedTextMeasure : public TextMeasure {
 public:
  int Height() const override { return 13; }
  int Width(std::string_view text) const override { return 7 * static_cast<int>(text.size()); }
};

}  // namespace vireon
