#pragma once

#include <algorithm>
#include <initializer_list>

namespace vireon {

// Whether a stimulus code or acquisition type is one of a listed set, as the rules name them.
inline bool OneOf(int value, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

}  // namespace vireon
