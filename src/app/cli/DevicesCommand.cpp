#include "app/cli/DevicesCommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/ExitCodes.h"
#include "audio/devices/portaudio/AudioDevices.h"
#include "audio/settings/RateTable.h"
#include "common/TextBytes.h"
#include "config/Defaults.h"

namespace vireon::cli {
namespace {

struct DeviceFormats {
  std::string name;
  std::vector<int> rates;
  std::vector<int> bits;
};

// The table rates the device takes at either resolution, and the resolutions it takes at any of
// them.
DeviceFormats FormatsOf(WaveDriver& driver, WaveDirection direction, int device, std::string name) {
  DeviceFormats formats{std::move(name), {}, {}};
  bool takes[2] = {false, false};
  for (const RateEntry& entry : RateTable()) {
    bool rate_taken = false;
    for (int b = 0; b < 2; ++b) {
      const int bits = b == 0 ? 16 : 24;
      if (driver.QueryFormat(direction, device, {entry.rate, bits}) == kMmNoError) {
        rate_taken = takes[b] = true;
      }
    }
    if (rate_taken) formats.rates.push_back(entry.rate);
  }
  if (takes[0]) formats.bits.push_back(16);
  if (takes[1]) formats.bits.push_back(24);
  return formats;
}

std::vector<DeviceFormats> DirectionFormats(WaveDriver& driver, WaveDirection direction) {
  std::vector<DeviceFormats> list;
  const std::vector<std::string> names = driver.DeviceNames(direction);
  for (int device = 0; device < static_cast<int>(names.size()); ++device) {
    list.push_back(FormatsOf(driver, direction, device, BytesToUtf8(names[device])));
  }
  return list;
}

std::string JoinNumbers(const std::vector<int>& values) {
  std::string text;
  for (const int value : values) text += (text.empty() ? "" : ",") + std::to_string(value);
  return text;
}

void PrintText(const char* heading, const std::vector<DeviceFormats>& devices) {
  std::printf("%s:\n", heading);
  if (devices.empty()) std::printf("  (none)\n");
  for (const DeviceFormats& device : devices) {
    std::printf("  %s\n    rates %s\n    bits %s\n", device.name.c_str(),
                JoinNumbers(device.rates).c_str(), JoinNumbers(device.bits).c_str());
  }
}

nlohmann::ordered_json Json(const std::vector<DeviceFormats>& devices) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const DeviceFormats& device : devices) {
    list.push_back({{"name", device.name}, {"rates", device.rates}, {"bits", device.bits}});
  }
  return list;
}

int ListDevices(bool json) {
  const AudioDevices devices =
      OpenAudioDevices(true, BuiltInBench(), SimulatedCard::Clock::kFast,
                       Environment::Process().Get("VIREON_NO_SIMULATED_CARD") == "1");
  const std::vector<DeviceFormats> play = DirectionFormats(*devices.catalog, WaveDirection::kPlay);
  const std::vector<DeviceFormats> record =
      DirectionFormats(*devices.catalog, WaveDirection::kRecord);
  if (json) {
    const nlohmann::ordered_json all = {{"play", Json(play)}, {"record", Json(record)}};
    std::printf("%s\n", all.dump(2).c_str());
  } else {
    PrintText("Play devices", play);
    PrintText("Record devices", record);
  }
  return kExitSuccess;
}

}  // namespace

std::function<int()> AddDevicesCommand(CLI::App& app) {
  auto json = std::make_shared<bool>(false);
  CLI::App* command = app.add_subcommand(
      "devices", "List the play and record devices with the rates and resolutions they accept");
  command->add_flag("--json", *json, "Print one JSON object");
  return [command, json]() -> int {
    if (!command->parsed()) return -1;
    return ListDevices(*json);
  };
}

}  // namespace vireon::cli
