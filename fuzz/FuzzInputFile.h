#pragma once

// The loaders read files by name, so each fuzz input is written to a file of this process
// before it is loaded.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzRequire.h"

namespace vireon::fuzzing {

inline std::filesystem::path WriteInput(const std::uint8_t* data, std::size_t size,
                                        std::string_view extension) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("vireon-fuzz-" + std::to_string(::getpid()) + std::string(extension));
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return file;
}

}  // namespace vireon::fuzzing
