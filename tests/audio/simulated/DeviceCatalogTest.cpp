#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/devices/DeviceCatalog.h"
#include "audio/devices/simulated/SimulatedCard.h"

namespace vireon {
namespace {

// A backend with named devices that remembers which local device it was asked about.
class FakeBackend : public WaveDriver {
 public:
  FakeBackend(std::vector<std::string> play, std::vector<std::string> record, int& asked)
      : play_(std::move(play)), record_(std::move(record)), asked_(asked) {}
  std::vector<std::string> DeviceNames(WaveDirection direction) const override {
    return direction == WaveDirection::kPlay ? play_ : record_;
  }
  int QueryFormat(WaveDirection, int device, const WaveFormat&) override {
    asked_ = device;
    return kMmNoError;
  }
  int Open(WaveDirection, int device, const WaveFormat&, WaveCallback&,
           std::unique_ptr<WaveStream>&) override {
    asked_ = device;
    return kMmNotEnabled;
  }

 private:
  std::vector<std::string> play_;
  std::vector<std::string> record_;
  int& asked_;
};

constexpr WaveFormat kFormat{48000, 24};

struct CatalogRig {
  int asked_a = -1;
  int asked_b = -1;
  DeviceCatalog catalog;
  explicit CatalogRig(bool hide_simulated_card, bool with_backends = true)
      : catalog(Backends(with_backends),
                std::make_unique<SimulatedCard>(Bench(), SimulatedCard::Clock::kFast),
                hide_simulated_card) {}
  std::vector<std::unique_ptr<WaveDriver>> Backends(bool with_backends) {
    std::vector<std::unique_ptr<WaveDriver>> backends;
    if (!with_backends) return backends;
    backends.push_back(std::make_unique<FakeBackend>(std::vector<std::string>{"A0", "A1"},
                                                     std::vector<std::string>{"A0 in"}, asked_a));
    backends.push_back(std::make_unique<FakeBackend>(
        std::vector<std::string>{}, std::vector<std::string>{"B0 in", "B1 in"}, asked_b));
    return backends;
  }
};

TEST(DeviceCatalogTest, NumbersTheBackendsDevicesInOrderWithTheSimulatedCardLast) {
  CatalogRig rig(false);
  DeviceCatalog& catalog = rig.catalog;
  EXPECT_EQ(catalog.DeviceNames(WaveDirection::kPlay),
            (std::vector<std::string>{"A0", "A1", "Simulated card (test bench)"}));
  EXPECT_EQ(catalog.DeviceNames(WaveDirection::kRecord),
            (std::vector<std::string>{"A0 in", "B0 in", "B1 in", "Simulated card (test bench)"}));

  EXPECT_EQ(catalog.QueryFormat(WaveDirection::kPlay, 1, kFormat), kMmNoError);
  EXPECT_EQ(rig.asked_a, 1);
  EXPECT_EQ(catalog.QueryFormat(WaveDirection::kRecord, 2, kFormat), kMmNoError);
  EXPECT_EQ(rig.asked_b, 1);
  EXPECT_TRUE(catalog.IsSimulatedCard(WaveDirection::kRecord, 3));
  EXPECT_FALSE(catalog.IsSimulatedCard(WaveDirection::kRecord, 2));
  EXPECT_EQ(catalog.QueryFormat(WaveDirection::kRecord, 3, {12345, 24}), kWaveBadFormat);
  EXPECT_EQ(catalog.QueryFormat(WaveDirection::kRecord, 4, kFormat), kMmBadDeviceId);
  EXPECT_EQ(catalog.QueryFormat(WaveDirection::kPlay, -1, kFormat), kMmBadDeviceId);

  struct NoCallback : WaveCallback {
    void BufferDone(WaveDirection, int) override {}
  } callback;
  std::unique_ptr<WaveStream> stream;
  EXPECT_EQ(catalog.Open(WaveDirection::kRecord, 0, kFormat, callback, stream), kMmNotEnabled);
  EXPECT_EQ(rig.asked_a, 0);
  EXPECT_EQ(catalog.Open(WaveDirection::kPlay, 2, kFormat, callback, stream), kMmNoError);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Close(), kMmNoError);
  EXPECT_EQ(catalog.DefaultDevice(WaveDirection::kPlay), 0);
}

TEST(DeviceCatalogTest, TheSimulatedCardIsTheDefaultOnlyWhenNoOtherDeviceExists) {
  CatalogRig alone(false, false);
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    EXPECT_EQ(alone.catalog.DefaultDevice(direction), 0);
    EXPECT_TRUE(alone.catalog.IsSimulatedCard(direction, 0));
  }
}

TEST(DeviceCatalogTest, AHiddenSimulatedCardIsNotListed) {
  CatalogRig hidden(true);
  EXPECT_EQ(hidden.catalog.DeviceNames(WaveDirection::kPlay),
            (std::vector<std::string>{"A0", "A1"}));
  EXPECT_FALSE(hidden.catalog.IsSimulatedCard(WaveDirection::kPlay, 1));
  EXPECT_EQ(hidden.catalog.QueryFormat(WaveDirection::kPlay, 2, kFormat), kMmBadDeviceId);

  CatalogRig nothing(true, false);
  EXPECT_TRUE(nothing.catalog.DeviceNames(WaveDirection::kRecord).empty());
  EXPECT_EQ(nothing.catalog.DefaultDevice(WaveDirection::kPlay), -1);
  EXPECT_EQ(nothing.catalog.DefaultDevice(WaveDirection::kRecord), -1);
}

}  // namespace
}  // namespace vireon
