// A run never harms a file it was not asked to write, and never passes a
// lost or torn table as success: standard streams behind logs, closed or
// broken; output names that lead to a component; pipes; limits; signals
// while the table is written; control characters on a terminal.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kDtEcho = "0.00499999989";
const std::string kEarlier = "what the log held before\n";

// Three equal components of three samples.
Component three() { return component(3, "0.005", {1.5, -2.5, 3.25}); }

const std::string kTable = "  0.000,     1.500,     1.500,     1.500\n"
                           "  0.005,    -2.500,    -2.500,    -2.500\n"
                           "  0.010,     3.250,     3.250,     3.250\n";

// Waits until the process `pid` is blocked in the system call `number`, for
// at most ten seconds.
void wait_in_system_call(pid_t pid, long number) {
  for (int tries = 0; tries < 2000; ++tries) {
    std::ifstream call("/proc/" + std::to_string(pid) + "/syscall");
    long now = -1;
    if (call >> now && now == number) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Waits until the process `pid` has the file `path` open, for at most ten
// seconds.
void wait_until_open(pid_t pid, const fs::path &path) {
  const fs::path descriptors = "/proc/" + std::to_string(pid) + "/fd";
  for (int tries = 0; tries < 20000; ++tries) {
    std::error_code ignored;
    for (const auto &entry : fs::directory_iterator(descriptors, ignored)) {
      if (fs::read_symlink(entry.path(), ignored) == path) {
        return;
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
}

struct SafetyCase {
  const char *name;
  // Prepares the directory and the run; the components are in place.
  std::function<void(const ScratchDirectory &, RunOptions &)> set_up;
  std::string status;
  std::string err; // standard error, when it is captured
  // Checks what the files of the directory hold afterwards.
  std::function<void(const ScratchDirectory &, const RunResult &)> check;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const SafetyCase &c, std::ostream *os) { *os << c.name; }
};

class SafetyTest : public testing::TestWithParam<SafetyCase> {};

TEST_P(SafetyTest, HarmsNoFileAndReportsEveryLoss) {
  const SafetyCase &c = GetParam();
  const ScratchDirectory directory;
  put_equal_components(directory, three());
  RunOptions options;
  options.input = "out.csv\n";
  c.set_up(directory, options);
  std::vector<std::pair<std::string, std::string>> components;
  for (const std::string &name : {kFirstFile, kSecondFile, kThirdFile}) {
    if (fs::is_regular_file(directory.path() / name)) {
      components.emplace_back(name, directory.read(name));
    }
  }
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.err, c.err);
  for (const auto &[name, content] : components) {
    EXPECT_EQ(directory.read(name), content) << name << " was changed";
  }
  c.check(directory, result);
}

void table_is_whole(const ScratchDirectory &d, const RunResult &) {
  EXPECT_EQ(d.read("out.csv"), kTable);
}

void no_table(const ScratchDirectory &d, const RunResult &) {
  EXPECT_FALSE(d.has("out.csv"));
}

void put_log(const ScratchDirectory &d, const std::string &name) {
  d.put(name, kEarlier);
}

// Breaks the third component with a value that is not a number.
void break_third(const ScratchDirectory &d) {
  Component broken = three();
  broken.data[0] = "1.5 abc";
  d.put(kThirdFile, broken.text());
}

const std::string kThirdFails =
    "invalid number: incomprehensible list input\n"
    "apparent state: unit 11 named RRS-UP.txt\n"
    "last format: list io\n"
    "lately reading sequential formatted external IO\n";

std::string full_transcript() { return transcript(three(), kDtEcho, 3); }

std::string refused_output(const std::string &name,
                           const std::string &component) {
  return "cdmg2csv: " + name + ": is the component file " + component +
         "; the table is not written over it\n";
}

// A first component whose record 16 holds `count`.
std::function<void(const ScratchDirectory &, RunOptions &)>
count_of(const std::string &count) {
  return [count](const ScratchDirectory &d, RunOptions &) {
    Component c = three();
    c.count = count;
    d.put(kFirstFile, c.text());
  };
}

std::string count_refused(const std::string &shown) {
  return "cdmg2csv: RRS-N41W.txt: nt = " + shown +
         " is more than the 1000000 samples a series holds\n";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SafetyTest,
    testing::Values(
        SafetyCase{"appended_logs_keep_what_they_held",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     put_log(d, "out.log");
                     put_log(d, "err.log");
                     o.out = o.err = Stream::kAppend;
                     o.out_file = "out.log";
                     o.err_file = "err.log";
                   },
                   "exit 0", "",
                   [](const ScratchDirectory &d, const RunResult &r) {
                     table_is_whole(d, r);
                     EXPECT_EQ(d.read("out.log"), kEarlier + full_transcript());
                     EXPECT_EQ(d.read("err.log"), kEarlier);
                   }},
        SafetyCase{"one_log_for_both_streams_keeps_what_it_held",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     put_log(d, "run.log");
                     o.out = o.err = Stream::kAppend;
                     o.out_file = o.err_file = "run.log";
                   },
                   "exit 0", "",
                   [](const ScratchDirectory &d, const RunResult &r) {
                     table_is_whole(d, r);
                     EXPECT_EQ(d.read("run.log"), kEarlier + full_transcript());
                   }},
        SafetyCase{"failure_report_follows_what_the_log_held",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     put_log(d, "err.log");
                     break_third(d);
                     o.err = Stream::kAppend;
                     o.err_file = "err.log";
                   },
                   kAborted, "",
                   [](const ScratchDirectory &d, const RunResult &r) {
                     no_table(d, r);
                     EXPECT_EQ(d.read("err.log"), kEarlier + kThirdFails);
                   }},
        SafetyCase{"closed_standard_output_takes_no_file",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.out = Stream::kClosed;
                   },
                   "exit 0", "", table_is_whole},
        SafetyCase{"closed_standard_error_takes_no_file",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     break_third(d);
                     o.err = Stream::kClosed;
                   },
                   kAborted, "",
                   [](const ScratchDirectory &d, const RunResult &r) {
                     no_table(d, r);
                     EXPECT_EQ(d.read(kThirdFile).find("abc") !=
                                   std::string::npos,
                               true);
                   }},
        SafetyCase{"output_named_as_a_component",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.input = "RRS-UP.txt\n";
                   },
                   "exit 2", refused_output("RRS-UP.txt", kThirdFile),
                   no_table},
        SafetyCase{"output_a_symbolic_link_to_a_component",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     fs::create_symlink(kFirstFile, d.path() / "link.csv");
                     o.input = "link.csv\n";
                   },
                   "exit 2", refused_output("link.csv", kFirstFile), no_table},
        SafetyCase{"output_a_hard_link_to_a_component",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     fs::create_hard_link(d.path() / kSecondFile,
                                          d.path() / "hard.csv");
                     o.input = "hard.csv\n";
                   },
                   "exit 2", refused_output("hard.csv", kSecondFile),
                   no_table},
        SafetyCase{"output_name_holding_a_nul",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.input = std::string("out\0.csv\n", 9);
                   },
                   "exit 2",
                   "cdmg2csv: the output name holds a NUL character\n",
                   [](const ScratchDirectory &d, const RunResult &) {
                     EXPECT_EQ(d.names().size(), 3U);
                   }},
        SafetyCase{"console_pipe_without_reader",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.out = Stream::kReaderGone;
                   },
                   "exit 2", "cdmg2csv: standard output: Broken pipe\n",
                   table_is_whole},
        SafetyCase{"console_on_a_full_device",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.out = Stream::kAppend;
                     o.out_file = "/dev/full";
                   },
                   "exit 2",
                   "cdmg2csv: standard output: No space left on device\n",
                   table_is_whole},
        SafetyCase{"table_to_dev_null",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.input = "/dev/null\n";
                   },
                   "exit 0", "",
                   [](const ScratchDirectory &d, const RunResult &) {
                     EXPECT_EQ(d.names().size(), 3U);
                   }},
        SafetyCase{"count_just_beyond_32_bits", count_of("2147483648"),
                   "exit 2", count_refused("2147483648"), no_table},
        SafetyCase{"count_far_beyond_32_bits",
                   count_of("99999999999999999999"), "exit 2",
                   count_refused("100000000000000000000"), no_table},
        SafetyCase{"component_copy_over_the_file_size_limit",
                   [](const ScratchDirectory &, RunOptions &o) {
                     o.file_size_limit = 100;
                   },
                   "exit 2",
                   "cdmg2csv: RRS-N41W.txt: cannot make a working copy: File "
                   "too large\n",
                   no_table},
        SafetyCase{"component_a_named_pipe_with_a_writer",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     const fs::path pipe = d.path() / kThirdFile;
                     fs::remove(pipe);
                     ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
                     o.while_running = [pipe](pid_t) {
                       std::ofstream writer(pipe);
                       writer << three().text();
                     };
                   },
                   "exit 0", "", table_is_whole},
        SafetyCase{"component_a_named_pipe_that_no_writer_opens",
                   [](const ScratchDirectory &d, RunOptions &o) {
                     const fs::path pipe = d.path() / kThirdFile;
                     fs::remove(pipe);
                     ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
                     o.while_running = [](pid_t pid) {
                       wait_in_system_call(pid, SYS_openat);
                       ::kill(pid, SIGTERM);
                     };
                   },
                   "exit 1", "Killed\n", no_table}),
    [](const testing::TestParamInfo<SafetyCase> &test) {
      return test.param.name;
    });

