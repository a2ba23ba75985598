// Runs the built cdmg2csv in a working directory and captures everything it
// shows: standard output, standard error and how it ended.
#ifndef CDMG2CSV_TESTS_PROGRAM_RUN_HPP
#define CDMG2CSV_TESTS_PROGRAM_RUN_HPP

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct RunOptions {
  // The program to run: the one just built, unless a test runs a copy.
  std::filesystem::path executable = CDMG2CSV_EXECUTABLE;
  // Bytes on standard input; the stream ends after them.
  std::string input;
  std::vector<std::string> arguments;
  // A file-size limit in bytes for the run, with SIGXFSZ ignored so that a
  // refused write fails instead of killing the process.
  std::optional<long> file_size_limit;
  // Start the run with SIGINT ignored.
  bool interrupt_ignored = false;
  // Send this signal once the run waits for the output name, then give the
  // input.
  int signal_at_prompt = 0;
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

// A run whose standard input holds `input`.
RunResult run_cdmg2csv(const std::filesystem::path &directory,
                       const std::string &input);

#endif
