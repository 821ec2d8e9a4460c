#include "app/cli/PackedWav.h"

#include <string>

#include "common/AtomicFile.h"

namespace vireon::cli {
namespace {

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void SavePackedStereoWav(const std::filesystem::path& file, std::span<const std::uint8_t> frames,
                         int bits, int sample_rate) {
  constexpr int kChannels = 2;
  const std::uint32_t block_align = kChannels * bits / 8;
  const auto data_bytes = static_cast<std::uint32_t>(frames.size());
  std::string out = "RIFF";
  AppendLittleEndian(out, 36 + data_bytes + data_bytes % 2, 4);
  out += "WAVEfmt ";
  AppendLittleEndian(out, 16, 4);
  AppendLittleEndian(out, 1, 2);  // integer PCM
  AppendLittleEndian(out, kChannels, 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(sample_rate), 4);
  AppendLittleEndian(out, static_cast<std::uint32_t>(sample_rate) * block_align, 4);
  AppendLittleEndian(out, block_align, 2);
  AppendLittleEndian(out, static_cast<std::uint32_t>(bits), 2);
  out += "data";
  AppendLittleEndian(out, data_bytes, 4);
  out.append(reinterpret_cast<const char*>(frames.data()), frames.size());
  if (data_bytes % 2 != 0) out.push_back('\0');  // chunks are padded to even sizes
  WriteFileAtomically(file, out);
}

}  // namespace vireon::cli
