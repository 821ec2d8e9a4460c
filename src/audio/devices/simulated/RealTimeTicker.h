#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace vireon {

// A thread that wakes on absolute wall-clock deadlines every millisecond and calls `step` with
// the number of frames the sample clock moved on since the last call (whole frames at `rate`,
// without drift). The step runs on the ticker's thread only.
class RealTimeTicker {
 public:
  RealTimeTicker(int rate, std::function<void(std::int32_t frames)> step);
  ~RealTimeTicker();  // stops and joins the thread
  RealTimeTicker(const RealTimeTicker&) = delete;
  RealTimeTicker& operator=(const RealTimeTicker&) = delete;

 private:
  void Run();

  int rate_;
  std::function<void(std::int32_t)> step_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace vireon
