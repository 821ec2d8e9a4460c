#include "files/RiffChunks.h"

#include <cstring>
#include <limits>

namespace vireon {
namespace {

std::uint32_t ReadUint32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

void WriteUint32(std::string& bytes, std::size_t at, std::uint64_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<std::vector<RiffChunk>> ReadRiffChunks(std::string_view bytes,
                                                     std::string_view form) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != form) {
    return std::nullopt;
  }
  const std::uint64_t declared_end = 8 + std::uint64_t{ReadUint32(bytes, 4)};
  const std::size_t end =
      declared_end < bytes.size() ? static_cast<std::size_t>(declared_end) : bytes.size();
  std::vector<RiffChunk> chunks;
  std::size_t position = 12;
  while (end >= 8 && position <= end - 8) {
    RiffChunk chunk;
    chunk.Id = bytes.substr(position, 4);
    chunk.DeclaredSize = ReadUint32(bytes, position + 4);
    const std::size_t data_start = position + 8;
    const std::size_t available = std::min<std::uint64_t>(chunk.DeclaredSize, end - data_start);
    chunk.Data = bytes.substr(data_start, available);
    chunks.push_back(chunk);
    const std::uint64_t next =
        data_start + std::uint64_t{chunk.DeclaredSize} + (chunk.DeclaredSize % 2);
    if (next > end) break;
    position = static_cast<std::size_t>(next);
  }
  return chunks;
}

const RiffChunk* FindChunk(const std::vector<RiffChunk>& chunks, std::string_view id) {
  for (const RiffChunk& chunk : chunks) {
    if (chunk.Id == id) return &chunk;
  }
  return nullptr;
}

RiffWriter::RiffWriter(std::string_view form, std::size_t expected_size) {
  bytes_.reserve(expected_size + 12);
  bytes_.append("RIFF");
  bytes_.append(4, '\0');
  bytes_.append(form.substr(0, 4));
}

void RiffWriter::BeginChunk(std::string_view id) {
  chunk_start_ = bytes_.size();
  bytes_.append(id.substr(0, 4));
  bytes_.append(4, '\0');
}

void RiffWriter::EndChunk() {
  const std::size_t size = bytes_.size() - chunk_start_ - 8;
  if (size > std::numeric_limits<std::uint32_t>::max()) fits_ = false;
  WriteUint32(bytes_, chunk_start_ + 4, size);
  if (size % 2 != 0) bytes_.push_back('\0');
}

bool RiffWriter::Finish(std::string& file) {
  const std::size_t size = bytes_.size() - 8;
  if (size > std::numeric_limits<std::uint32_t>::max()) fits_ = false;
  WriteUint32(bytes_, 4, size);
  file = std::move(bytes_);
  return fits_;
}

}  // namespace vireon