// A component the run may write but not read is refused, not opened for
// writing alone: the run-time would have cut it to nothing.
TEST(UnreadableComponentTest, IsRefusedAndKept) {
  const ScratchDirectory directory;
  put_equal_components(directory, three());
  const std::string content = directory.read(kThirdFile);
  fs::permissions(directory.path() / kThirdFile,
                  fs::perms::owner_write | fs::perms::group_write |
                      fs::perms::others_write);
  // Root reads any file, so the run goes on as an unprivileged user, from a
  // copy of the program that user can reach.
  RunOptions options;
  options.input = "out.csv\n";
  const ScratchDirectory program;
  run_unprivileged(options, program.path());
  const RunResult result = run_cdmg2csv(directory.path(), options);
  if (privileges_not_dropped(result)) {
    GTEST_SKIP() << "cannot drop privileges here: " << result.err;
  }
  EXPECT_EQ(result.status, "exit 2");
  EXPECT_EQ(result.err, "cdmg2csv: RRS-UP.txt: cannot open for reading: "
                        "Permission denied\n");
  fs::permissions(directory.path() / kThirdFile, fs::perms::owner_read,
                  fs::perm_options::add);
  EXPECT_EQ(directory.read(kThirdFile), content);
  EXPECT_FALSE(directory.has("out.csv"));
}

