#include "plot/ScaleRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

// The value on division line d, counted from the bottom (0) to the top (divisions).
double ValueOnLine(const TFieldType& curve, double line) {
  return -curve.RefValue + (line - curve.RefDiv) * curve.PerDiv;
}

// Frequency response with magnitude, phase and coherence, 10 divisions.
TDataMeas ResponseWithCoherence() {
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {100, 200, 300, 400},
                                               {{1, 1, 1, 1}, {0, 0, 0, 0}, {1, 1, 1, 1}});
  record.FFields[1].ShowAsDb = 1;
  record.FFields[1].Units = "dB";
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[3].Name = "Coherence Function";
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

TEST(ScaleRulesTest, PhaseAndCoherenceFillTheHeightAtEveryCount) {
  for (const std::int32_t divisions : {1, 4, 5, 7, 8, 10, 40}) {
    TDataMeas record = ResponseWithCoherence();
    ChangeDivisionCount(record, divisions);
    EXPECT_EQ(record.FNumDivisions, divisions);
    const TFieldType& phase = record.FFields[2];
    EXPECT_NEAR(ValueOnLine(phase, 0), -180.0, 1e-9) << divisions;
    EXPECT_NEAR(ValueOnLine(phase, divisions), 180.0, 1e-9) << divisions;
    EXPECT_EQ(phase.RefDiv, divisions / 2);
    const TFieldType& coherence = record.FFields[3];
    EXPECT_NEAR(ValueOnLine(coherence, 0), 0.0, 1e-12) << divisions;
    EXPECT_NEAR(ValueOnLine(coherence, divisions), 1.0, 1e-12) << divisions;
  }
}

TEST(ScaleRulesTest, DivisionCountChangeMovesTheReference) {
  struct Case {
    std::int32_t old_divisions;
    std::int32_t old_reference;
    std::int32_t divisions;
    std::int32_t expected_divisions;
    std::int32_t expected_reference;
  };
  const Case cases[] = {
      {10, 10, 8, 8, 8},     // the top stays the top
      {10, 5, 7, 7, 3},      // the middle stays the middle
      {10, 9, 20, 20, 19},   // the top grid line stays one below the top
      {10, 2, 12, 12, 4},    // below the middle: the same distance from the top
      {10, 1, 4, 4, 0},      // ... but never below the bottom
      {10, 7, 0, 1, 0},      // the count is at least 1
      {10, 10, 99, 40, 40},  // and at most 40
  };
  for (const Case& c : cases) {
    TDataMeas record = ResponseWithCoherence();
    record.FNumDivisions = c.old_divisions;
    record.FFields[1].RefDiv = c.old_reference;
    record.FFields[1].PerDiv = 6.0;
    ChangeDivisionCount(record, c.divisions);
    EXPECT_EQ(record.FNumDivisions, c.expected_divisions)
        << c.old_reference << " -> " << c.divisions;
    EXPECT_EQ(record.FFields[1].RefDiv, c.expected_reference)
        << c.old_reference << " -> " << c.divisions;
    EXPECT_EQ(record.FFields[1].PerDiv, 6.0);
  }
}

TEST(ScaleRulesTest, ImpedanceCurveStaysOnTheBottomLine) {
  TDataMeas record =
      fixtures::FrequencyRecord(kImpedance, {10, 100, 1000, 10000}, {{6, 30, 8, 12}});
  record.FFields[1].Units = "Ohm";
  record.FFields[1].RefDiv = 3;
  record.FNumDivisions = 10;
  ChangeDivisionCount(record, 6);
  EXPECT_EQ(record.FFields[1].RefDiv, 0);
}

TEST(ScaleRulesTest, LabelClicksActOnDbTracesOnly) {
  struct Case {
    std::uint8_t show_as_db;
    std::string units;
    int trace;
    bool applies;
  };
  const Case cases[] = {
      {1, "dBV", 0, true},  // drawn as dB
      {0, "dB", 0, true},   // holding dB values
      {0, "V", 0, false},   // linear
      {1, "dB", 1, false},  // trace B shows the phase
      {1, "dB", 2, false},  // no such trace
  };
  for (const Case& c : cases) {
    TDataMeas record = ResponseWithCoherence();
    record.FFields[1].ShowAsDb = c.show_as_db;
    record.FFields[1].Units = c.units;
    record.FFields[1].PerDiv = 10.0;
    record.FFields[1].RefValue = -90.0;
    record.FFields[1].RefDiv = 9;
    record.FFields[2].PerDiv = 45.0;
    const TDataMeas before = record;

    EXPECT_EQ(SetOneDbPerDivision(record, c.trace), c.applies) << c.units << " " << c.trace;
    EXPECT_EQ(CentreDbReference(record, c.trace), c.applies) << c.units << " " << c.trace;
    if (c.applies) {
      EXPECT_EQ(ScaleOf(record.FFields[1]), (CurveScale{1.0, 0.0, 5}));
    } else {
      EXPECT_EQ(ScaleOf(record.FFields[1]), ScaleOf(before.FFields[1]));
      EXPECT_EQ(ScaleOf(record.FFields[2]), ScaleOf(before.FFields[2]));
    }
  }
}

