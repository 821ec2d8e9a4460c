#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "record/DataObj.h"

namespace vireon {

// Editing the overlay list a record keeps ("MultiFile"), at most as long as a hold may make it.
// The list file holds one path per line.

// Appends the files not yet listed while the list is shorter than 8; the number added.
std::size_t AddOverlayFiles(TDataMeas& record, std::span<const std::filesystem::path> files);

// Removes entry `index`; false when there is none.
bool RemoveOverlay(TDataMeas& record, std::size_t index);

// Writes the list, replacing `file` only once it is complete. Throws VireonError on failure.
void SaveOverlayList(const TDataMeas& record, const std::filesystem::path& file);

// Replaces the list by the file's paths (blank lines skipped, duplicates and those past the
// eighth dropped); false, the list untouched, when the file cannot be read.
bool LoadOverlayList(TDataMeas& record, const std::filesystem::path& file);

}  // namespace vireon
