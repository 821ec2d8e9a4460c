#include "config/Defaults.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <system_error>
#include <vector>

#include "config/IniFile.h"

namespace vireon {
namespace {

constexpr std::string_view kFolderName = "VireonFree";

std::optional<std::string> PasswordHome() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* result = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
      result == nullptr || result->pw_dir == nullptr) {
    return std::nullopt;
  }
  return std::string(result->pw_dir);
}

// XDG base folders count only when set to an absolute path.
std::optional<std::filesystem::path> AbsoluteVariable(const Environment& environment,
                                                      std::string_view name) {
  const auto value = environment.Get(name);
  if (!value || value->empty() || value->front() != '/') return std::nullopt;
  return std::filesystem::path(*value);
}

std::filesystem::path HomeFolder(const Environment& environment) {
  return environment.Get("HOME").value_or("/");
}

std::string WithTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

Environment Environment::Process() {
  return Environment{[](std::string_view name) -> std::optional<std::string> {
    const std::string variable(name);
    if (const char* value = std::getenv(variable.c_str())) return std::string(value);
    if (name == "HOME") return PasswordHome();
    return std::nullopt;
  }};
}

std::optional<std::string> Environment::Get(std::string_view name) const {
  return lookup ? lookup(name) : std::nullopt;
}

std::string DataDirectory(const Environment& environment) {
  std::filesystem::path folder;
  if (const auto chosen = environment.Get("VIREON_DATA_DIR"); chosen && !chosen->empty()) {
    std::error_code ignored;
    folder = std::filesystem::absolute(*chosen, ignored);
    if (folder.empty()) folder = *chosen;
  } else if (const auto data_home = AbsoluteVariable(environment, "XDG_DATA_HOME")) {
    folder = *data_home / kFolderName;
  } else {
    folder = HomeFolder(environment) / ".local" / "share" / kFolderName;
  }
  ForceFolders(folder);
  return WithTrailingSlash(folder.string());
}

std::string ProgramDirectory() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSlash(std::filesystem::current_path(error).string());
  return WithTrailingSlash(executable.parent_path().string());
}

std::string ToDataRelative(std::string_view name, std::string_view data_directory) {
  if (!data_directory.empty() && name.starts_with(data_directory)) {
    return std::string(name.substr(data_directory.size()));
  }
  return std::string(name);
}

std::string FromDataRelative(std::string_view name, std::string_view data_directory) {
  if (name.starts_with('/') || (name.size() > 2 && name[1] == ':')) return std::string(name);
  if (name.size() <= 2) return {};
  std::string relative(name);
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  return std::string(data_directory) + relative;
}

bool ForceFolders(const std::filesystem::path& folder) {
  if (folder.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return std::filesystem::is_directory(folder, error);
}

bool DeleteIfExists(const std::filesystem::path& file) {
  std::error_code error;
  std::filesystem::remove(file, error);
  return !error && !std::filesystem::exists(std::filesystem::symlink_status(file, error));
}

std::filesystem::path DataPathFile(const Environment& environment) {
  const std::filesystem::path config_home = AbsoluteVariable(environment, "XDG_CONFIG_HOME")
                                                .value_or(HomeFolder(environment) / ".config");
  return config_home / kFolderName / "DataPath.ini";
}

void RegisterDataPath(const Environment& environment) {
  try {
    const std::filesystem::path file = DataPathFile(environment);
    if (!ForceFolders(file.parent_path())) return;
    IniFile ini = IniFile::FromFile(file);
    ini.WriteString(kDataPathSection, kDataPathKey, "\"" + DataDirectory(environment) + "\"");
    ini.SaveFile(file);
  } catch (const std::exception&) {
    // Announcing the path is a courtesy to other programs; nothing here depends on it.
  }
}

std::string SystemVersionName() {
  utsname system{};
  if (::uname(&system) != 0) return "[UNKNOWN]";
  return std::string(system.sysname) + " " + system.release;
}

}  // namespace vireon
