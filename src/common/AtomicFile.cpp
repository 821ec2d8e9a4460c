#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "common/VireonError.h"

namespace vireon {
namespace {

// Closes the descriptor and removes the temporary file unless released.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path_template) : path_(std::move(path_template)) {
    descriptor_ = ::mkstemp(path_.data());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    Close();
    if (!kept_) ::unlink(path_.c_str());
  }

  bool IsOpen() const { return descriptor_ >= 0; }
  int Descriptor() const { return descriptor_; }
  const std::string& Path() const { return path_; }
  bool Close() {
    if (descriptor_ < 0) return true;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    return closed;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int descriptor_ = -1;
  bool kept_ = false;
};

[[noreturn]] void Fail(const std::filesystem::path& target, int error) {
  throw VireonError("Could not write " + target.string() + ": " + std::strerror(error));
}

bool WriteAll(int descriptor, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(descriptor, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  const std::filesystem::path folder =
      target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  TemporaryFile temporary((folder / ("." + target.filename().string() + ".XXXXXX")).string());
  if (!temporary.IsOpen()) Fail(target, errno);

  // A replaced file keeps its permissions; a new one gets the usual 0644.
  struct stat existing {};
  const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  if (::fchmod(temporary.Descriptor(), mode) != 0) Fail(target, errno);

  if (!WriteAll(temporary.Descriptor(), content)) Fail(target, errno);
  if (::fsync(temporary.Descriptor()) != 0) Fail(target, errno);
  if (!temporary.Close()) Fail(target, errno);
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0) Fail(target, errno);
  temporary.Keep();
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  // Folders, pipes and devices are no files to read: they would throw or block.
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return std::nullopt;
  // One read of the known size: growing the string piece by piece is several times slower.
  std::string content(static_cast<std::size_t>(size), '\0');
  stream.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (stream.gcount() != static_cast<std::streamsize>(content.size())) return std::nullopt;
  return content;
}

}  // namespace vireon
