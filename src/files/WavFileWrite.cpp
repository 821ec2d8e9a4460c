#include "files/WavFileWrite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "files/RiffChunks.h"

namespace vireon {
namespace {

constexpr std::uint16_t kFormatPcm = 1;

// Full-scale factors of the stored integers; the 32-bit one stays a little below 2^31.
constexpr double kFull8 = 127.0;
constexpr double kFull16 = 32767.0;
constexpr double kFull24 = 8388607.0;
constexpr double kFull32 = 2147483600.0;

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Rounded to nearest, ties to even, and kept inside the container.
std::int64_t Quantise(double value, double low, double high) {
  if (!std::isfinite(value)) return 0;
  return static_cast<std::int64_t>(std::nearbyint(std::clamp(value, low, high)));
}

void AppendSample(std::string& out, double v, int bits) {
  switch (bits) {
    case 8:
      out.push_back(static_cast<char>(Quantise(v * kFull8 + 128.0, 0.0, 255.0)));
      break;
    case 16:
      AppendLittleEndian(out, static_cast<std::uint32_t>(Quantise(v * kFull16, -32768.0, 32767.0)),
                         2);
      break;
    case 24:
      AppendLittleEndian(
          out, static_cast<std::uint32_t>(Quantise(v * kFull24, -8388608.0, 8388607.0)), 3);
      break;
    default:
      AppendLittleEndian(
          out, static_cast<std::uint32_t>(Quantise(v * kFull32, -2147483648.0, 2147483647.0)), 4);
      break;
  }
}

double ValueOf(const DataArray& values, std::size_t i) {
  const double value = i < values.size() ? values[i] : 0.0;
  return std::isfinite(value) ? value : 0.0;
}

}  // namespace

bool SaveWavData(const std::filesystem::path& file, const TDataMeas& record, int bits, double level,
                 WavChannelChoice choice, bool stereo, MessageSink& messages) {
  if (record.FDataType != kTimeDomain) {
    messages.ShowMessage(std::string(kWavTimeOnlyMessage));
    return false;
  }
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (record.FSampleRate < 1 || record.FNumFields < 1 || record.FNumPoints < 1) return false;

  const bool two_columns = record.FNumFields >= 2;
  const int channels = stereo && two_columns ? 2 : 1;
  if (!two_columns) choice = WavChannelChoice::kColumn0;
  const DataArray& a = record.FFields[0].Values;
  const DataArray& b = record.FFields[1].Values;
  const auto points = static_cast<std::size_t>(record.FNumPoints);

  double peak = 0.0;
  for (std::size_t i = 0; i < points; ++i) {
    peak = std::max(peak, std::fabs(ValueOf(a, i)));
    if (two_columns) peak = std::max(peak, std::fabs(ValueOf(b, i)));
    if (choice == WavChannelChoice::kMix) {
      peak = std::max(peak, std::fabs(ValueOf(a, i) + ValueOf(b, i)));
    }
  }
  // An all-zero record is written as silence.
  const double scale = peak > 0.0 ? (level >= 1.0 ? 1.0 : level) / peak : 0.0;

  const int block = channels * bits / 8;
  const std::uint64_t data_bytes = std::uint64_t{points} * static_cast<std::uint64_t>(block);
  if (data_bytes > 0xFFFFFF00u) return false;
  RiffWriter riff("WAVE", static_cast<std::size_t>(data_bytes) + 64);
  riff.BeginChunk("fmt ");
  std::string& out = riff.Data();
  AppendLittleEndian(out, kFormatPcm, 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(channels), 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(record.FSampleRate), 4);
  AppendLittleEndian(
      out, static_cast<std::uint32_t>(record.FSampleRate) * static_cast<std::uint32_t>(block), 4);
  AppendLittleEndian(out, static_cast<std::uint32_t>(block), 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(bits), 2);
  AppendLittleEndian(out, 0, 2);
  riff.EndChunk();
  riff.BeginChunk("data");
  for (std::size_t i = 0; i < points; ++i) {
    if (channels == 2) {
      AppendSample(out, ValueOf(a, i) * scale, bits);
      AppendSample(out, ValueOf(b, i) * scale, bits);
    } else if (choice == WavChannelChoice::kMix) {
      AppendSample(out, (ValueOf(a, i) + ValueOf(b, i)) * scale, bits);
    } else {
      AppendSample(out, ValueOf(choice == WavChannelChoice::kColumn1 ? b : a, i) * scale, bits);
    }
  }
  riff.EndChunk();
  std::string bytes;
  if (!riff.Finish(bytes)) return false;
  try {
    WriteFileAtomically(file, bytes);
  } catch (const VireonError&) {
    return false;
  }
  return true;
}

}  // namespace vireon
