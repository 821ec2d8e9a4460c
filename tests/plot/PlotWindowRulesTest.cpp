#include "plot/PlotWindowRules.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

TEST(PlotWindowRules, OpenedTitleFollowsTheDataType) {
  struct Case {
    std::uint8_t type;
    std::int32_t plot_kind;
    const char* title;
  };
  const Case cases[] = {
      {kTimeDomain, 0, "Time Domain Data"},
      {kFrequencyResponse, 0, "Frequency Response"},
      {kSpectrum, 0, "Spectrum"},
      {kSpectrum, 2, "Cumulative Spectral Decay"},
      {kComplexSpectrum, 2, "Cumulative Spectral Decay"},
      {kImpedance, 0, "Impedance"},
      {kRtaBands, 0, "RTA"},
      {kGroupDelay, 0, "Group Delay"},
      {kComponentTrack, 0, "Tracked Component Data"},
      {kResponseAndImpedance, 0, "Freq Resp and Impedance"},
  };
  for (const Case& c : cases) {
    TDataMeas record;
    record.FDataType = c.type;
    record.FPlotKind = c.plot_kind;
    EXPECT_EQ(OpenedPlotTitle(record), c.title) << int{c.type};
  }
  TDataMeas etc = fixtures::FrequencyRecord(kEnergyTimeCurve, {0.0, 1.0}, {{1, 1}, {0, 0}});
  EXPECT_EQ(OpenedPlotTitle(etc), "Schroeder Curve");
  fixtures::MakePhaseColumn(etc, 2);
  EXPECT_EQ(OpenedPlotTitle(etc), "Analytic Signal");
}

}  // namespace
}  // namespace vireon
