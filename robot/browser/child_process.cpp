#include "robot/browser/child_process.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velmora::robot::browser {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Between two looks at a process that is ending.
constexpr milliseconds kPollStep(10);

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

std::vector<std::string> ChildEnvironment(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    if (!changes.count(name)) env.push_back(entry);
  }
  for (const auto& [name, value] : changes)
    if (!value.empty()) env.push_back(name + "=" + value);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The parent's pid of `pid` from /proc/PID/stat, or -1.
pid_t ParentOf(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // "PID (COMMAND) STATE PPID ...": the command may hold blanks and ')'.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  char state = 0;
  int parent = -1;
  if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) != 2) return -1;
  return parent;
}

std::vector<pid_t> ChildrenOfThisProcess() {
  std::vector<pid_t> children;
  const pid_t self = ::getpid();
  DIR* proc = ::opendir("/proc");
  if (!proc) return children;
  while (dirent* entry = ::readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(entry->d_name, &end, 10);
    if (pid <= 0 || *end != '\0') continue;
    if (ParentOf(static_cast<pid_t>(pid)) == self) children.push_back(static_cast<pid_t>(pid));
  }
  ::closedir(proc);
  return children;
}

}  // namespace

void ChildProcess::Start(const Options& options) {
  if (pid_ > 0) throw std::logic_error("the child process is already started");
  std::vector<std::string> argv = options.argv;
  std::vector<std::string> env = ChildEnvironment(options.environment);
  std::vector<char*> argv_pointers = Pointers(argv);
  std::vector<char*> env_pointers = Pointers(env);

  int out[2] = {-1, -1};
  if (options.pipe_stdout && ::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error(Errno("pipe"));
  int err_fd = -1;
  if (!options.stderr_file.empty()) {
    err_fd = ::open(options.stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (err_fd < 0) throw std::runtime_error(Errno(options.stderr_file));
  }
  // The child tells of a failed exec through this pipe; its closing on exec
  // tells of success.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error(Errno("pipe"));
  const pid_t parent = ::getpid();

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error(Errno("fork"));
  if (pid == 0) {
    // Only async-signal-safe calls from here to exec.
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int null_in = ::open("/dev/null", O_RDONLY);
    if (null_in >= 0) ::dup2(null_in, STDIN_FILENO);
    if (err_fd >= 0) ::dup2(err_fd, STDERR_FILENO);
    ::dup2(options.pipe_stdout ? out[1] : STDERR_FILENO, STDOUT_FILENO);
    ::dup2(report[1], 3);
    ::close_range(4, ~0U, 0);
    ::fcntl(3, F_SETFD, FD_CLOEXEC);
    ::execve(argv_pointers[0], argv_pointers.data(), env_pointers.data());
    const int error = errno;
    [[maybe_unused]] ssize_t ignored = ::write(3, &error, sizeof error);
    ::_exit(127);
  }
  ::setpgid(pid, pid);  // as the child does, so the group exists either way
  pid_ = pid;
  reaped_ = false;
  ::close(report[1]);
  if (err_fd >= 0) ::close(err_fd);
  if (options.pipe_stdout) {
    ::close(out[1]);
    stdout_fd_ = out[0];
  }
  int error = 0;
  ssize_t got;
  do got = ::read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got > 0) {
    Stop();
    errno = error;
    throw std::runtime_error(Errno("cannot run " + options.argv[0]));
  }
}

std::optional<std::string> ChildProcess::ReadLine(Deadline deadline, bool& timed_out) {
  timed_out = false;
  while (true) {
    if (std::size_t end = buffered_.find('\n'); end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    if (stdout_fd_ < 0) return std::nullopt;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0) {
      timed_out = true;
      return std::nullopt;
    }
    pollfd p{stdout_fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) throw std::runtime_error(Errno("poll"));
    if (ready <= 0) continue;
    char chunk[4096];
    const ssize_t got = ::read(stdout_fd_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ::close(stdout_fd_);
      stdout_fd_ = -1;
      if (buffered_.empty()) return std::nullopt;
      std::string rest;
      rest.swap(buffered_);
      return rest;
    }
    buffered_.append(chunk, static_cast<std::size_t>(got));
  }
}

bool ChildProcess::Exited() {
  if (pid_ <= 0 || reaped_) return true;
  int status = 0;
  const pid_t got = ::waitpid(pid_, &status, WNOHANG);
  if (got == pid_ || (got < 0 && errno == ECHILD)) {
    reaped_ = true;
    status_ = got == pid_ ? status : -1;
  }
  return reaped_;
}

int ChildProcess::Stop(milliseconds grace) {
  if (pid_ <= 0) return -1;
  if (!Exited()) {
    ::kill(-pid_, SIGTERM);
    const Deadline deadline = steady_clock::now() + grace;
    while (!Exited() && steady_clock::now() < deadline) std::this_thread::sleep_for(kPollStep);
    if (!reaped_) {
      ::kill(-pid_, SIGKILL);
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      reaped_ = true;
      status_ = status;
    }
  }
  // Whatever the leader left running in its group goes with it.
  ::kill(-pid_, SIGKILL);
  if (stdout_fd_ >= 0) ::close(stdout_fd_);
  stdout_fd_ = -1;
  pid_ = -1;
  return status_;
}

void BecomeSubreaper() { ::prctl(PR_SET_CHILD_SUBREAPER, 1); }

int ReapStrayChildren(const std::vector<pid_t>& keep, milliseconds grace) {
  const std::set<pid_t> kept(keep.begin(), keep.end());
  std::set<pid_t> seen;
  const Deadline kill_at = steady_clock::now() + grace;
  // Past this even a process SIGKILL does not end (stuck in the kernel) is
  // left: the test must end.
  const Deadline give_up = kill_at + std::chrono::seconds(10);
  while (steady_clock::now() < give_up) {
    std::vector<pid_t> strays;
    for (pid_t pid : ChildrenOfThisProcess())
      if (!kept.count(pid)) strays.push_back(pid);
    if (strays.empty()) break;
    const bool late = steady_clock::now() >= kill_at;
    for (pid_t pid : strays) {
      if (seen.insert(pid).second) ::kill(pid, SIGTERM);
      if (late) ::kill(pid, SIGKILL);
      int status = 0;
      ::waitpid(pid, &status, WNOHANG);
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return static_cast<int>(seen.size());
}

int PickFreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error(Errno("socket"));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    const std::string error = Errno("cannot bind a port on 127.0.0.1");
    ::close(fd);
    throw std::runtime_error(error);
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

}  // namespace velmora::robot::browser
