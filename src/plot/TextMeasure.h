#pragma once

#include <string_view>

namespace vireon {

// Sizes of label text in pixels, for layouts that depend on the font (label offsets, whether
// the title fits, legend lines). The renderer answers from its font; tests use fixed sizes.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual int Height() const = 0;                      // of one line
  virtual int Width(std::string_view text) const = 0;  // of the record's 8-bit text
};

}  // namespace vireon
