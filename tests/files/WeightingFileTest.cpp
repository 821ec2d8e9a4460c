#include "files/WeightingFile.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "common/AtomicFile.h"
#include "files/FileContext.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

TEST(WeightingFile, ParseCurveLineTakesTwoOrThreeNumbers) {
  struct Case {
    const char* line;
    std::optional<std::array<double, 3>> values;
  };
  const Case cases[] = {
      {"1000 0", std::array{1000.0, 0.0, 0.0}},
      {" \t20\t-3.5\t45 ", std::array{20.0, -3.5, 45.0}},
      {"1000,3;7", std::array{1000.0, 3.0, 7.0}},
      {"1e3,  -6", std::array{1000.0, -6.0, 0.0}},
      {",1000 3", std::nullopt},
      {"1000", std::nullopt},
      {"1000 3 4 5", std::nullopt},  // a fourth value
      {"1000,,3", std::nullopt},
      {"1000 dB", std::nullopt},
      {"1000 3 x", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::optional<CurveLine> parsed = ParseCurveLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.values.has_value());
    if (!parsed) continue;
    EXPECT_EQ((std::array{parsed->Freq, parsed->Level, parsed->Phase}), *c.values);
  }
}

// A title, 1000 Hz at 0 dB and 2000 Hz at +6.0206 dB: factors 1 and 2, named after the file.
TEST(WeightingFile, LevelsBecomeFactorsNamedAfterTheFile) {
  TempFolder folder;
  WriteFileAtomically(folder / "Boost.wgt", "My boost\r\n1000 0\r\n2000 6.0206\r\n");
  CollectedMessages messages;
  const std::optional<TWeighting> weighting =
      LoadWeightingFile(folder / "Boost.wgt", false, messages);
  ASSERT_TRUE(weighting);
  EXPECT_EQ(weighting->Name, "Boost");
  ASSERT_EQ(weighting->Points.size(), 2u);
  EXPECT_DOUBLE_EQ(weighting->Points[0].Factor, 1.0);
  EXPECT_NEAR(weighting->Points[1].Factor, 2.0, 1e-5);
}

TEST(WeightingFile, AFileWithoutDataLinesIsRefused) {
  TempFolder folder;
  WriteFileAtomically(folder / "Empty.wgt", "only a title\n\n");
  CollectedMessages messages;
  EXPECT_FALSE(LoadWeightingFile(folder / "Empty.wgt", false, messages));
  EXPECT_FALSE(LoadWeightingFile(folder / "Missing.wgt", false, messages));
}

}  // namespace
}  // namespace vireon
