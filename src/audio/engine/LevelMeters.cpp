#include "audio/engine/LevelMeters.h"

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

void LevelMeters::EndInputBlock(std::int32_t peak1, std::int32_t peak2) {
  if (++input_blocks_ < Interval()) return;
  input_blocks_ = 0;
  input1_.Store(peak1);
  input2_.Store(peak2);
  sequence_.fetch_add(1, std::memory_order_release);
}

bool LevelMeters::MeterThisOutputBlock() {
  if (++output_blocks_ < Interval()) return false;
  output_blocks_ = 0;
  return true;
}

void LevelMeters::PublishOutput(std::int32_t peak1, std::int32_t peak2) {
  output1_.Store(peak1);
  output2_.Store(peak2);
  sequence_.fetch_add(1, std::memory_order_release);
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
