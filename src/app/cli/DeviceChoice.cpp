#include "app/cli/DeviceChoice.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "common/VireonError.h"

namespace vireon::cli {

DeviceChoice ChooseDevices(const std::string& bench, const std::string& device,
                           const SoundcardSettings& soundcards) {
  const std::string card(SimulatedCard::kDeviceName);
  if (!bench.empty()) return {card, card, false};
  if (!device.empty()) {
    return {device, device, device != card};
  }
  if (!soundcards.play_device_name.empty()) {
    const std::string record = soundcards.record_device_name.empty()
                                   ? soundcards.play_device_name
                                   : soundcards.record_device_name;
    return {soundcards.play_device_name, record, true};
  }
  return {card, card, false};
}

int DeviceNumber(WaveDriver& driver, WaveDirection direction, const std::string& name) {
  const std::vector<std::string> names = driver.DeviceNames(direction);
  const auto found = std::find(names.begin(), names.end(), name);
  if (found == names.end()) {
    throw VireonError(std::string(direction == WaveDirection::kPlay ? "Play" : "Record") +
                      " device not found: \"" + name + "\" (vireon-cli devices lists them)");
  }
  return static_cast<int>(found - names.begin());
}

void AddDeviceOptions(CLI::App& command, DeviceOptions& options) {
  CLI::Option* bench =
      command.add_option("--bench", options.bench, "Simulated card with this bench file");
  command.add_option("--device", options.device, "Device name as vireon-cli devices lists it")
      ->excludes(bench);
  command.add_option("--rate", options.rate, "Sample rate, Hz")->check(CLI::Range(1000, 768000));
  command.add_option("--bits", options.bits, "Resolution, 16 or 24")
      ->check(CLI::IsMember({16, 24}));
}

MeasuringDevices OpenMeasuringDevices(const DeviceOptions& options,
                                      const SoundcardSettings& soundcards,
                                      bool hide_simulated_card) {
  const std::string& bench = options.bench;
  MeasuringDevices opened;
  opened.names = ChooseDevices(bench, options.device, soundcards);
  opened.devices = OpenAudioDevices(
      opened.names.needs_portaudio, bench.empty() ? BuiltInBench() : LoadBenchFile(bench),
      SimulatedCard::Clock::kFast, bench.empty() && hide_simulated_card);
  WaveDriver& driver = *opened.devices.catalog;
  opened.play_device = DeviceNumber(driver, WaveDirection::kPlay, opened.names.play);
  opened.record_device = DeviceNumber(driver, WaveDirection::kRecord, opened.names.record);
  const DeviceCatalog& catalog = *opened.devices.catalog;
  opened.on_card = catalog.IsSimulatedCard(WaveDirection::kPlay, opened.play_device);
  if (opened.on_card != catalog.IsSimulatedCard(WaveDirection::kRecord, opened.record_device)) {
    throw VireonError("The simulated card plays and records only with itself");
  }
  return opened;
}

void PrintMessage(std::string text) {
  std::replace(text.begin(), text.end(), '\r', '\n');
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace vireon::cli
