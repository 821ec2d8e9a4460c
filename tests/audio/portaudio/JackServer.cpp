#include "JackServer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace vireon {

namespace {

using namespace std::chrono_literals;

// Runs a shell command line; its standard output, or nothing when it failed.
bool RunTool(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return false;
  std::string text;
  char chunk[4096];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, count);
  const int status = pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string ReadLog(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

JackServer::JackServer(int rate)
    : name_("vireon-test-" + std::to_string(getpid())),
      log_path_((std::filesystem::temp_directory_path() / (name_ + ".log")).string()) {
  // Our own server only: no desktop device reservation, and no client may start another.
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

  const std::string rate_text = std::to_string(rate);
  // No realtime scheduling: containers and CI runners refuse it. A long client timeout: on a
  // loaded machine (parallel tests, sanitizers) clients answer slowly, and the server would
  // drop them.
  const char* arguments[] = {
      "jackd", "--no-realtime",   "--timeout", "10000", "--name", name_.c_str(), "-d", "dummy",
      "-r",    rate_text.c_str(), "-p",        "1024",  nullptr};
  const int log = open(log_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const pid_t test_process = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // The server dies with this process, also when a test crashes.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != test_process) _exit(1);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execvp("jackd", const_cast<char* const*>(arguments));
    constexpr char kNoJackd[] = "jackd could not be run (is the jackd2 package installed?)\n";
    (void)!write(STDERR_FILENO, kNoJackd, sizeof kNoJackd - 1);
    _exit(127);
  }
  close(log);
  if (pid_ < 0) {
    failure_ = "no process for jackd could be made";
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "jackd exited at start:\n" + ReadLog(log_path_);
      return;
    }
    if (Answers()) {
      running_ = true;
      return;
    }
    std::this_thread::sleep_for(100ms);
  }
  failure_ = "jackd did not answer within 15 s:\n" + ReadLog(log_path_);
}

JackServer::~JackServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
  }
  std::filesystem::remove(log_path_);
}

bool JackServer::Answers() const { return RunTool("jack_lsp", nullptr); }

std::vector<std::string> JackServer::Ports() const {
  std::string text;
  RunTool("jack_lsp", &text);
  std::vector<std::string> ports;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) ports.push_back(line);
  }
  return ports;
}

bool JackServer::Connect(const std::string& from, const std::string& to) const {
  // A loaded server may not answer the first time.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (RunTool("jack_connect " + Quoted(from) + " " + Quoted(to), nullptr)) return true;
    std::this_thread::sleep_for(200ms);
  }
  return false;
}

bool NoJackAllowed() {
  const char* allow = std::getenv("VIREON_ALLOW_NO_JACK");
  return allow != nullptr && std::string(allow) == "1";
}

}  // namespace vireon
