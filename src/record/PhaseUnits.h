#pragma once

#include "record/DataObj.h"

namespace vireon {

// Marks a column as a phase in degrees: units "°" (the byte 0xB0).
inline void MarkAsPhase(TFieldType& field) { field.Units.assign(1, '\xB0'); }

}  // namespace vireon
