#pragma once

#include <string>

#include "record/DataObj.h"

namespace vireon::cli {

// Loads a file as the plot window's Open does. A file that does not load throws VireonError
// carrying the loader's messages (the command then exits 1).
TDataMeas LoadRecordOrThrow(const std::string& file);

}  // namespace vireon::cli
