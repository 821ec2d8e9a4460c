#include "measure/MeasuringStation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

using namespace std::chrono_literals;

// The desktop program's chain on the simulated card in real time.
class MeasuringStationTest : public ::testing::Test {
 protected:
  MeasuringStationTest()
      : card_(BuiltInBench(), SimulatedCard::Clock::kRealTime),
        station_(card_,
                 {std::string(SimulatedCard::kDeviceName), std::string(SimulatedCard::kDeviceName)},
                 folder_.Path(), {}) {}

  TempFolder folder_;
  SimulatedCard card_;
  MeasuringStation station_;
};

TEST_F(MeasuringStationTest, SleepStopsARunningMeasurementAndWakingKeepsTheDevices) {
  MeasurementController& controller = station_.Controller();
  station_.PrepareForSleep();  // idle: nothing to stop
  EXPECT_FALSE(controller.Running());

  controller.ClickStart();
  for (int tick = 0; tick < 5 && !controller.Running(); ++tick) {
    std::this_thread::sleep_for(100ms);
    controller.StatusTick();
  }
  ASSERT_TRUE(controller.Running());
  ASSERT_TRUE(station_.PumpRunning());

  station_.PrepareForSleep();
  EXPECT_FALSE(controller.Running());
  EXPECT_FALSE(station_.PumpRunning());

  station_.AfterWake();
  EXPECT_EQ(station_.Audio().DeviceName(WaveDirection::kPlay), SimulatedCard::kDeviceName);
  EXPECT_EQ(station_.Audio().DeviceName(WaveDirection::kRecord), SimulatedCard::kDeviceName);
  EXPECT_TRUE(station_.Audio().Ready());
}

}  // namespace
}  // namespace vireon
