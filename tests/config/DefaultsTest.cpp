#include "config/Defaults.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/TempFolder.h"
#include "common/AtomicFile.h"

namespace vireon {
namespace {

Environment FakeEnvironment(std::map<std::string, std::string> variables) {
  return Environment{
      [variables = std::move(variables)](std::string_view name) -> std::optional<std::string> {
        const auto found = variables.find(std::string(name));
        if (found == variables.end()) return std::nullopt;
        return found->second;
      }};
}

TEST(Defaults, DataDirectoryComesFromTheEnvironmentAndIsCreated) {
  const TempFolder folder;
  const std::string root = folder.Path().string();
  struct Case {
    std::map<std::string, std::string> variables;
    std::string expected;
  };
  const Case cases[] = {
      {{{"VIREON_DATA_DIR", root + "/own//"}, {"XDG_DATA_HOME", root + "/xdg"}}, root + "/own/"},
      {{{"VIREON_DATA_DIR", ""}, {"XDG_DATA_HOME", root + "/xdg"}}, root + "/xdg/VireonFree/"},
      {{{"XDG_DATA_HOME", "relative/xdg"}, {"HOME", root + "/home"}},
       root + "/home/.local/share/VireonFree/"},
      {{{"HOME", root + "/home2"}}, root + "/home2/.local/share/VireonFree/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DataDirectory(FakeEnvironment(c.variables)), c.expected);
    EXPECT_TRUE(std::filesystem::is_directory(c.expected)) << c.expected;
  }
}

TEST(Defaults, StoredNamesAreRelativeToTheDataDirectory) {
  const std::string data = "/home/u/.local/share/VireonFree/";
  struct Case {
    const char* name;
    const char* relative;
  };
  const Case to_relative[] = {
      {"/home/u/.local/share/VireonFree/lists/f.txt", "lists/f.txt"},
      {"/home/u/.local/share/vireonfree/lists/f.txt",  // names are case-sensitive
       "/home/u/.local/share/vireonfree/lists/f.txt"},
      {"/home/u/.local/share/VireonFreeX/f.txt", "/home/u/.local/share/VireonFreeX/f.txt"},
      {"/elsewhere/f.txt", "/elsewhere/f.txt"},
      {"", ""},
  };
  for (const Case& c : to_relative) EXPECT_EQ(ToDataRelative(c.name, data), c.relative) << c.name;

  const Case from_relative[] = {
      {"lists/f.txt", "/home/u/.local/share/VireonFree/lists/f.txt"},
      {"lists\\sub\\f.txt", "/home/u/.local/share/VireonFree/lists/sub/f.txt"},
      {"/abs/f.txt", "/abs/f.txt"},
      {"/a", "/a"},
      {"D:\\x.txt", "D:\\x.txt"},
      {"ab", ""},
      {"", ""},
  };
  for (const Case& c : from_relative) {
    EXPECT_EQ(FromDataRelative(c.name, data), c.relative) << c.name;
  }
  const std::string stored = ToDataRelative(data + "w/Pink.wgt", data);
  EXPECT_EQ(FromDataRelative(stored, data), data + "w/Pink.wgt");
}

TEST(Defaults, RegisterDataPathWritesTheQuotedFolder) {
  const TempFolder folder;
  const std::string root = folder.Path().string();
  const Environment environment =
      FakeEnvironment({{"VIREON_DATA_DIR", root + "/data"}, {"XDG_CONFIG_HOME", root + "/cfg"}});
  WriteFileAtomically(folder / "cfg", "a file where the folder should be");
  RegisterDataPath(environment);  // fails quietly

  std::filesystem::remove(folder / "cfg");
  RegisterDataPath(environment);
  EXPECT_EQ(folder.Read("cfg/VireonFree/DataPath.ini"),
            "[Software\\Vireon]\r\nVireon_Data_Path=\"" + root + "/data/\"\r\n");

  const Environment home_only = FakeEnvironment({{"HOME", root + "/h"}});
  EXPECT_EQ(DataPathFile(home_only), folder.Path() / "h/.config/VireonFree/DataPath.ini");
}

TEST(Defaults, FolderAndFileHelpers) {
  const TempFolder folder;
  EXPECT_TRUE(ForceFolders(folder / "a/b/c"));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/c"));
  WriteFileAtomically(folder / "f", "x");
  EXPECT_FALSE(ForceFolders(folder / "f/g"));
  EXPECT_FALSE(ForceFolders(""));

  EXPECT_TRUE(DeleteIfExists(folder / "f"));
  EXPECT_FALSE(std::filesystem::exists(folder / "f"));
  EXPECT_TRUE(DeleteIfExists(folder / "never"));
  WriteFileAtomically(folder / "a/b/c/keep", "x");
  EXPECT_FALSE(DeleteIfExists(folder / "a"));  // a folder with content stays

  const std::string program = ProgramDirectory();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(program + "config_tests"));

  const std::string system = SystemVersionName();
  EXPECT_EQ(system.rfind("Linux ", 0), 0u) << system;
}

}  // namespace
}  // namespace vireon
