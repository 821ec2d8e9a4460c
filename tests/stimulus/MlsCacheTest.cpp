#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/AtomicFile.h"
#include "stimulus/MlsTables.h"

namespace vireon {
namespace {

class MlsCacheTest : public ::testing::Test {
 protected:
  MlsCacheTest()
      : folder_(std::filesystem::temp_directory_path() /
                ("vireon-mls-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~MlsCacheTest() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Cache(int order) const { return folder_ / MlsCacheFileName(order); }

  std::filesystem::path folder_;
};

TEST_F(MlsCacheTest, WritesTheOrdersTablesWithTheirTrailer) {
  MlsTableStore store(folder_);
  ASSERT_TRUE(store.BuildMLSTables(12));
  const std::string bytes = ReadWholeFile(Cache(12)).value();
  ASSERT_EQ(bytes.size(), 32764u);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\xFF\x0F\0\0", 4));
  EXPECT_EQ(store.Tables().input_permutation.size(), 4095u);

  // A second store reads the file instead of generating.
  const MlsTables expected = store.Tables();
  MlsTableStore second(folder_);
  ASSERT_TRUE(second.BuildMLSTables(12));
  EXPECT_EQ(second.Tables().output_permutation, expected.output_permutation);
}

TEST_F(MlsCacheTest, AskingTwiceForOneOrderBuildsOnce) {
  MlsTableStore store(folder_);
  ASSERT_TRUE(store.BuildMLSTables(12));
  std::filesystem::remove(Cache(12));
  ASSERT_TRUE(store.BuildMLSTables(12));
  EXPECT_FALSE(std::filesystem::exists(Cache(12)));
}

// A cache of the right size whose contents would send recovery out of bounds is not trusted: the
// tables are generated again and the file rewritten.
TEST_F(MlsCacheTest, DamagedCacheIsRebuilt) {
  const MlsTables good = GenerateMlsTables(MlsRegister::ForOrder(12));
  const std::string sound = SerializeMlsTables(good);
  struct Damage {
    const char* what;
    std::size_t offset;
    std::string bytes;
  };
  for (const Damage& damage :
       {Damage{"entry beyond the work array", 40, std::string("\x00\x00\x10\x00", 4)},
        Damage{"negative entry", 4 * 4100, std::string("\xFF\xFF\xFF\xFF", 4)},
        Damage{"repeated entry", 0, sound.substr(4, 4)},
        Damage{"wrong trailer", sound.size() - 4, std::string("\x00\x10\x00\x00", 4)}}) {
    std::string bad = sound;
    bad.replace(damage.offset, damage.bytes.size(), damage.bytes);
    EXPECT_FALSE(ParseMlsTables(bad, 12)) << damage.what;
    WriteFileAtomically(Cache(12), bad);
    MlsTableStore store(folder_);
    ASSERT_TRUE(store.BuildMLSTables(12));
    EXPECT_EQ(store.Tables().input_permutation, good.input_permutation) << damage.what;
    EXPECT_EQ(ReadWholeFile(Cache(12)).value(), sound) << damage.what;
  }
  EXPECT_FALSE(ParseMlsTables(sound.substr(0, sound.size() - 4), 12));
}

TEST_F(MlsCacheTest, OrdersWithoutTablesFail) {
  MlsTableStore store(folder_);
  for (const int order : {0, 8, 11, 19, 22}) {
    EXPECT_FALSE(store.BuildMLSTables(order)) << order;
    EXPECT_EQ(store.Tables().order, 0);
  }
}

}  // namespace
}  // namespace vireon
