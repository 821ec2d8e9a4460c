#pragma once

#include <stdexcept>

namespace vireon {

// An operation that stops throws this, carrying the text the user is shown.
class VireonError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vireon
