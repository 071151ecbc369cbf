#pragma once

// The built velmora-robot as a child process on a loopback port the system
// picks, for the end-to-end tests and the load run. Header-only: both link
// it without a library of their own.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::robot::e2e {

// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct RobotLaunch {
  std::string binary;                  // the built velmora-robot
  std::filesystem::path data;          // --data
  std::filesystem::path config;        // --config; empty: none
  std::optional<rlim_t> file_size_limit;  // RLIMIT_FSIZE of the server, SIGXFSZ ignored
};

// One run of the server. Start() returns once it listens; the destructor
// kills and reaps it if it still runs.
class RobotProcess {
 public:
  RobotProcess() = default;
  ~RobotProcess() { Kill(SIGKILL); }
  RobotProcess(const RobotProcess&) = delete;
  RobotProcess& operator=(const RobotProcess&) = delete;

  // Throws std::runtime_error with the lines the server printed when it ends
  // or says nothing of its port within `timeout`.
  void Start(const RobotLaunch& launch,
             std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    if (pid_ > 0) throw std::runtime_error("the server runs already");
    std::vector<std::string> args = {launch.binary, "--data", launch.data.string(), "--listen",
                                     "127.0.0.1:0"};
    if (!launch.config.empty()) {
      args.push_back("--config");
      args.push_back(launch.config.string());
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
      close(fds[0]);
      close(fds[1]);
      throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
      // Only async-signal-safe calls from here to exec.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      dup2(fds[1], STDOUT_FILENO);
      close_range(3, ~0U, 0);
      if (launch.file_size_limit) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, nullptr);
        rlimit limit{*launch.file_size_limit, *launch.file_size_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
      }
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(fds[1]);
    pid_ = pid;
    out_ = fds[0];
    port_ = ReadPort(timeout);
  }

  // Sends `signal` and reaps the server; SIGKILL after 15 s when another
  // signal does not end it. Returns the wait status (-1: it did not run).
  int Kill(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      usleep(2000);
    }
    pid_ = -1;
    if (out_ >= 0) close(out_);
    out_ = -1;
    return status;
  }

  pid_t pid() const { return pid_; }
  int port() const { return port_; }
  bool running() const { return pid_ > 0; }
  // The lines the server printed before its port, the password among them.
  const std::string& banner() const { return banner_; }

 private:
  int ReadPort(std::chrono::milliseconds timeout) {
    const std::string marker = "velmora-robot: listening on http://127.0.0.1:";
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string text;
    while (true) {
      std::size_t at = text.find(marker);
      if (at != std::string::npos) {
        std::size_t end = text.find("/\n", at);
        if (end != std::string::npos) {
          banner_ = text;
          return std::atoi(text.c_str() + at + marker.size());
        }
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{out_, POLLIN, 0};
      const int ready = left.count() > 0 ? poll(&p, 1, static_cast<int>(left.count())) : 0;
      if (ready < 0 && errno == EINTR) continue;
      char buffer[512];
      const ssize_t n = ready > 0 ? read(out_, buffer, sizeof buffer) : 0;
      if (n <= 0) {
        Kill(SIGKILL);
        throw std::runtime_error("velmora-robot did not tell its port; it printed: " + text);
      }
      text.append(buffer, static_cast<std::size_t>(n));
    }
  }

  pid_t pid_ = -1;
  int out_ = -1;
  int port_ = 0;
  std::string banner_;
};

}  // namespace velmora::robot::e2e
