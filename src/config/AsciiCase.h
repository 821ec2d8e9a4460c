#pragma once

#include <string>
#include <string_view>

namespace vireon {

// Section and key names are bytes compared without regard to ASCII letter case only.
std::string FoldAsciiCase(std::string_view name);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace vireon
