#include "JackDriverTest.h"

#include <iostream>
#include <string>
#include <vector>

namespace vireon {

void JackDriverTest::SetUp() {
  server_ = std::make_unique<JackServer>(kJackRate);
  if (!server_->Running()) {
    if (NoJackAllowed()) {
      std::cout << "NOTE: no JACK server could be started, and VIREON_ALLOW_NO_JACK=1 accepts "
                   "that: this test checked nothing.\n"
                << server_->FailureText() << "\n";
      return;
    }
    FAIL() << "The JACK server did not start (VIREON_ALLOW_NO_JACK=1 accepts a machine "
              "without one): "
           << server_->FailureText();
  }
  // PortAudio lists the JACK devices only when the server runs as it starts.
  driver_ = std::make_unique<PortAudioDriver>();
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    ASSERT_GE(JackDevice(direction), 0) << "PortAudio does not list the running JACK server";
  }
}

int JackDriverTest::JackDevice(WaveDirection direction) const {
  const std::vector<std::string> names = driver_->DeviceNames(direction);
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    if (names[i].starts_with("JACK Audio Connection Kit: ")) return i;
  }
  return -1;
}

}  // namespace vireon
