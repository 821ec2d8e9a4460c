#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "common/TextBytes.h"

namespace vireon {

// Texts as records and settings hold them (8-bit bytes) shown by Qt, and typed text back.
inline QString ToQString(std::string_view bytes) {
  return QString::fromStdString(BytesToUtf8(bytes));
}
inline std::string FromQString(const QString& text) { return Utf8ToBytes(text.toStdString()); }

}  // namespace vireon
