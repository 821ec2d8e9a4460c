#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/WaveDevice.h"

namespace vireon {

// The devices of every backend, numbered one after another in backend order, with the
// simulated card listed last, or left out when the caller hides it.
class DeviceCatalog : public WaveDriver {
 public:
  DeviceCatalog(std::vector<std::unique_ptr<WaveDriver>> backends,
                std::unique_ptr<WaveDriver> simulated_card, bool hide_simulated_card);

  std::vector<std::string> DeviceNames(WaveDirection direction) const override;
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override;
  int Open(WaveDirection direction, int device, const WaveFormat& format, WaveCallback& callback,
           std::unique_ptr<WaveStream>& stream) override;

  // The first device, which is the simulated card only when no other exists; -1 with none.
  int DefaultDevice(WaveDirection direction) const;
  bool IsSimulatedCard(WaveDirection direction, int device) const;

 private:
  struct Location {
    WaveDriver* driver = nullptr;  // nullptr when no device has the number
    int device = -1;
  };
  Location Locate(WaveDirection direction, int device) const;

  std::vector<std::unique_ptr<WaveDriver>> drivers_;  // the simulated card last when listed
  bool simulated_card_listed_;
};

}  // namespace vireon
