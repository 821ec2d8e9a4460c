#pragma once

#include <QImage>

#include <filesystem>

namespace vireon {

// Writes the image as PNG through a temporary file, so a failed write never
// leaves a half-written picture. Throws VireonError on failure.
void SavePngAtomically(const QImage& image, const std::filesystem::path& target);

}  // namespace vireon