// A component whose samples 1 to nt make rows long enough to be caught while
// they are written.
Component long_record(int nt) {
  std::vector<double> samples;
  for (int k = 1; k <= nt; ++k) {
    samples.push_back((k % 4000) * 0.25 - 500.0);
  }
  return component(nt, "0.001", samples);
}

// An interrupt or termination request while the table is written ends the
// run with its report and status 1, and the table holds a prefix of the
// whole table: never a row written twice, never a stale byte after it.
TEST(InterruptedTableTest, LeavesAPrefixOfTheTable) {
  constexpr int kRows = 100000;
  // Signals at random points of the writing; a flush repeated from the
  // signal report once tore about one table in twenty.
  constexpr int kRuns = 60;
  const ScratchDirectory directory;
  put_equal_components(directory, long_record(kRows));
  ASSERT_EQ(run_cdmg2csv(directory.path(), "whole.csv\n").status, "exit 0");
  const std::string table = directory.read("whole.csv");
  // An earlier, longer file, so that stale bytes would show.
  const std::string earlier(table.size() + 4096, 'x');
  std::mt19937 random(20261211);
  int cut_short = 0;
  for (int run = 0; run < kRuns; ++run) {
    directory.put("out.csv", earlier);
    const int signal = run % 2 == 0 ? SIGINT : SIGTERM;
    const auto delay = std::chrono::microseconds(random() % 80000);
    RunOptions options;
    options.input = "out.csv\n";
    options.while_running = [&](pid_t pid) {
      wait_until_open(pid, directory.path() / "out.csv");
      std::this_thread::sleep_for(delay);
      ::kill(pid, signal);
    };
    const RunResult result = run_cdmg2csv(directory.path(), options);
    const std::string left = directory.read("out.csv");
    if (result.status == "exit 0") {
      EXPECT_EQ(left, table);
      continue; // the signal came after the run
    }
    ++cut_short;
    EXPECT_EQ(result.status, "exit 1");
    EXPECT_EQ(result.err, signal == SIGINT ? "Interrupt\n" : "Killed\n");
    EXPECT_TRUE(left.size() <= table.size() &&
                table.compare(0, left.size(), left) == 0)
        << "run " << run << ": the " << left.size()
        << " bytes left are no prefix of the table";
  }
  EXPECT_GT(cut_short, kRuns / 4) << "too few runs caught writing the table";
  std::printf("%d of %d runs caught writing the table\n", cut_short, kRuns);
}

// A table on a named pipe that nobody reads: the run blocks writing it, and
// an interrupt still ends it at once.
TEST(InterruptedTableTest, EndsPromptlyOnAPipeWithoutReader) {
  const ScratchDirectory directory;
  put_equal_components(directory, long_record(20000));
  ASSERT_EQ(::mkfifo((directory.path() / "table.fifo").c_str(), 0600), 0);
  RunOptions options;
  options.input = "table.fifo\n";
  options.time_limit = std::chrono::seconds(20);
  options.while_running = [](pid_t pid) {
    wait_in_system_call(pid, SYS_write);
    ::kill(pid, SIGINT);
  };
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.status, "exit 1");
  EXPECT_EQ(result.err, "Interrupt\n");
}

// Title and caption bytes reach a file or pipe as they stand; on a terminal
// a control character shows as '?'.
TEST(TerminalTest, ControlCharactersShowAsQuestionMarks) {
  Component c = three();
  c.title = "title \x1b]0;owned\x07 with \x1b[2J escapes";
  c.caption = "caption\tand \x7f";
  const ScratchDirectory directory;
  put_equal_components(directory, c);
  RunOptions options;
  options.input = "out.csv\n";
  const RunResult piped = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(piped.out, transcript(c, kDtEcho, 3));
  options.out = Stream::kTerminal;
  const RunResult shown = run_cdmg2csv(directory.path(), options);
  Component seen = c;
  seen.title = "title ?]0;owned? with ?[2J escapes";
  seen.caption = "caption?and ?";
  EXPECT_EQ(shown.out, transcript(seen, kDtEcho, 3));
  EXPECT_EQ(shown.status, "exit 0");
}

} // namespace
