#include "audio/devices/portaudio/PortAudioStreamHost.h"

#include <cstring>
#include <utility>

#include "audio/devices/portaudio/PortAudioDeviceList.h"

namespace vireon {

namespace {

constexpr int kPlay = static_cast<int>(WaveDirection::kPlay);
constexpr int kRecord = static_cast<int>(WaveDirection::kRecord);

}  // namespace

PortAudioStreamHost::PortAudioStreamHost(std::shared_ptr<const PortAudioSession> session,
                                         std::shared_ptr<PaErrorRecord> errors,
                                         PaDeviceIndex device)
    : session_(std::move(session)), errors_(std::move(errors)), device_(device) {}

PortAudioStreamHost::~PortAudioStreamHost() {
  const std::lock_guard lock(control_);
  CloseStream();
}

bool PortAudioStreamHost::CanAttach(PaDeviceIndex device, WaveDirection direction, int rate) const {
  const std::lock_guard lock(control_);
  const Side& other = sides_[1 - static_cast<int>(direction)];
  return device == device_ && !SideOf(direction).queue && !running_ && !other.started &&
         (!other.queue || other.format.rate == rate);
}

int PortAudioStreamHost::Attach(WaveDirection direction, const WaveFormat& format,
                                WaveCallback& callback) {
  const std::lock_guard lock(control_);
  Side& side = SideOf(direction);
  if (side.queue || running_) return kMmAllocated;
  side.format = format;
  side.queue = std::make_unique<BufferQueue>(direction, format.BlockAlign(), callback);
  CloseStream();
  const int result = OpenStream();
  if (result != kMmNoError) {
    side.queue.reset();
    // Give the other direction back the stream it had alone.
    if (sides_[1 - static_cast<int>(direction)].queue) OpenStream();
  }
  return result;
}

int PortAudioStreamHost::OpenStream() {
  PaStreamParameters input{};
  PaStreamParameters output{};
  const bool has_input = sides_[kRecord].queue != nullptr;
  const bool has_output = sides_[kPlay].queue != nullptr;
  if (!has_input && !has_output) return kMmNoError;
  if (has_input) {
    input = StereoParameters(device_, WaveDirection::kRecord, sides_[kRecord].format.bits);
  }
  if (has_output) {
    output = StereoParameters(device_, WaveDirection::kPlay, sides_[kPlay].format.bits);
  }
  const int rate = (has_output ? sides_[kPlay] : sides_[kRecord]).format.rate;
  // Dithering off: captured samples must arrive exactly as the card delivered them.
  const PaError error =
      Pa_OpenStream(&stream_, has_input ? &input : nullptr, has_output ? &output : nullptr, rate,
                    paFramesPerBufferUnspecified, paDitherOff, &OnAudio, this);
  if (error != paNoError) {
    stream_ = nullptr;
    return errors_->Record(error);
  }
  stream_frame_bytes_[kPlay] = has_output ? sides_[kPlay].format.BlockAlign() : 0;
  stream_frame_bytes_[kRecord] = has_input ? sides_[kRecord].format.BlockAlign() : 0;
  return kMmNoError;
}

void PortAudioStreamHost::CloseStream() {
  if (stream_ == nullptr) return;
  if (running_) Pa_AbortStream(stream_);
  running_ = false;
  errors_->Record(Pa_CloseStream(stream_));
  stream_ = nullptr;
  stream_frame_bytes_ = {0, 0};
}

int PortAudioStreamHost::HaltStream() {
  if (!running_) return kMmNoError;
  running_ = false;
  // Once the abort returns the callback has left and will not run again.
  return errors_->Record(Pa_AbortStream(stream_));
}

int PortAudioStreamHost::Pause(WaveDirection direction) {
  if (direction == WaveDirection::kRecord) return kMmNotSupported;
  const std::lock_guard lock(control_);
  Side& side = SideOf(direction);
  if (!side.queue) return kMmInvalidHandle;
  side.started = false;
  return HaltStream();
}

int PortAudioStreamHost::Queue(WaveDirection direction, int buffer_index,
                               std::span<std::uint8_t> buffer) {
  // Lock-free: the producer side of the direction's queue.
  BufferQueue* queue = SideOf(direction).queue.get();
  if (queue == nullptr) return kMmInvalidHandle;
  return queue->Push(buffer_index, buffer);
}

int PortAudioStreamHost::Start(WaveDirection direction) {
  const std::lock_guard lock(control_);
  Side& side = SideOf(direction);
  if (!side.queue) return kMmInvalidHandle;
  side.started = true;
  if (running_) return kMmNoError;
  for (const Side& each : sides_) {
    if (each.queue && !each.started) return kMmNoError;  // the other direction starts it
  }
  if (stream_ == nullptr) return kMmInvalidHandle;
  const int result = errors_->Record(Pa_StartStream(stream_));
  running_ = result == kMmNoError;
  return result;
}

void PortAudioStreamHost::StopSide(Side& side) {
  side.started = false;
  HaltStream();
  // Reported here on the calling thread, now that the callback can no longer run: a failed
  // abort must still hand every buffer back.
  side.queue->Drain();
}

int PortAudioStreamHost::Reset(WaveDirection direction) {
  const std::lock_guard lock(control_);
  Side& side = SideOf(direction);
  if (!side.queue) return kMmInvalidHandle;
  StopSide(side);
  return kMmNoError;
}

int PortAudioStreamHost::Close(WaveDirection direction) {
  const std::lock_guard lock(control_);
  Side& side = SideOf(direction);
  if (!side.queue) return kMmInvalidHandle;
  StopSide(side);
  side.queue.reset();
  if (sides_[kPlay].queue || sides_[kRecord].queue) return kMmNoError;
  const PaError error = Pa_CloseStream(stream_);
  stream_ = nullptr;
  stream_frame_bytes_ = {0, 0};
  return errors_->Record(error);
}

std::int64_t PortAudioStreamHost::Xruns(WaveDirection direction) const {
  return SideOf(direction).xruns.load(std::memory_order_acquire);
}

std::int64_t PortAudioStreamHost::DryCallbacks(WaveDirection direction) const {
  const std::lock_guard lock(control_);
  const BufferQueue* queue = SideOf(direction).queue.get();
  return queue != nullptr ? queue->DryCallbacks() : 0;
}

int PortAudioStreamHost::OnAudio(const void* input, void* output, unsigned long frames,
                                 const PaStreamCallbackTimeInfo* /*time*/,
                                 PaStreamCallbackFlags flags, void* host) {
  static_cast<PortAudioStreamHost*>(host)->ServeAudio(input, output, frames, flags);
  return paContinue;
}

void PortAudioStreamHost::ServeAudio(const void* input, void* output, unsigned long frames,
                                     PaStreamCallbackFlags flags) {
  if ((flags & (paInputOverflow | paInputUnderflow)) != 0) {
    sides_[kRecord].xruns.fetch_add(1, std::memory_order_release);
  }
  if ((flags & paOutputUnderflow) != 0) {
    sides_[kPlay].xruns.fetch_add(1, std::memory_order_release);
  }
  // The queues change only while the stream is halted, so reading them here is safe.
  if (input != nullptr && sides_[kRecord].queue) {
    const std::size_t bytes = frames * static_cast<std::size_t>(stream_frame_bytes_[kRecord]);
    sides_[kRecord].queue->Record({static_cast<const std::uint8_t*>(input), bytes});
  }
  if (output != nullptr) {
    const std::size_t bytes = frames * static_cast<std::size_t>(stream_frame_bytes_[kPlay]);
    const std::span<std::uint8_t> out{static_cast<std::uint8_t*>(output), bytes};
    if (sides_[kPlay].queue) {
      sides_[kPlay].queue->Play(out);
    } else {
      std::memset(out.data(), 0, out.size());
    }
  }
}

}  // namespace vireon
