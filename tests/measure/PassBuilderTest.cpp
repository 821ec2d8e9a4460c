#include "measure/PassBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vireon {
namespace {

double OfFullScale(double dbfs) { return std::pow(10.0, dbfs / 20.0); }

TEST(PassBuilder, AnInputWithinOneDecibelOfFullScaleIsAnOverload) {
  const struct {
    double a_dbfs;
    double b_dbfs;
    bool overloaded;
  } cases[] = {
      {-1.01, -60.0, false}, {-0.99, -60.0, true}, {-60.0, -0.5, true},  // either input
      {-1.01, -1.01, false}, {0.0, 0.0, true},
  };
  for (const auto& c : cases) {
    PassLevels levels;
    levels.channels[0].peak_of_full_scale = OfFullScale(c.a_dbfs);
    levels.channels[1].peak_of_full_scale = OfFullScale(c.b_dbfs);
    EXPECT_EQ(InputOverloaded(levels), c.overloaded) << c.a_dbfs << " " << c.b_dbfs;
  }
}

}  // namespace
}  // namespace vireon
