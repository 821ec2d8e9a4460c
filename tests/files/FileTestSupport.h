#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "support/TempFolder.h"

namespace vireon::testing_support {

// Little-endian bytes assembled by hand, independently of the code under test.
class Bytes {
 public:
  Bytes& I32(std::int32_t v) { return Raw(&v, 4); }
  Bytes& U32(std::uint32_t v) { return Raw(&v, 4); }
  Bytes& U16(std::uint16_t v) { return Raw(&v, 2); }
  Bytes& U8(std::uint8_t v) { return Raw(&v, 1); }
  Bytes& F64(double v) { return Raw(&v, 8); }
  Bytes& F32(float v) { return Raw(&v, 4); }
  Bytes& Text(std::string_view text) {
    data_.append(text);
    return *this;
  }
  // A string item: length with the terminating 0, the bytes, the 0.
  Bytes& Str(std::string_view text) {
    I32(static_cast<std::int32_t>(text.size() + 1));
    data_.append(text);
    data_.push_back('\0');
    return *this;
  }
  const std::string& Data() const { return data_; }
  std::size_t Size() const { return data_.size(); }

 private:
  Bytes& Raw(const void* value, std::size_t size) {
    data_.append(static_cast<const char*>(value), size);
    return *this;
  }
  std::string data_;
};

inline void WriteFile(const std::filesystem::path& file, std::string_view content) {
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace vireon::testing_support
