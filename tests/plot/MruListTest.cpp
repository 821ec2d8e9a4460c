#include "plot/MruList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../support/TempFolder.h"
#include "common/AtomicFile.h"
#include "config/IniFile.h"

namespace vireon {
namespace {

using Paths = std::vector<std::filesystem::path>;

TEST(MruList, TheNinthDistinctFileDropsTheOldestAndReopeningMovesToTheTop) {
  TMruList list;
  for (int i = 1; i <= 9; ++i) list.Add("/data/f" + std::to_string(i) + ".frd");
  ASSERT_EQ(list.Entries().size(), 8u);
  EXPECT_EQ(list.Entries().front(), "/data/f9.frd");
  EXPECT_EQ(list.Entries().back(), "/data/f2.frd");  // f1 went

  list.Add("/data/f5.frd");
  const Paths expected = {"/data/f5.frd", "/data/f9.frd", "/data/f8.frd", "/data/f7.frd",
                          "/data/f6.frd", "/data/f4.frd", "/data/f3.frd", "/data/f2.frd"};
  EXPECT_EQ(list.Entries(), expected);
}

TEST(MruList, BackupFilesAreNeverListed) {
  TMruList list;
  list.Add("/data/a.vr2");
  for (const char* name : {"/data/b.vbu", "/data/c.VBU", "/data/d.Vbu"}) list.Add(name);
  EXPECT_EQ(list.Entries(), Paths{"/data/a.vr2"});
}

TEST(MruList, FileRoundTripClosesUpVanishedEntries) {
  TempFolder folder;
  for (const char* name : {"a.frd", "b.vr2", "c.zma"}) WriteFileAtomically(folder / name, "x");
  TMruList list;
  for (const char* name : {"a.frd", "b.vr2", "c.zma"}) list.Add(folder / name);
  ASSERT_TRUE(list.Save(folder.Path()));

  const IniFile ini = IniFile::FromFile(folder / "MRU_list.qtq");
  EXPECT_EQ(ini.ReadString("Most Recently Used Files", "File0", ""), (folder / "c.zma").string());
  EXPECT_EQ(ini.ReadString("Most Recently Used Files", "File2", ""), (folder / "a.frd").string());
  EXPECT_TRUE(ini.ValueExists("Most Recently Used Files", "File7"));  // written empty

  std::filesystem::remove(folder / "b.vr2");
  TMruList loaded;
  loaded.Add("/stale/entry.vr2");  // replaced by what the file holds
  loaded.Load(folder.Path());
  EXPECT_EQ(loaded.Entries(), (Paths{folder / "c.zma", folder / "a.frd"}));
}

TEST(MruList, SaveIntoAFolderThatCannotBeWrittenFails) {
  TMruList list;
  list.Add("/data/a.frd");
  EXPECT_FALSE(list.Save("/nonexistent-folder/below"));
}

TEST(MruList, MenuCaptionsNumberFromOneAndDropTheDataFolder) {
  struct Case {
    std::size_t index;
    const char* file;
    const char* data_folder;
    const char* caption;
  };
  const Case cases[] = {
      {0, "/home/u/data/x.frd", "/home/u/data", "1 x.frd"},
      {1, "/home/u/data/sub/y.vr2", "/home/u/data/", "2 sub/y.vr2"},
      {7, "/home/u/database/z.vr2", "/home/u/data", "8 /home/u/database/z.vr2"},
      {2, "/elsewhere/w.wav", "", "3 /elsewhere/w.wav"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MruMenuCaption(c.index, c.file, c.data_folder), c.caption) << c.file;
  }
}

}  // namespace
}  // namespace vireon
