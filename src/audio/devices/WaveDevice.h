#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vireon {

// Results of the device layer, numbered as the driver error report expects them.
enum MmResult : int {
  kMmNoError = 0,
  kMmError = 1,
  kMmBadDeviceId = 2,
  kMmNotEnabled = 3,
  kMmAllocated = 4,
  kMmInvalidHandle = 5,
  kMmNoDriver = 6,
  kMmNoMem = 7,
  kMmNotSupported = 8,
  kMmInvalidFlag = 10,
  kMmInvalidParam = 11,
  kMmHandleBusy = 12,
  kWaveBadFormat = 32,
};

enum class WaveDirection { kPlay, kRecord };

// Always two interleaved channels, little-endian, 16- or 24-bit signed.
struct WaveFormat {
  int rate = 48000;
  int bits = 24;
  int BlockAlign() const { return 2 * (bits / 8); }
  bool operator==(const WaveFormat&) const = default;
};

// Told of every finished buffer, on the device's own thread, in the order the buffers were
// queued (a reset reports the rest at once). Must not block, lock or allocate.
class WaveCallback {
 public:
  virtual void BufferDone(WaveDirection direction, int buffer_index) = 0;

 protected:
  ~WaveCallback() = default;
};

// One open direction of a device.
class WaveStream {
 public:
  virtual ~WaveStream() = default;
  // Play: queued buffers wait until Start. Record streams answer kMmNotSupported.
  virtual int Pause() = 0;
  // Plays (play) or fills (record) the whole buffer, then reports it done. The memory stays the
  // caller's and must live until it is reported.
  virtual int Queue(int buffer_index, std::span<std::uint8_t> buffer) = 0;
  // Record: begin capturing. Play: resume after Pause. When play and record are one device, the
  // record start comes first and both then run on one sample clock.
  virtual int Start() = 0;
  // Stops the direction and reports every queued buffer done before returning.
  virtual int Reset() = 0;
  // Releases the device; the stream is unusable afterwards, also when this fails.
  virtual int Close() = 0;
  // Underruns (play) or overruns (record) the host's audio system reported on its own since the
  // open; a backend whose buffers are the only ones has none to report.
  virtual std::int64_t HostXruns() const { return 0; }
};

// One backend's devices, numbered 0 .. count-1 per direction.
class WaveDriver {
 public:
  virtual ~WaveDriver() = default;
  virtual std::vector<std::string> DeviceNames(WaveDirection direction) const = 0;
  // kMmNoError when the device accepts the format; no device is opened.
  virtual int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) = 0;
  virtual int Open(WaveDirection direction, int device, const WaveFormat& format,
                   WaveCallback& callback, std::unique_ptr<WaveStream>& stream) = 0;
};

// A device whose sample clock the pump drives, frame by frame (the simulated card's fast clock):
// the card plays, captures and reports buffers only inside Advance.
class SteppedClock {
 public:
  virtual void Advance(std::int32_t frames) = 0;

 protected:
  ~SteppedClock() = default;
};

}  // namespace vireon
