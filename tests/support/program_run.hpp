// Runs the built cdmg2csv in a working directory and captures everything it
// shows: standard output, standard error and how it ended.
#ifndef CDMG2CSV_TESTS_PROGRAM_RUN_HPP
#define CDMG2CSV_TESTS_PROGRAM_RUN_HPP

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// Where the run's standard output or error goes.
enum class Stream {
  kCaptured,   // a pipe, read into RunResult
  kClosed,     // closed when the program starts
  kAppend,     // a file opened for appending, as the shell's >>
  kReaderGone, // a pipe whose reader has already gone
  kTerminal,   // a pseudo-terminal in raw mode, read into RunResult
};

struct RunOptions {
  // The program to run: the one just built, unless a test runs a copy.
  std::filesystem::path executable = CDMG2CSV_EXECUTABLE;
  // Bytes on standard input; the stream ends after them.
  std::string input;
  std::vector<std::string> arguments;
  // Standard output and error; a file for kAppend is named relative to the
  // working directory. Standard output and error may name the same file.
  Stream out = Stream::kCaptured;
  Stream err = Stream::kCaptured;
  std::string out_file;
  std::string err_file;
  // A file-size limit in bytes for the run. SIGXFSZ keeps its default
  // action: the program must ignore it itself.
  std::optional<long> file_size_limit;
  // Start the run with SIGINT ignored.
  bool interrupt_ignored = false;
  // Send this signal once the run waits for the output name, then give the
  // input.
  int signal_at_prompt = 0;
  // Called with the run's process id once the input has been given, while
  // the run goes on.
  std::function<void(pid_t)> while_running;
  // A run still going after this long is killed with SIGKILL.
  std::chrono::seconds time_limit{60};
  // Run under this user and group instead of the caller's.
  std::optional<uid_t> user;
  std::optional<gid_t> group;
};

struct RunResult {
  std::string out;
  std::string err;
  // "exit N" or "signal N".
  std::string status;
};

// The status text of a run that the run-time's fatal-error report ended.
inline const std::string kAborted = "signal 6";

RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const RunOptions &options);

// Root reads and writes any file. When the tests run as root, sets
// `options` to run as the unprivileged user nobody, from a copy of the
// program in `program_directory`, which that user can reach.
void run_unprivileged(RunOptions &options,
                      const std::filesystem::path &program_directory);

// Whether the harness could not drop privileges for `result`'s run; such a
// test is skipped.
bool privileges_not_dropped(const RunResult &result);

// A run whose standard input holds `input`.
RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const std::string &input);

#endif
