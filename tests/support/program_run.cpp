#include "program_run.hpp"

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

// Reads both pipes until both are closed.
void drain(int out, int err, RunResult &result) {
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  std::string *targets[2] = {&result.out, &result.err};
  int open = 2;
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

} // namespace

RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const RunOptions &options) {
  // A run that stops reading its input must not end the test process.
  std::signal(SIGPIPE, SIG_IGN);

  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
      ::pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
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
    if (::dup2(in[0], STDIN_FILENO) < 0 || ::dup2(out[1], STDOUT_FILENO) < 0 ||
        ::dup2(err[1], STDERR_FILENO) < 0) {
      child_fail("dup2");
    }
    if (::chdir(directory.c_str()) != 0) {
      child_fail("chdir");
    }
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGINT, options.interrupt_ignored ? SIG_IGN : SIG_DFL);
    if (options.file_size_limit) {
      std::signal(SIGXFSZ, SIG_IGN);
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
  ::close(out[1]);
  ::close(err[1]);

  RunResult result;
  std::thread reader([&] { drain(out[0], err[0], result); });
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
  reader.join();
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  result.status = describe(wait_status);
  return result;
}

RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const std::string &input) {
  RunOptions options;
  options.input = input;
  return run_cdmg2csv(directory, options);
}
