#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vireon {

// Writes the whole content to a temporary file in the target's folder and
// renames it over the target only once it is complete, so a failed or
// interrupted save never destroys the old file. Throws VireonError on failure.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// The whole file as bytes; nullopt when it is not a regular file or cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

}  // namespace vireon
