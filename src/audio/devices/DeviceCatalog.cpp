#include "audio/devices/DeviceCatalog.h"

namespace vireon {

DeviceCatalog::DeviceCatalog(std::vector<std::unique_ptr<WaveDriver>> backends,
                             std::unique_ptr<WaveDriver> simulated_card, bool hide_simulated_card)
    : drivers_(std::move(backends)),
      simulated_card_listed_(simulated_card != nullptr && !hide_simulated_card) {
  if (simulated_card_listed_) drivers_.push_back(std::move(simulated_card));
}

std::vector<std::string> DeviceCatalog::DeviceNames(WaveDirection direction) const {
  std::vector<std::string> names;
  for (const auto& driver : drivers_) {
    for (std::string& name : driver->DeviceNames(direction)) names.push_back(std::move(name));
  }
  return names;
}

DeviceCatalog::Location DeviceCatalog::Locate(WaveDirection direction, int device) const {
  if (device < 0) return {};
  int first = 0;
  for (const auto& driver : drivers_) {
    const int count = static_cast<int>(driver->DeviceNames(direction).size());
    if (device < first + count) return {driver.get(), device - first};
    first += count;
  }
  return {};
}

int DeviceCatalog::QueryFormat(WaveDirection direction, int device, const WaveFormat& format) {
  const Location location = Locate(direction, device);
  if (location.driver == nullptr) return kMmBadDeviceId;
  return location.driver->QueryFormat(direction, location.device, format);
}

int DeviceCatalog::Open(WaveDirection direction, int device, const WaveFormat& format,
                        WaveCallback& callback, std::unique_ptr<WaveStream>& stream) {
  const Location location = Locate(direction, device);
  if (location.driver == nullptr) return kMmBadDeviceId;
  return location.driver->Open(direction, location.device, format, callback, stream);
}

int DeviceCatalog::DefaultDevice(WaveDirection direction) const {
  for (const auto& driver : drivers_) {
    if (!driver->DeviceNames(direction).empty()) return 0;
  }
  return -1;
}

bool DeviceCatalog::IsSimulatedCard(WaveDirection direction, int device) const {
  return simulated_card_listed_ && device >= 0 &&
         Locate(direction, device).driver == drivers_.back().get();
}

}  // namespace vireon
