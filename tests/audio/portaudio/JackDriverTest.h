#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "JackServer.h"
#include "audio/devices/WaveDevice.h"
#include "audio/devices/portaudio/PortAudioDriver.h"

namespace vireon {

inline constexpr int kJackRate = 48000;

// Starts a private JACK server (dummy driver) and then a PortAudio driver that sees it. When the
// server cannot start the test fails, unless VIREON_ALLOW_NO_JACK=1: then it says so and each
// test returns early on !HaveServer().
class JackDriverTest : public ::testing::Test {
 protected:
  void SetUp() override;
  bool HaveServer() const { return driver_ != nullptr; }
  // The number of the JACK device in `direction`, -1 if absent.
  int JackDevice(WaveDirection direction) const;

  std::unique_ptr<JackServer> server_;
  std::unique_ptr<PortAudioDriver> driver_;
};

}  // namespace vireon
