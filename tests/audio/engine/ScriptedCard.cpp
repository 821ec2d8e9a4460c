#include "ScriptedCard.h"

#include "audio/engine/InputFrames.h"
#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {

std::string Name(WaveDirection direction) {
  return direction == WaveDirection::kPlay ? "play" : "record";
}

// A played sample on the 24-bit scale, decoded here rather than by the engine's own reader.
std::int32_t PlayedSample(std::span<const std::uint8_t> buffer, std::size_t offset, int bits) {
  if (bits == 16) {
    const auto value = static_cast<std::int16_t>(buffer[offset] | buffer[offset + 1] << 8);
    return value * 256;
  }
  std::int32_t value = buffer[offset] | buffer[offset + 1] << 8 | buffer[offset + 2] << 16;
  if (value >= 1 << 23) value -= 1 << 24;
  return value;
}

}  // namespace

class ScriptedStream : public WaveStream {
 public:
  ScriptedStream(ScriptedCard& card, WaveDirection direction)
      : card_(card), direction_(direction) {}

  std::int64_t HostXruns() const override {
    return card_.host_xruns[direction_ == WaveDirection::kPlay ? 0 : 1];
  }
  int Pause() override {
    card_.log.push_back("pause " + Name(direction_));
    return direction_ == WaveDirection::kPlay ? card_.failures.pause : kMmNotSupported;
  }
  int Queue(int buffer_index, std::span<std::uint8_t> buffer) override {
    ScriptedCard::Side& side = card_.SideOf(direction_);
    card_.log.push_back("queue " + Name(direction_) + " " + std::to_string(buffer_index));
    const int failing = direction_ == WaveDirection::kPlay ? card_.failures.queue_play_call
                                                           : card_.failures.queue_record_call;
    if (side.queue_calls++ == failing) return card_.failures.queue_result;
    if (card_.streaming_ && !card_.in_callback_) ++card_.queued_outside_callbacks;
    side.queue.push_back({buffer_index, buffer});
    return kMmNoError;
  }
  int Start() override {
    card_.log.push_back("start " + Name(direction_));
    const int result = direction_ == WaveDirection::kPlay ? card_.failures.start_play
                                                          : card_.failures.start_record;
    if (result != kMmNoError) return result;
    card_.SideOf(direction_).running = true;
    card_.streaming_ = true;
    return kMmNoError;
  }
  int Reset() override {
    card_.log.push_back("reset " + Name(direction_));
    ScriptedCard::Side& side = card_.SideOf(direction_);
    if (side.reset_failures_left > 0) {
      --side.reset_failures_left;
      return kMmHandleBusy;
    }
    side.running = false;
    side.position = 0;
    while (!side.queue.empty()) {
      const int index = side.queue.front().index;
      side.queue.pop_front();
      ++card_.returned_by_reset;
      card_.Report(direction_, index);
    }
    return kMmNoError;
  }
  int Close() override {
    card_.log.push_back("close " + Name(direction_));
    ScriptedCard::Side& side = card_.SideOf(direction_);
    side = ScriptedCard::Side{};
    --card_.open_streams;
    if (!card_.play_.open && !card_.record_.open) card_.streaming_ = false;
    return kMmNoError;
  }

 private:
  ScriptedCard& card_;
  const WaveDirection direction_;
};

std::vector<std::string> ScriptedCard::DeviceNames(WaveDirection) const {
  return {"Scripted Card [loopback]"};
}

int ScriptedCard::QueryFormat(WaveDirection, int device, const WaveFormat& format) {
  if (device != 0) return kMmBadDeviceId;
  return format.bits == 16 || format.bits == 24 ? kMmNoError : kWaveBadFormat;
}

int ScriptedCard::Open(WaveDirection direction, int device, const WaveFormat& format,
                       WaveCallback& callback, std::unique_ptr<WaveStream>& stream) {
  log.push_back("open " + Name(direction));
  const int failure = direction == WaveDirection::kPlay ? failures.open_play : failures.open_record;
  if (failure != kMmNoError) return failure;
  if (device != 0) return kMmBadDeviceId;
  Side& side = SideOf(direction);
  if (side.open) return kMmAllocated;
  side.open = true;
  side.format = format;
  side.callback = &callback;
  side.reset_failures_left = failures.reset_failures;
  ++open_streams;
  stream = std::make_unique<ScriptedStream>(*this, direction);
  return kMmNoError;
}

void ScriptedCard::Report(WaveDirection direction, int index) {
  const bool nested = in_callback_;
  in_callback_ = true;
  SideOf(direction).callback->BufferDone(direction, index);
  in_callback_ = nested;
}

void ScriptedCard::Advance(std::int32_t frames) {
  if (delay_line_.empty()) delay_line_.assign(static_cast<std::size_t>(latency_), {0, 0});
  for (std::int32_t i = 0; i < frames; ++i) {
    InputFrame out{0, 0};
    if (play_.running && !play_.queue.empty() && !stalled) {
      const Queued head = play_.queue.front();
      const int bits = play_.format.bits;
      const std::size_t offset = static_cast<std::size_t>(play_.position) * FrameBytes(bits);
      out = {PlayedSample(head.buffer, offset, bits),
             PlayedSample(head.buffer, offset + FrameBytes(bits) / 2, bits)};
      if (++play_.position * play_.format.BlockAlign() ==
          static_cast<std::int32_t>(head.buffer.size())) {
        play_.queue.pop_front();
        play_.position = 0;
        Report(WaveDirection::kPlay, head.index);
      }
    }
    if (play_.running) {
      played_left.push_back(out.left);
      played_right.push_back(out.right);
    }
    delay_line_.emplace_back(out.left, out.right);
    const auto [left, right] = delay_line_.front();
    delay_line_.pop_front();
    if (record_.running && !record_.queue.empty() && !stalled) {
      const Queued head = record_.queue.front();
      const int bits = record_.format.bits;
      const std::size_t offset = static_cast<std::size_t>(record_.position) * FrameBytes(bits);
      // The 24-bit scale back to the record resolution, as a converter would truncate it.
      const int shift = bits == 16 ? 8 : 0;
      PackSample(head.buffer, offset, bits, left >> shift);
      PackSample(head.buffer, offset + FrameBytes(bits) / 2, bits, right >> shift);
      if (++record_.position * record_.format.BlockAlign() ==
          static_cast<std::int32_t>(head.buffer.size())) {
        record_.queue.pop_front();
        record_.position = 0;
        Report(WaveDirection::kRecord, head.index);
      }
    }
  }
}

}  // namespace vireon
