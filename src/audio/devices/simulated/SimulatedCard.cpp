#include "audio/devices/simulated/SimulatedCard.h"

#include <algorithm>
#include <utility>

#include "stimulus/SamplePacking.h"

namespace vireon {
namespace {

constexpr int kPlay = 0;
constexpr int kRecord = 1;

int IndexOf(WaveDirection direction) { return direction == WaveDirection::kPlay ? kPlay : kRecord; }

std::int32_t UnpackSample(std::span<const std::uint8_t> buffer, std::size_t offset, int bits) {
  if (bits == 16) {
    return static_cast<std::int16_t>(buffer[offset] | (buffer[offset + 1] << 8));
  }
  const std::uint32_t raw = buffer[offset] | (buffer[offset + 1] << 8) | (buffer[offset + 2] << 16);
  // Moves the 24-bit sign into bit 31, then back with the sign spread.
  return static_cast<std::int32_t>(raw << 8) >> 8;
}

}  // namespace

class SimulatedCard::Stream : public WaveStream {
 public:
  Stream(SimulatedCard& card, WaveDirection direction) : card_(card), direction_(direction) {}
  ~Stream() override {
    if (!closed_) Close();
  }
  int Pause() override { return closed_ ? kMmInvalidHandle : card_.Pause(direction_); }
  int Queue(int buffer_index, std::span<std::uint8_t> buffer) override {
    return closed_ ? kMmInvalidHandle : card_.Queue(direction_, buffer_index, buffer);
  }
  int Start() override { return closed_ ? kMmInvalidHandle : card_.Start(direction_); }
  int Reset() override { return closed_ ? kMmInvalidHandle : card_.Reset(direction_); }
  int Close() override {
    if (closed_) return kMmInvalidHandle;
    closed_ = true;
    return card_.Close(direction_);
  }

