#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vireon {

// A JACK server with its dummy driver, private to this test process: it gets its own name and
// becomes the default server of this process, so PortAudio made afterwards finds it.
class JackServer {
 public:
  // Starts the server and waits until it answers; see Running().
  explicit JackServer(int rate);
  ~JackServer();
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  bool Running() const { return running_; }
  // Why the server did not start, with its own output.
  const std::string& FailureText() const { return failure_; }

  std::vector<std::string> Ports() const;
  bool Connect(const std::string& from, const std::string& to) const;

 private:
  bool Answers() const;

  std::string name_;
  std::string log_path_;
  pid_t pid_ = -1;
  bool running_ = false;
  std::string failure_;
};

// The test environment accepts a machine without JACK (VIREON_ALLOW_NO_JACK=1).
bool NoJackAllowed();

}  // namespace vireon
