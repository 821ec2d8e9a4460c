#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/AtomicFile.h"

namespace vireon {

// A fresh folder per test, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("vireon-test-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" +
             test->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  std::string Read(std::string_view name) const { return ReadWholeFile(path_ / name).value_or(""); }

 private:
  std::filesystem::path path_;
};

}  // namespace vireon
