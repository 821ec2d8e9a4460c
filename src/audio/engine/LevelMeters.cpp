#include "audio/engine/LevelMeters.h"

#include <algorithm>
#include <cstdlib>

#include "audio/engine/InputFrames.h"
#include "audio/settings/LevelMeter.h"
#include "audio/settings/TDeviceCal.h"

namespace vireon {

void LevelMeters::AtomicLevel::Store(std::int32_t value) {
  peak.store(value, std::memory_order_relaxed);
  bar.store(LevelBarValue(value, kFullScaleCode), std::memory_order_relaxed);
}

ChannelLevel LevelMeters::AtomicLevel::Load() const {
  return {peak.load(std::memory_order_relaxed), bar.load(std::memory_order_relaxed)};
}

bool LevelMeters::Due(int& blocks) const {
  if (++blocks < Interval()) return false;
  blocks = 0;
  return true;
}

void LevelMeters::Publish(AtomicLevel& left, AtomicLevel& right,
                          std::span<const std::uint8_t> block, int bits, std::int32_t frames) {
  std::int32_t peak_left = 0;
  std::int32_t peak_right = 0;
  for (std::int32_t i = 0; i < frames; ++i) {
    const InputFrame frame = ReadInputFrame(block, bits, i);
    peak_left = std::max(peak_left, std::abs(frame.left));
    peak_right = std::max(peak_right, std::abs(frame.right));
  }
  left.Store(peak_left);
  right.Store(peak_right);
  sequence_.fetch_add(1, std::memory_order_release);
}

void LevelMeters::MeterInputBlock(std::span<const std::uint8_t> block, int bits,
                                  std::int32_t frames) {
  if (Due(input_blocks_)) Publish(input1_, input2_, block, bits, frames);
}

void LevelMeters::MeterOutputBlock(std::span<const std::uint8_t> block, int bits,
                                   std::int32_t frames) {
  if (Due(output_blocks_)) Publish(output1_, output2_, block, bits, frames);
}

LevelReadings LevelMeters::Read() const {
  LevelReadings bars;
  bars.sequence = sequence_.load(std::memory_order_acquire);
  bars.input1 = input1_.Load();
  bars.input2 = input2_.Load();
  bars.output1 = output1_.Load();
  bars.output2 = output2_.Load();
  return bars;
}

void LevelMeters::Reset() {
  for (AtomicLevel* level : {&input1_, &input2_, &output1_, &output2_}) level->Store(0);
  sequence_.fetch_add(1, std::memory_order_release);
}

}  // namespace vireon
