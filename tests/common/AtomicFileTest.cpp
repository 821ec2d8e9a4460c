#include "common/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <filesystem>

#include "common/VireonError.h"

namespace vireon {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vireon-atomic-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }
  fs::path folder_;
};

TEST_F(AtomicFileTest, WritesAndReplacesWholeContentLeavingNoTemporary) {
  const fs::path file = folder_ / "a.ini";
  WriteFileAtomically(file, "first\r\n");
  WriteFileAtomically(file, std::string("second\0with nul", 15));
  EXPECT_EQ(ReadWholeFile(file), std::string("second\0with nul", 15));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, FailedWriteKeepsOldFileAndThrows) {
  const fs::path file = folder_ / "keep.ini";
  WriteFileAtomically(file, "old");
  // A target whose folder cannot be written: the temporary cannot be made.
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  if (::geteuid() == 0) {
    // root ignores folder permissions; use a target below a plain file instead.
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_THROW(WriteFileAtomically(file / "child", "new"), VireonError);
  } else {
    EXPECT_THROW(WriteFileAtomically(file, "new"), VireonError);
  }
  EXPECT_EQ(ReadWholeFile(file), "old");
}

TEST_F(AtomicFileTest, OnlyRegularFilesAreRead) {
  EXPECT_EQ(ReadWholeFile(folder_ / "absent"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(folder_), std::nullopt);
}

}  // namespace
}  // namespace vireon
