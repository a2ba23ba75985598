#include "program_run.hpp"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kPromptTimeout = std::chrono::seconds(20);
constexpr auto kPollInterval = std::chrono::milliseconds(5);

[[noreturn]] void child_fail(const char *what) {
  const std::string message =
      std::string("test harness: ") + what + ": " + std::strerror(errno) + "\n";
  (void)!::write(STDERR_FILENO, message.data(), message.size());
  ::_exit(127);
}

// Whether the process `pid` is blocked reading its standard input.
bool blocked_on_stdin(pid_t pid) {
  std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  std::string descriptor;
  syscall >> number >> descriptor;
  return syscall && number == SYS_read && descriptor == "0x0";
}

void write_all(int descriptor, const std::string &bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return; // the program stopped reading; what it read is what counts
    }
    done += static_cast<std::size_t>(n);
  }
}

std::string describe(int wait_status) {
  if (WIFEXITED(wait_status)) {
    return "exit " + std::to_string(WEXITSTATUS(wait_status));
  }
  if (WIFSIGNALED(wait_status)) {
    return "signal " + std::to_string(WTERMSIG(wait_status));
  }
  return "unknown " + std::to_string(wait_status);
}

// Reads both pipes until both are closed; a descriptor of -1 is not read.
void drain(int out, int err, RunResult &result) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string *targets[2] = {&result.out, &result.err};
  int open = (out >= 0 ? 1 : 0) + (err >= 0 ? 1 : 0);
  char buffer[4096];
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw std::runtime_error("poll failed");
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        targets[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

// The parent's and the child's ends of one standard stream.
struct StreamEnds {
  int parent = -1; // read by the harness, or -1
  int child = -1;  // becomes the child's descriptor, or -1 to close it
};

StreamEnds stream_ends(Stream stream) {
  StreamEnds ends;
  switch (stream) {
  case Stream::kCaptured:
  case Stream::kReaderGone: {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe failed");
    }
    ends.parent = pipe[0];
    ends.child = pipe[1];
    if (stream == Stream::kReaderGone) {
      ::close(ends.parent);
      ends.parent = -1;
    }
    break;
  }
  case Stream::kTerminal: {
    ends.parent = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (ends.parent < 0 || ::grantpt(ends.parent) != 0 ||
        ::unlockpt(ends.parent) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    ends.child = ::open(::ptsname(ends.parent), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (ends.child < 0 || ::tcgetattr(ends.child, &raw) != 0) {
      throw std::runtime_error("no pseudo-terminal");
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(ends.child, TCSANOW, &raw);
    break;
  }
  case Stream::kClosed:
  case Stream::kAppend:
    break; // set up in the child
  }
  return ends;
}

// In the child: puts `stream` on `descriptor`.
void set_up_stream(int descriptor, Stream stream, const StreamEnds &ends,
                   const std::string &file) {
  switch (stream) {
  case Stream::kClosed:
    ::close(descriptor);
    return;
  case Stream::kAppend: {
    const int opened = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (opened < 0 || ::dup2(opened, descriptor) < 0) {
      child_fail("open for appending");
    }
    ::close(opened);
    return;
  }
  default:
    if (::dup2(ends.child, descriptor) < 0) {
      child_fail("dup2");
    }
  }
}

} // namespace

RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const RunOptions &options) {
  // A run that stops reading its input must not end the test process.
  std::signal(SIGPIPE, SIG_IGN);

  int in[2];
  if (::pipe2(in, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const StreamEnds out = stream_ends(options.out);
  const StreamEnds err = stream_ends(options.err);
  std::vector<std::string> arguments = {options.executable.string()};
  arguments.insert(arguments.end(), options.arguments.begin(),
                   options.arguments.end());
  std::vector<char *> argv;
  for (std::string &argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    if (::chdir(directory.c_str()) != 0) {
      child_fail("chdir");
    }
    if (::dup2(in[0], STDIN_FILENO) < 0) {
      child_fail("dup2");
    }
    // Standard error last, so that the harness can still report trouble.
    set_up_stream(STDOUT_FILENO, options.out, out, options.out_file);
    set_up_stream(STDERR_FILENO, options.err, err, options.err_file);
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGINT, options.interrupt_ignored ? SIG_IGN : SIG_DFL);
    if (options.file_size_limit) {
      const rlimit limit{static_cast<rlim_t>(*options.file_size_limit),
                         static_cast<rlim_t>(*options.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        child_fail("setrlimit");
      }
    }
    if (options.group && ::setgid(*options.group) != 0) {
      child_fail("setgid");
    }
    if (options.user && ::setuid(*options.user) != 0) {
      child_fail("setuid");
    }
    ::execv(argv[0], argv.data());
    child_fail("execv");
  }
  ::close(in[0]);
  for (const int child_end : {out.child, err.child}) {
    if (child_end >= 0) {
      ::close(child_end);
    }
  }

  // A run that hangs is killed, so that the test fails instead.
  std::atomic<bool> ended{false};
  std::thread watchdog([&] {
    const auto deadline = std::chrono::steady_clock::now() + options.time_limit;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(kPollInterval);
    }
    if (!ended) {
      ::kill(pid, SIGKILL);
    }
  });

  RunResult result;
  std::thread reader([&] { drain(out.parent, err.parent, result); });
  if (options.signal_at_prompt != 0) {
    const auto deadline = std::chrono::steady_clock::now() + kPromptTimeout;
    while (!blocked_on_stdin(pid) &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(kPollInterval);
    }
    ::kill(pid, options.signal_at_prompt);
  }
  write_all(in[1], options.input);
  ::close(in[1]);
  if (options.while_running) {
    options.while_running(pid);
  }
  reader.join();
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  ended = true;
  watchdog.join();
  result.status = describe(wait_status);
  return result;
}

RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const std::string &input) {
  RunOptions options;
  options.input = input;
  return run_cdmg2csv(directory, options);
}

void run_unprivileged(RunOptions &options,
                      const std::filesystem::path &program_directory) {
  constexpr uid_t kNobody = 65534;
  if (::geteuid() != 0) {
    return;
  }
  options.group = kNobody;
  options.user = kNobody;
  options.executable = program_directory / "cdmg2csv";
  std::filesystem::copy_file(CDMG2CSV_EXECUTABLE, options.executable);
}

bool privileges_not_dropped(const RunResult &result) {
  return result.err.rfind("test harness: set", 0) == 0;
}
