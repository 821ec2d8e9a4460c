// Loads arbitrary bytes as an INI file: nothing may crash or hang, and the text written back
// must load to the same sections and keys.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzRequire.h"
#include "config/IniFile.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vireon::IniFile ini = vireon::IniFile::FromText(bytes);

  for (const std::string& section : ini.Sections()) {
    Require(ini.SectionExists(section));
    for (const std::string& key : ini.Keys(section)) {
      Require(ini.ValueExists(section, key));
      (void)ini.ReadInteger(section, key, 0);
      (void)ini.ReadFloat(section, key, 0.0);
      (void)ini.ReadBool(section, key, false);
      (void)ini.ReadString(section, key, "");
    }
  }
  ini.WriteFloat("Fuzz", "Value", 0.1);
  if (!ini.Sections().empty()) ini.WriteString(ini.Sections().front(), "Added", "1");

  const std::string text = ini.Text();
  const vireon::IniFile again = vireon::IniFile::FromText(text);
  Require(again.Text() == text);
  Require(again.Sections() == ini.Sections());
  for (const std::string& section : ini.Sections()) {
    Require(again.Keys(section) == ini.Keys(section));
    Require(again.ReadString(section, "Added", "-") == ini.ReadString(section, "Added", "-"));
  }
  Require(again.ReadFloat("Fuzz", "Value", 0.0) == 0.1);
  return 0;
}
