#pragma once

#include <stdexcept>

namespace vireon::cli {

// Exit codes of the command-line contract.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;  // the operation failed
inline constexpr int kExitUsage = 2;   // an option, key or value the command cannot take

// A usage error found after parsing (a key or value the settings refuse).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vireon::cli
