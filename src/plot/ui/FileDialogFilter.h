#pragma once

#include <QString>

#include <string_view>

namespace vireon {

// A filter written as "description|patterns|description|patterns", patterns separated by
// semicolons, as the file dialogs' filter: "description (pattern pattern)" joined by ";;".
// The description is kept as it stands.
QString QtFileFilter(std::string_view filter);

}  // namespace vireon
