#include "common/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/VireonError.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

namespace fs = std::filesystem;

TEST(AtomicFileTest, WritesAndReplacesWholeContentLeavingNoTemporary) {
  const TempFolder folder;
  WriteFileAtomically(folder / "a.ini", "first\r\n");
  WriteFileAtomically(folder / "a.ini", std::string("second\0with nul", 15));
  EXPECT_EQ(ReadWholeFile(folder / "a.ini"), std::string("second\0with nul", 15));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileTest, FailedWriteKeepsOldFileAndThrows) {
  const TempFolder folder;
  WriteFileAtomically(folder / "keep.ini", "old");
  // No temporary can be made below a plain file (folder permissions would not stop root).
  EXPECT_THROW(WriteFileAtomically(folder / "keep.ini" / "child", "new"), VireonError);
  EXPECT_EQ(ReadWholeFile(folder / "keep.ini"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(AtomicFileTest, OnlyRegularFilesAreRead) {
  const TempFolder folder;
  WriteFileAtomically(folder / "empty", "");
  EXPECT_EQ(ReadWholeFile(folder / "empty"), "");
  EXPECT_EQ(ReadWholeFile(folder / "absent"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(folder.Path()), std::nullopt);
}

}  // namespace
}  // namespace vireon