 private:
  SimulatedCard& card_;
  const WaveDirection direction_;
  bool closed_ = false;
};

template <class Task>
void SimulatedCard::RunWithClock(Task&& task) {
  if (!ticker_) {
    task();
    return;
  }
  using TaskType = std::remove_reference_t<Task>;
  task_function_ = [](void* context) { (*static_cast<TaskType*>(context))(); };
  task_context_ = &task;
  task_pending_.store(true, std::memory_order_release);
  task_pending_.wait(true, std::memory_order_acquire);
}

SimulatedCard::SimulatedCard(Bench bench, Clock clock) : bench_(std::move(bench)), clock_(clock) {}

SimulatedCard::~SimulatedCard() { ticker_.reset(); }

SimulatedCard::Direction& SimulatedCard::Of(WaveDirection direction) {
  return directions_[IndexOf(direction)];
}

std::vector<std::string> SimulatedCard::DeviceNames(WaveDirection) const {
  return {std::string(kDeviceName)};
}

bool SimulatedCard::Accepts(const WaveFormat& format) const {
  return std::find(bench_.rates.begin(), bench_.rates.end(), format.rate) != bench_.rates.end() &&
         std::find(bench_.bits.begin(), bench_.bits.end(), format.bits) != bench_.bits.end();
}

int SimulatedCard::QueryFormat(WaveDirection, int device, const WaveFormat& format) {
  if (device != 0) return kMmBadDeviceId;
  return Accepts(format) ? kMmNoError : kWaveBadFormat;
}

int SimulatedCard::Open(WaveDirection direction, int device, const WaveFormat& format,
                        WaveCallback& callback, std::unique_ptr<WaveStream>& stream) {
  if (device != 0) return kMmBadDeviceId;
  if (bench_.faults.fail_open != 0) return bench_.faults.fail_open;
  if (!Accepts(format)) return kWaveBadFormat;
  const std::lock_guard lock(control_mutex_);
  Direction& opening = Of(direction);
  if (opening.open.load(std::memory_order_acquire)) return kMmAllocated;
  const Direction& other = directions_[1 - IndexOf(direction)];
  // Both directions run on the one sample clock of the card.
  if (other.open.load(std::memory_order_acquire) && other.format.rate != format.rate) {
    return kWaveBadFormat;
  }
  // Allocated here, before the clock's thread sees them.
  std::array<std::optional<DutChain>, 2> chains;
  if (direction == WaveDirection::kRecord) {
    for (int input = 0; input < 2; ++input) {
      chains[input].emplace(bench_, input, format.rate, format.bits);
    }
  }
  RunWithClock([&] {
    opening.format = format;
    opening.callback = &callback;
    opening.frame_in_buffer = 0;
    opening.running = direction == WaveDirection::kPlay;
    opening.withheld_count = 0;
    opening.reset_failures_left = bench_.faults.reset_failures;
    opening.in_flight.store(0, std::memory_order_relaxed);
    if (direction == WaveDirection::kRecord) {
      chains_ = std::move(chains);
    } else {
      play_buffers_done_ = 0;
      stall_frames_left_ = 0;
      stall_due_frames_ = 0;
      stalled_ = false;
    }
    rate_ = format.rate;
    opening.open.store(true, std::memory_order_release);
  });
  if (clock_ == Clock::kRealTime && !ticker_) {
    ticker_ =
        std::make_unique<RealTimeTicker>(rate_, [this](std::int32_t frames) { Step(frames); });
  }
  stream = std::make_unique<Stream>(*this, direction);
  return kMmNoError;
}

void SimulatedCard::Advance(std::int32_t frames) {
  if (clock_ == Clock::kFast) RunFrames(frames);
}

int SimulatedCard::Queue(WaveDirection direction, int buffer_index,
                         std::span<std::uint8_t> buffer) {
  Direction& queue = Of(direction);
  const auto frame_bytes = static_cast<std::size_t>(queue.format.BlockAlign());
  if (buffer.empty() || buffer.size() % frame_bytes != 0) return kMmInvalidParam;
  // Buffers withheld by a stall are still the card's: they count against the ring's room.
  if (queue.in_flight.load(std::memory_order_acquire) >=
      static_cast<int>(PendingBuffers::kCapacity)) {
    return kMmNoMem;
  }
  queue.in_flight.fetch_add(1, std::memory_order_acq_rel);
  queue.pending.Push({buffer_index, buffer});
  return kMmNoError;
}

int SimulatedCard::Pause(WaveDirection direction) {
  if (direction == WaveDirection::kRecord) return kMmNotSupported;
  const std::lock_guard lock(control_mutex_);
  RunWithClock([&] { Of(direction).running = false; });
  return kMmNoError;
}

int SimulatedCard::Start(WaveDirection direction) {
  const std::lock_guard lock(control_mutex_);
  RunWithClock([&] { Of(direction).running = true; });
  return kMmNoError;
}

int SimulatedCard::Reset(WaveDirection direction) {
  const std::lock_guard lock(control_mutex_);
  int result = kMmNoError;
  RunWithClock([&] {
    Direction& resetting = Of(direction);
    if (resetting.reset_failures_left > 0) {
      --resetting.reset_failures_left;
      result = kMmHandleBusy;
      return;
    }
    resetting.reset_failures_left = bench_.faults.reset_failures;
    if (direction == WaveDirection::kRecord) resetting.running = false;
    resetting.frame_in_buffer = 0;
    ReportWithheld(direction);
    while (const PendingBuffer* buffer = resetting.pending.Front()) {
      const int index = buffer->index;
      resetting.pending.Pop();
      Report(direction, index);
    }
  });
  return result;
}

int SimulatedCard::Close(WaveDirection direction) {
  const std::lock_guard lock(control_mutex_);
  RunWithClock([&] {
    // Buffers still queued are forgotten, not reported: the caller is done with the stream.
    Direction& closing = Of(direction);
    while (closing.pending.Front() != nullptr) closing.pending.Pop();
    closing.withheld_count = 0;
    closing.running = false;
    closing.open.store(false, std::memory_order_release);
  });
  if (!directions_[kPlay].open.load(std::memory_order_acquire) &&
      !directions_[kRecord].open.load(std::memory_order_acquire)) {
    ticker_.reset();
  }
  return kMmNoError;
}

void SimulatedCard::Step(std::int32_t frames) {
  if (task_pending_.load(std::memory_order_acquire)) {
    task_function_(task_context_);
    task_pending_.store(false, std::memory_order_release);
    task_pending_.notify_all();
  }
  RunFrames(frames);
}

void SimulatedCard::RunFrames(std::int32_t frames) {
  Direction& play = directions_[kPlay];
  Direction& record = directions_[kRecord];
  const bool play_open = play.open.load(std::memory_order_acquire);
  const bool record_open = record.open.load(std::memory_order_acquire);
  if (!play_open && !record_open) return;
  for (std::int32_t frame = 0; frame < frames; ++frame) {
    double output1 = 0.0;
    double output2 = 0.0;
    if (play_open && play.running) {
      if (const PendingBuffer* buffer = play.pending.Front()) {
        const int bits = play.format.bits;
        const std::size_t offset = play.frame_in_buffer * play.format.BlockAlign();
        const double full_scale = FullScale(bits);
        output1 = UnpackSample(buffer->bytes, offset, bits) / full_scale;
        output2 = UnpackSample(buffer->bytes, offset + bits / 8, bits) / full_scale;
        if (++play.frame_in_buffer * play.format.BlockAlign() == buffer->bytes.size()) {
          FinishBuffer(WaveDirection::kPlay);
        }
      }
    }
    if (record_open) {
      const std::int32_t input1 = chains_[0]->Process(output1, output2);
      const std::int32_t input2 = chains_[1]->Process(output1, output2);
      // With no buffer queued the frame is lost, as on a card whose driver ran dry.
      if (record.running) {
        if (const PendingBuffer* buffer = record.pending.Front()) {
          const int bits = record.format.bits;
          const std::size_t offset = record.frame_in_buffer * record.format.BlockAlign();
          PackSample(buffer->bytes, offset, bits, input1);
          PackSample(buffer->bytes, offset + bits / 8, bits, input2);
          if (++record.frame_in_buffer * record.format.BlockAlign() == buffer->bytes.size()) {
            FinishBuffer(WaveDirection::kRecord);
          }
        }
      }
    }
    if (stall_frames_left_ > 0 && --stall_frames_left_ == 0) {
      ReportWithheld(WaveDirection::kPlay);
      ReportWithheld(WaveDirection::kRecord);
    }
    // A stall begins after the frame whose play buffer set it off, so both directions finish
    // that frame alike.
    stall_frames_left_ += std::exchange(stall_due_frames_, 0);
  }
}

void SimulatedCard::FinishBuffer(WaveDirection direction) {
  Direction& finished = Of(direction);
  const PendingBuffer buffer = *finished.pending.Front();
  finished.pending.Pop();
  finished.frame_in_buffer = 0;
  if (stall_frames_left_ > 0) {
    finished.withheld[finished.withheld_count++] = buffer.index;
    return;
  }
  Report(direction, buffer.index);
  if (direction != WaveDirection::kPlay) return;
  const BenchFaults& faults = bench_.faults;
  if (++play_buffers_done_ == faults.stall_after && faults.stall_blocks > 0 && !stalled_) {
    stalled_ = true;
    const auto buffer_frames =
        static_cast<std::int64_t>(buffer.bytes.size() / finished.format.BlockAlign());
    stall_due_frames_ = faults.stall_blocks * buffer_frames;
  }
}

void SimulatedCard::Report(WaveDirection direction, int buffer_index) {
  Direction& reporting = Of(direction);
  // Room is made before the callback, which may queue the next buffer at once.
  reporting.in_flight.fetch_sub(1, std::memory_order_acq_rel);
  reporting.callback->BufferDone(direction, buffer_index);
}

void SimulatedCard::ReportWithheld(WaveDirection direction) {
  Direction& reporting = Of(direction);
  const std::size_t count = reporting.withheld_count;
  reporting.withheld_count = 0;
  for (std::size_t i = 0; i < count; ++i) Report(direction, reporting.withheld[i]);
}

}  // namespace vireon
