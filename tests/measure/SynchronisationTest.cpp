#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "measure/PhaseDelayCorrection.h"
#include "measure/SyncStartCheck.h"
#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

// Table indexes 0..9: 768000 384000 192000 96000 88200 48000 44100 32000 24000 22050.
RateAvailability UsableOnly(std::initializer_list<int> rates) {
  RateAvailability usable{};
  for (const int rate : rates) usable[static_cast<std::size_t>(RateIndexOf(rate))] = true;
  return usable;
}

TEST(SynchronousStartTest, ChoosesAUsableRateOrRefuses) {
  struct Case {
    bool same_device;
    int record_rate;
    RateAvailability usable;
    int result;
    int rate;
  };
  const Case cases[] = {
      // 48000 unusable: upwards 88200 is unusable too, 96000 is taken.
      {true, 48000, UsableOnly({96000, 44100}), kSyncStartOk, 96000},
      {true, 22050, UsableOnly({24000}), kSyncStartOk, 24000},
      // Nothing upwards, and downwards the search stops at 32000.
      {true, 44100, UsableOnly({24000, 22050}), kNoSyncRate, 0},
      // Nothing upwards: the nearest usable slower rate.
      {true, 192000, UsableOnly({44100, 32000}), kSyncStartOk, 44100},
      // A rate between table rates takes the next faster table rate.
      {true, 50000, UsableOnly({88200, 48000}), kSyncStartOk, 88200},
      {true, 48000, UsableOnly({48000}), kSyncStartOk, 48000},
      {false, 48000, UsableOnly({48000}), kDifferentDevices, 0},
  };
  for (const Case& c : cases) {
    const SyncStartResult result = CheckSynchronousStart(c.same_device, c.record_rate, c.usable);
    EXPECT_EQ(result.result, c.result) << c.record_rate;
    EXPECT_EQ(result.rate, c.rate) << c.record_rate;
  }
  EXPECT_EQ(SyncStartNotice(kDifferentDevices),
            "Synchronous operation must use SAME DEVICE for record and play!");
  EXPECT_EQ(SyncStartNotice(kNoSyncRate),
            "Could not find sample rates usable for Synchronous operation!");
  EXPECT_TRUE(SyncStartNotice(kSyncStartOk).empty());
}

// The per-device file keeps flags for 768000..32000 only; 24000 and 22050 count as usable.
TEST(SynchronousStartTest, DeviceFlagsCoverTheWholeTable) {
  TDeviceCal play_device;
  play_device.sync_rate_flags.fill(false);
  play_device.sync_rate_flags[3] = true;  // 96000
  const RateAvailability usable = SyncUsableRates(play_device);
  const std::array<bool, kRateCount> expected{false, false, false, true, false,
                                              false, false, false, true, true};
  EXPECT_EQ(usable, expected);
}

TEST(AsynchronousTimingTest, PreRollAndAnalysisStart) {
  struct Case {
    int record_rate, play_rate;
    std::int32_t output_latency, input_latency;
    double propagation_s;
    std::int32_t pre_roll, analysis_start;
  };
  const Case cases[] = {
      {48000, 48000, 100, 100, 0.0, 200, 200},
      // 10 ms out at 44.1 kHz plus 10 ms in at 48 kHz: 20 ms of 48 kHz; + 2.5 ms of travel.
      {48000, 44100, 441, 480, 0.0025, 960, 1080},
      // 1000 samples at 96 kHz are 10.4167 ms: 500.0 + 100 samples at 48 kHz.
      {48000, 96000, 1000, 100, 0.001, 600, 648},
      // 3 ms out at 48 kHz into a 44.1 kHz record: 132.3 samples rounds to 132.
      {44100, 48000, 144, 0, 0.0, 132, 132},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AsynchronousPreRoll(c.record_rate, c.play_rate, c.output_latency, c.input_latency),
              c.pre_roll)
        << c.record_rate << "/" << c.play_rate;
    EXPECT_EQ(AnalysisStartOffset(c.record_rate, c.play_rate, c.output_latency, c.input_latency,
                                  c.propagation_s),
              c.analysis_start)
        << c.record_rate << "/" << c.play_rate;
  }
}

