#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireon {

// The chunk layer of RIFF files (WAV): four-character ids, little-endian 32-bit sizes, chunks
// padded to even length.

struct RiffChunk {
  std::string_view Id;
  std::uint32_t DeclaredSize = 0;
  std::string_view Data;  // what the file holds of it: shorter than declared when cut off
};

// The sub-chunks of a RIFF file of the given form type ("WAVE"); nullopt when the bytes are no
// such file. A RIFF size beyond the file is read as "up to the end of the file".
std::optional<std::vector<RiffChunk>> ReadRiffChunks(std::string_view bytes, std::string_view form);

// The first chunk with the id, or nullptr.
const RiffChunk* FindChunk(const std::vector<RiffChunk>& chunks, std::string_view id);

// Builds a RIFF file in memory: a chunk is begun, its data appended to Data(), then ended,
// which fixes its size and pads it; Finish fixes the RIFF size.
class RiffWriter {
 public:
  explicit RiffWriter(std::string_view form, std::size_t expected_size = 0);
  void BeginChunk(std::string_view id);
  std::string& Data() { return bytes_; }
  void EndChunk();
  // False when a size does not fit in 32 bits.
  bool Finish(std::string& file);

 private:
  std::string bytes_;
  std::size_t chunk_start_ = 0;
  bool fits_ = true;
};

}  // namespace vireon
