#pragma once

#include <string>
#include <string_view>

namespace vireon {

// The core keeps record and file strings as the 8-bit bytes they were stored as.
// Where text crosses to the outside (Qt, JSON, file names) these convert it.

// Bytes that are valid UTF-8 stay as they are; anything else is read as Latin-1.
std::string BytesToUtf8(std::string_view bytes);

// UTF-8 text whose every character fits in Latin-1 becomes Latin-1 bytes;
// any other text (or invalid UTF-8) is kept as it is.
std::string Utf8ToBytes(std::string_view text);

}  // namespace vireon
