#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vireon {

// Where the program keeps its files, and the file names stored relative to that place.

// Environment lookups, injectable so tests can set paths without touching the process.
struct Environment {
  std::function<std::optional<std::string>(std::string_view name)> lookup;

  // The process environment; "HOME" falls back to the user's password entry.
  static Environment Process();
  std::optional<std::string> Get(std::string_view name) const;
};

// $VIREON_DATA_DIR, else $XDG_DATA_HOME/VireonFree, else ~/.local/share/VireonFree; created with
// its parents (a folder that cannot be created is returned all the same). Ends with "/".
std::string DataDirectory(const Environment& environment);
// The folder of the running executable, ending with "/".
std::string ProgramDirectory();

// A name inside the data directory loses that prefix (compared case-sensitively); any other
// name is returned unchanged.
std::string ToDataRelative(std::string_view name, std::string_view data_directory);
// A stored name beginning with "/" (or a drive letter and ":") is absolute and returned unchanged;
// a relative one, its "\" read as "/", gets the data directory in front. Names of two characters
// or fewer give an empty name.
std::string FromDataRelative(std::string_view name, std::string_view data_directory);

// Creates every missing folder of the path; true when the folder exists afterwards.
bool ForceFolders(const std::filesystem::path& folder);
// True when the file did not exist or was deleted.
bool DeleteIfExists(const std::filesystem::path& file);

// Announces the data directory to other programs in $XDG_CONFIG_HOME/VireonFree/DataPath.ini
// (default ~/.config). Failures are ignored; the program itself never reads the file.
void RegisterDataPath(const Environment& environment);
std::filesystem::path DataPathFile(const Environment& environment);
inline constexpr std::string_view kDataPathSection = "Software\\Vireon";
inline constexpr std::string_view kDataPathKey = "Vireon_Data_Path";

// The operating system's name and release for logs ("Linux 6.1.0-18-amd64"), "[UNKNOWN]" when the
// system does not say.
std::string SystemVersionName();

}  // namespace vireon
