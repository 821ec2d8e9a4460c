#pragma once

#include <string>
#include <vector>

namespace vireon {

// Sink for notices: texts an operation reports that are shown nowhere.
// They are kept so tests and the debug log can read them.
class Notices {
 public:
  void Notice(std::string text) { texts_.push_back(std::move(text)); }
  const std::vector<std::string>& Texts() const { return texts_; }
  void Clear() { texts_.clear(); }

 private:
  std::vector<std::string> texts_;
};

}  // namespace vireon
