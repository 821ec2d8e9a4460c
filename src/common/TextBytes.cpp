#include "common/TextBytes.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vireon {
namespace {

// Decodes UTF-8 into code points; nullopt when the bytes are not valid UTF-8.
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view bytes) {
  std::vector<char32_t> points;
  points.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    int extra = 0;
    char32_t point = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      point = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, point = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, point = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, point = lead & 0x07, minimum = 0x10000;
    } else {
      return std::nullopt;
    }
    if (i + static_cast<std::size_t>(extra) >= bytes.size()) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      point = (point << 6) | (next & 0x3F);
    }
    if (extra > 0 &&
        (point < minimum || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))) {
      return std::nullopt;
    }
    points.push_back(point);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return points;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out.push_back(static_cast<char>(point));
  } else if (point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (point >> 6)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else if (point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
  }
}

}  // namespace

std::string BytesToUtf8(std::string_view bytes) {
  if (DecodeUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char byte : bytes) AppendUtf8(out, static_cast<std::uint8_t>(byte));
  return out;
}

std::string Utf8ToBytes(std::string_view text) {
  const auto points = DecodeUtf8(text);
  if (!points) return std::string(text);
  std::string out;
  out.reserve(points->size());
  for (const char32_t point : *points) {
    if (point > 0xFF) return std::string(text);
    out.push_back(static_cast<char>(point));
  }
  return out;
}

}  // namespace vireon
