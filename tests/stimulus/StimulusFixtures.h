#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "common/Notices.h"
#include "stimulus/CfgStim.h"
#include "stimulus/StimulusGenerator.h"

namespace vireon {

struct Frame {
  std::int32_t left;
  std::int32_t right;
  bool operator==(const Frame&) const = default;
};

// Reads little-endian signed 16- or 24-bit stereo frames back.
inline std::vector<Frame> UnpackFrames(std::span<const std::uint8_t> bytes, int bits) {
  const std::size_t width = bits == 16 ? 2 : 3;
  const auto sample = [&](std::size_t offset) {
    std::uint32_t u = 0;
    for (std::size_t b = 0; b < width; ++b) u |= std::uint32_t{bytes[offset + b]} << (8 * b);
    const std::uint32_t sign = std::uint32_t{1} << (8 * width - 1);
    return static_cast<std::int32_t>((u ^ sign) - sign);  // sign-extend
  };
  std::vector<Frame> frames;
  for (std::size_t offset = 0; offset + 2 * width <= bytes.size(); offset += 2 * width) {
    frames.push_back({sample(offset), sample(offset + width)});
  }
  return frames;
}

// A started generator and the frames it writes in one fill.
struct GeneratedFrames {
  StimulusGenerator generator;
  Notices notices;

  bool Start(const StimulusSelection& selection, StimulusSettings settings = {},
             const ToneLists& tones = DefaultToneLists(), const WavLoader& loader = {}) {
    return generator.SelectGenerator(selection, settings, tones, loader, notices);
  }
  std::vector<Frame> Fill(std::int32_t frames, int bits) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(frames) * (bits == 16 ? 4 : 6));
    generator.FillStimulus(buffer, 0, frames - 1);
    return UnpackFrames(buffer, bits);
  }
};

inline StimulusSelection Selection(int stim_code, int bits = 24, int acq_type = 0) {
  StimulusSelection selection;
  selection.stim_code = stim_code;
  selection.acq_type = acq_type;
  selection.play_bits = bits;
  selection.gain1 = 0.5;
  selection.gain2 = 0.25;
  selection.period_length = 20000;
  selection.async_chirp_delay = 300;
  return selection;
}

}  // namespace vireon
