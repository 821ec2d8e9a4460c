#pragma once

#include <atomic>
#include <cstdint>
#include <span>

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

// Peak meters of both inputs and both outputs. The engine measures every n-th block of each
// direction on the pump thread and publishes peaks and bars; the user-interface thread polls
// them. No locks.
class LevelMeters {
 public:
  // Publish every `blocks`-th block (values below 1 count as 1). Any thread.
  void SetInterval(int blocks) { interval_.store(blocks < 1 ? 1 : blocks); }
  int Interval() const { return interval_.load(); }

  // Pump thread: one block of packed stereo frames just recorded or just filled for playing.
  void MeterInputBlock(std::span<const std::uint8_t> block, int bits, std::int32_t frames);
  void MeterOutputBlock(std::span<const std::uint8_t> block, int bits, std::int32_t frames);

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

  // Counts a block; true for every n-th one, whose peaks are then published.
  bool Due(int& blocks) const;
  void Publish(AtomicLevel& left, AtomicLevel& right, std::span<const std::uint8_t> block, int bits,
               std::int32_t frames);

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
