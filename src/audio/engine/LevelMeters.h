#pragma once

#include <atomic>
#include <cstdint>

namespace vireon {

// One channel's latest published block: its peak on the 24-bit scale and its bar.
struct ChannelLevel {
  std::int32_t peak = 0;
  double bar = 0.0;
};

struct LevelReadings {
  ChannelLevel input1;
  ChannelLevel input2;
  ChannelLevel output1;
  ChannelLevel output2;
  std::uint64_t sequence = 0;  // grows with every publication
};

// Peak meters of both inputs and both outputs. The block routines track peaks on the pump thread
// and publish peaks and bars every n-th block; the user-interface thread polls them. No locks.
class LevelMeters {
 public:
  // Publish every `blocks`-th block (values below 1 count as 1). Any thread.
  void SetInterval(int blocks) { interval_.store(blocks < 1 ? 1 : blocks); }
  int Interval() const { return interval_.load(); }

  // Pump thread. Peaks are absolute values on the 24-bit scale.
  void EndInputBlock(std::int32_t peak1, std::int32_t peak2);
  // Counts one output block; true when its peaks are wanted (output peaks cost a pass over the
  // block, so only every n-th block is measured) and then to be given to PublishOutput.
  bool MeterThisOutputBlock();
  void PublishOutput(std::int32_t peak1, std::int32_t peak2);

  // User-interface thread.
  LevelReadings Read() const;
  void Reset();  // back to zero bars, e.g. at stop

 private:
  struct AtomicLevel {
    std::atomic<std::int32_t> peak{0};
    std::atomic<double> bar{0.0};
    void Store(std::int32_t value);
    ChannelLevel Load() const;
  };

  std::atomic<int> interval_{1};
  int input_blocks_ = 0;   // pump thread
  int output_blocks_ = 0;  // pump thread
  AtomicLevel input1_;
  AtomicLevel input2_;
  AtomicLevel output1_;
  AtomicLevel output2_;
  std::atomic<std::uint64_t> sequence_{0};
};

}  // namespace vireon