enum class Entry { Start, Stop, Centre, Span, ResetStart, ResetStop };

bool Enter(TDataMeas& record, Entry entry, double value) {
  switch (entry) {
    case Entry::Start:
      return EnterViewStart(record, value);
    case Entry::Stop:
      return EnterViewStop(record, value);
    case Entry::Centre:
      return EnterViewCentre(record, value);
    case Entry::Span:
      return EnterViewSpan(record, value);
    case Entry::ResetStart:
      return ResetViewStart(record);
    case Entry::ResetStop:
      return ResetViewStop(record);
  }
  return false;
}

TEST(ScaleRulesTest, HorizontalRangeEntry) {
  struct Case {
    const char* what;
    std::uint8_t type;
    bool log;
    double start;
    double stop;
    Entry entry;
    double value;
    bool accepted;
    double expected_start;
    double expected_stop;
  };
  constexpr std::uint8_t kResponse = kFrequencyResponse;
  constexpr std::uint8_t kTime = kTimeDomain;
  const Case cases[] = {
      {"start", kResponse, false, 100, 1000, Entry::Start, 200, true, 200, 1000},
      {"start above stop", kResponse, false, 100, 1000, Entry::Start, 1500, true, 999, 1000},
      {"negative start", kResponse, false, 100, 1000, Entry::Start, -5, false, 100, 1000},
      {"zero start is not taken by the record", kResponse, false, 100, 1000, Entry::Start, 0, false,
       100, 1000},
      {"stop", kResponse, false, 100, 1000, Entry::Stop, 5000, true, 100, 5000},
      {"stop below start", kResponse, false, 100, 1000, Entry::Stop, 50, true, 100, 100 / 0.999},
      {"negative time start", kTime, false, 0, 0.02, Entry::Start, -0.5, true, -0.5, 0.02},
      {"time start below the limit", kTime, false, 0, 0.02, Entry::Start, -1e6, false, 0, 0.02},
      {"start above a negative stop", kTime, false, -0.02, -0.01, Entry::Start, -0.005, true,
       -0.01 / 0.999, -0.01},
      {"stop below a negative start", kTime, false, -0.02, 0.01, Entry::Stop, -0.03, true, -0.02,
       -0.02 * 0.999},
      {"start above a zero stop", kTime, false, -0.01, 0, Entry::Start, 0.005, false, -0.01, 0},
      {"linear centre", kResponse, false, 100, 1100, Entry::Centre, 2000, true, 1500, 2500},
      {"centre within half a span of zero", kResponse, false, 100, 1100, Entry::Centre, 300, true,
       1000 / 1.99 - 500, 1000 / 1.99 + 500},
      {"linear span", kResponse, false, 100, 1100, Entry::Span, 200, true, 500, 700},
      {"span wider than twice the centre", kResponse, false, 100, 1100, Entry::Span, 2000, true,
       2000 / 1.99 - 1000, 2000 / 1.99 + 1000},
      {"zero span", kResponse, false, 100, 1100, Entry::Span, 0, false, 100, 1100},
      {"negative span", kTime, false, 0, 0.02, Entry::Span, -0.01, false, 0, 0.02},
      {"log centre", kResponse, true, 100, 1600, Entry::Centre, 1000, true, 250, 4000},
      {"log centre needs no room below", kResponse, true, 100, 1600, Entry::Centre, 3, true, 0.75,
       12},
      {"zero log centre", kResponse, true, 100, 1600, Entry::Centre, 0, false, 100, 1600},
      {"log span in octaves", kResponse, true, 100, 1600, Entry::Span, 2, true, 200, 800},
      {"log span beyond doubles", kResponse, true, 100, 1600, Entry::Span, 3000, false, 100, 1600},
      {"reset start", kResponse, false, 100, 1000, Entry::ResetStart, 0, true, 20, 1000},
      {"reset stop", kResponse, false, 100, 1000, Entry::ResetStop, 0, true, 100, 20000},
  };
  for (const Case& c : cases) {
    TDataMeas record = fixtures::FrequencyRecord(c.type, {20, 200, 2000, 20000}, {{1, 1, 1, 1}});
    record.FLogX = c.log ? 1 : 0;
    record.FViewStart = c.start;
    record.FViewStop = c.stop;
    record.FFields[1].Unwrapped = 1;
    EXPECT_EQ(Enter(record, c.entry, c.value), c.accepted) << c.what;
    EXPECT_NEAR(record.FViewStart, c.expected_start, 1e-9 * std::abs(c.expected_start)) << c.what;
    EXPECT_NEAR(record.FViewStop, c.expected_stop, 1e-9 * std::abs(c.expected_stop)) << c.what;
    // A new range asks for the phase to be unwrapped again from its start; a refused one not.
    EXPECT_EQ(record.FFields[1].Unwrapped, c.accepted ? 0 : 1) << c.what;
  }
}

}  // namespace
}  // namespace vireon