TEST(DelayCompensationTitleTest, ShowsTheDisplayDelayWhereItApplies) {
  struct Case {
    double delay;
    std::uint8_t data_type;
    bool suppressed;
    std::string title;
  };
  const Case cases[] = {
      {56.0 / 48000.0, kFrequencyResponse, false, " (DComp = 0.001167sec)"},
      {-2.5e-05, kSpectrum, false, " (DComp = -2.5e-05sec)"},
      {0.0123456, kTimeDomain, false, " (DComp = 0.01235sec)"},
      {1.5e-06, kImpedance, false, " (DComp = 1.5e-06sec)"},
      {1e-06, kFrequencyResponse, false, ""},
      {-1e-06, kFrequencyResponse, false, ""},
      {0.001, kRtaBands, false, ""},
      {0.001, kComponentTrack, false, ""},
      {0.001, kFrequencyResponse, true, ""},
  };
  for (const Case& c : cases) {
    TDataMeas record;
    record.FDataType = c.data_type;
    record.FDisplayDelay = c.delay;
    EXPECT_EQ(DelayCompensationTitle(record, c.suppressed), c.title) << c.delay;
  }
}

TEST(SkewCompensatedTypesTest, FourToElevenThirteenToSeventeenAndTwenty) {
  for (int type = 0; type <= 27; ++type) {
    const bool expected = (type >= 4 && type <= 11) || (type >= 13 && type <= 17) || type == 20;
    EXPECT_EQ(CompensatesFractionalSkew(type), expected) << type;
  }
  EXPECT_FALSE(CompensatesFractionalSkew(99));
}

// A frequency response with phase columns 2 (A) and 4 (B) and a magnitude column between.
class FractionalSkewTest : public ::testing::Test {
 protected:
  static constexpr double kSkew = 1.0 / 96000.0;  // seconds
  const std::vector<double> frequencies_ = {0.0, 100.0, 1000.0, 5000.0, 20000.0};
  const std::vector<double> phase_a_ = {0.0, 10.0, -45.0, 170.0, -120.0};
  const std::vector<double> phase_b_ = {0.0, -3.0, 20.0, 90.0, 60.0};
  TDataMeas freq_rec_ = Make();

  TDataMeas Make() const {
    TDataMeas record = fixtures::FrequencyRecord(
        kFrequencyResponse, frequencies_, {{1, 1, 1, 1, 1}, phase_a_, {1, 1, 1, 1, 1}, phase_b_});
    fixtures::MakePhaseColumn(record, 2);
    fixtures::MakePhaseColumn(record, 4);
    return record;
  }

  // The phase column as it should read with `skew` seconds removed: phase - skew·360·f.
  void ExpectPhases(double skew, const char* when) const {
    for (std::size_t j = 0; j < frequencies_.size(); ++j) {
      const double shift = skew * 360.0 * frequencies_[j];
      EXPECT_NEAR(freq_rec_.FFields[2].Values[j], phase_a_[j] - shift, 1e-9) << when << " " << j;
      EXPECT_NEAR(freq_rec_.FFields[4].Values[j], phase_b_[j] - shift, 1e-9) << when << " " << j;
      EXPECT_EQ(freq_rec_.FFields[3].Values[j], 1.0);
    }
  }
};

TEST_F(FractionalSkewTest, ShownPassIsCorrectedAndAveragingSeesRawPhase) {
  PhaseDelayCorrection compensation;
  compensation.Apply(freq_rec_, kSkew);
  ExpectPhases(kSkew, "shown");
  EXPECT_EQ(freq_rec_.FFields[2].Unwrapped, 0);
  EXPECT_EQ(compensation.Applied(), kSkew);
  compensation.UndoBeforePass(freq_rec_);
  ExpectPhases(0.0, "before the next pass");
  EXPECT_EQ(compensation.Applied(), 0.0);
}

// A pass shown as time data gets no correction, so nothing may be put back before the pass after
// it: putting D back again every time would drift the averaged phase by D·360·f per pass.
TEST_F(FractionalSkewTest, PassShownAsTimeDataIsNotUndoneAgain) {
  PhaseDelayCorrection compensation;
  compensation.Apply(freq_rec_, kSkew);  // pass 1, frequency record shown
  compensation.UndoBeforePass(freq_rec_);
  // pass 2 shown as time data: no correction
  compensation.UndoBeforePass(freq_rec_);
  ExpectPhases(0.0, "after an uncorrected pass");
  compensation.Apply(freq_rec_, kSkew);  // pass 3
  ExpectPhases(kSkew, "pass 3");
}

// Showing the record twice within one pass corrects it once; a changed skew replaces the old one.
TEST_F(FractionalSkewTest, RepeatedApplyCorrectsOnce) {
  PhaseDelayCorrection compensation;
  compensation.Apply(freq_rec_, kSkew);
  compensation.Apply(freq_rec_, kSkew);
  ExpectPhases(kSkew, "applied twice");
  compensation.Apply(freq_rec_, -1.0 / 44100.0);
  ExpectPhases(-1.0 / 44100.0, "changed skew");
  compensation.UndoBeforePass(freq_rec_);
  ExpectPhases(0.0, "undone");
}

}  // namespace
}  // namespace vireon
