#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "common/VireonError.h"

namespace vireon {
namespace {

namespace fs = std::filesystem;

// A mono 32-bit float WAV file, so the taps arrive unchanged.
void WriteFloatWav(const fs::path& file, const std::vector<float>& samples) {
  std::ofstream out(file, std::ios::binary);
  const auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  const auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  const auto data_bytes = static_cast<std::uint32_t>(4 * samples.size());
  out.write("RIFF", 4);
  put32(36 + data_bytes);
  out.write("WAVEfmt ", 8);
  put32(16);
  put16(3);
  put16(1);
  put32(48000);
  put32(4 * 48000);
  put16(4);
  put16(32);
  out.write("data", 4);
  put32(data_bytes);
  out.write(reinterpret_cast<const char*>(samples.data()), data_bytes);
}

class BenchFolder : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vireon-bench-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(folder_ / "taps");
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST(BenchFileTest, AnEmptyFileIsThePlainWire) {
  const Bench bench = ParseBench("", "wire.ini");
  EXPECT_EQ(bench, Bench());
  EXPECT_EQ(bench.name, "Bench");
  EXPECT_EQ(bench.rates, (std::vector<int>{768000, 384000, 192000, 96000, 88200, 48000, 44100,
                                           32000, 24000, 22050}));
  EXPECT_EQ(bench.bits, (std::vector<int>{16, 24}));
  EXPECT_EQ(bench.latency, 0);
  EXPECT_EQ(bench.seed, 1u);
  EXPECT_EQ(bench.inputs[0].source, InputSource::kOutput1);
  EXPECT_EQ(bench.inputs[1].source, InputSource::kOutput2);
  for (const BenchInput& input : bench.inputs) {
    EXPECT_EQ(input.polynomial, (std::vector<double>{0.0, 1.0}));
    EXPECT_TRUE(input.filter.empty());
    EXPECT_EQ(input.gain, 1.0);
    EXPECT_EQ(input.delay, 0);
    EXPECT_FALSE(input.noise_db.has_value());
    EXPECT_FALSE(input.hum.has_value());
    EXPECT_EQ(input.clip, 1.0);
  }
  EXPECT_EQ(bench.faults, BenchFaults());
}

TEST(BenchFileTest, TheShippedLoudspeakerBenchIsTheBuiltInOne) {
  const char* resources = std::getenv("VIREON_TEST_RESOURCES");
  ASSERT_NE(resources, nullptr);
  const Bench built_in = BuiltInBench();
  EXPECT_EQ(LoadBenchFile(fs::path(resources) / "benches" / "TwoWayLoudspeaker.ini"), built_in);
  EXPECT_EQ(built_in.latency, 1024);
  ASSERT_EQ(built_in.inputs[0].filter.size(), 3u);
  EXPECT_EQ(built_in.inputs[0].gain, 0.5);
  EXPECT_EQ(built_in.inputs[1].noise_db, -110.0);
  EXPECT_TRUE(built_in.inputs[1].filter.empty());
}

TEST_F(BenchFolder, EveryKeyIsRead) {
  WriteFloatWav(folder_ / "taps" / "Room.wav", {0.5f, -0.25f, 0.125f});
  const std::string text =
      "; a bench with every key\r\n"
      "[Card]\r\nName=Crossover jig\r\nRates=48000, 44100\r\nBits=24\r\nLatency=300\r\n"
      "Seed=-7\r\n"
      "[input1]\r\nSource=Output2\r\nPolynomial=0.1 1 -0,5\r\n"
      "Filter=lowpass 4 1000; HIGHPASS 1 20 ; peak 100 -6 0.7; biquad 1 0 0 -0.5 0; "
      "fir taps/Room.wav\r\n"
      "Gain=-2\r\nDelay=12\r\nNoise=-90\r\nHum=60 -70\r\nClip=0.8\r\n"
      "[Input2]\nSource=None\nNoise=none\nHum=none\nFilter=none\n"
      "[Faults]\nStallAfter=10\nStallBlocks=3\nFailOpen=4\nResetFailures=2\n";
  const Bench bench = ParseBench(text, folder_ / "bench.ini");
  EXPECT_EQ(bench.name, "Crossover jig");
  EXPECT_EQ(bench.rates, (std::vector<int>{48000, 44100}));
  EXPECT_EQ(bench.bits, std::vector<int>{24});
  EXPECT_EQ(bench.latency, 300);
  EXPECT_EQ(bench.seed, static_cast<std::uint64_t>(-7));
  const BenchInput& one = bench.inputs[0];
  EXPECT_EQ(one.source, InputSource::kOutput2);
  EXPECT_EQ(one.polynomial, (std::vector<double>{0.1, 1.0, -0.5}));
  const std::vector<FilterStage> stages = {
      ButterworthStage{ButterworthKind::kLowpass, 4, 1000.0},
      ButterworthStage{ButterworthKind::kHighpass, 1, 20.0}, PeakStage{100.0, -6.0, 0.7},
      BiquadStage{1.0, 0.0, 0.0, -0.5, 0.0}, FirStage{{0.5, -0.25, 0.125}}};
  EXPECT_EQ(one.filter, stages);
  EXPECT_EQ(one.gain, -2.0);
  EXPECT_EQ(one.delay, 12);
  EXPECT_EQ(one.noise_db, -90.0);
  EXPECT_EQ(one.hum, (HumSettings{60.0, -70.0}));
  EXPECT_EQ(one.clip, 0.8);
  const BenchInput& two = bench.inputs[1];
  EXPECT_EQ(two.source, InputSource::kNone);
  EXPECT_FALSE(two.noise_db || two.hum || !two.filter.empty());
  EXPECT_EQ(bench.faults, (BenchFaults{10, 3, 4, 2}));
}

TEST_F(BenchFolder, ProblemsNameTheFileAndTheKey) {
  struct Case {
    const char* text;
    const char* named;  // the part of the message that says where
  };
  const Case cases[] = {
      {"[Speaker]\nGain=1\n", "[Speaker]: unknown section"},
      {"[Input1]\nGian=1\n", "[Input1] Gian: unknown key"},
      {"[Card]\nRates=48000, fast\n", "[Card] Rates: \"fast\" is not a whole number"},
      {"[Card]\nRates=\n", "[Card] Rates"},
      {"[Card]\nBits=16,20\n", "[Card] Bits"},
      {"[Card]\nLatency=-1\n", "[Card] Latency"},
      {"[Card]\nSeed=1.5\n", "[Card] Seed"},
      {"[Input2]\nSource=Output3\n", "[Input2] Source"},
      {"[Input1]\nPolynomial=\n", "[Input1] Polynomial"},
      {"[Input1]\nGain=loud\n", "[Input1] Gain: \"loud\" is not a number"},
      {"[Input1]\nGain=nan\n", "[Input1] Gain"},
      {"[Input1]\nClip=0\n", "[Input1] Clip"},
      {"[Input1]\nHum=50\n", "[Input1] Hum"},
      {"[Input1]\nNoise=quiet\n", "[Input1] Noise"},
      {"[Input1]\nFilter=lowpass 9 1000\n", "[Input1] Filter: \"9\" is outside 1 to 8"},
      {"[Input1]\nFilter=lowpass 2\n", "[Input1] Filter"},
      {"[Input1]\nFilter=highpass 2 -5\n", "[Input1] Filter"},
      {"[Input1]\nFilter=notch 1000\n", "[Input1] Filter: unknown filter stage \"notch 1000\""},
      {"[Input1]\nFilter=biquad 1 0 0 0 1.5\n",
       "[Input1] Filter: stage \"biquad 1 0 0 0 1.5\" is "
       "unstable"},
      {"[Input1]\nFilter=fir missing.wav\n", "[Input1] Filter: cannot read the WAV file"},
      {"[Faults]\nFailOpen=x\n", "[Faults] FailOpen"},
      {"[Faults]\nStallAfter=-3\n", "[Faults] StallAfter"},
      {"[Card]\nLatency=1\n[card]\nSeed=2\n", "[card]: given twice"},
      {"[Card]\nLatency=1\nlatency=2\n", "[Card] latency: given twice"},
      {"[Card]\nLatency 1\n", "[Card]: the line \"Latency 1\" is no key=value line"},
      {"Latency=1\n[Card]\n", "[]: the line \"Latency=1\" is no key=value line"},
  };
  const fs::path file = folder_ / "faulty.ini";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      ParseBench(c.text, file);
      ADD_FAILURE() << "accepted";
    } catch (const VireonError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("\"" + file.string() + "\""), std::string::npos) << message;
      EXPECT_NE(message.find(c.named), std::string::npos) << message;
    }
  }
}

TEST(BenchFileTest, AMissingFileIsReportedByName) {
  try {
    LoadBenchFile("/nonexistent/bench.ini");
    FAIL() << "accepted";
  } catch (const VireonError& error) {
    EXPECT_NE(std::string(error.what()).find("/nonexistent/bench.ini"), std::string::npos);
  }
}

}  // namespace
}  // namespace vireon
