// Signals while the run waits for the output name.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace {

struct SignalCase {
  const char *name;
  int signal;
  std::string report;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const SignalCase &c, std::ostream *os) { *os << c.name; }
};

class SignalTest : public testing::TestWithParam<SignalCase> {};

TEST_P(SignalTest, EndsTheRunWithStatusOne) {
  const ScratchDirectory directory;
  const Component c = component(2, "0.005", {1, 2});
  put_equal_components(directory, c);
  RunOptions options;
  options.input = "out.csv\n";
  options.signal_at_prompt = GetParam().signal;
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.out, transcript(c, "0.00499999989", 2));
  EXPECT_EQ(result.err, GetParam().report);
  EXPECT_EQ(result.status, "exit 1");
  EXPECT_FALSE(directory.has("out.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SignalTest,
    testing::Values(SignalCase{"interrupt", SIGINT, "Interrupt\n"},
                    SignalCase{"termination", SIGTERM, "Killed\n"},
                    SignalCase{"hangup", SIGHUP, "Hangup\n"}),
    [](const testing::TestParamInfo<SignalCase> &test) {
      return test.param.name;
    });

TEST(IgnoredInterruptTest, StaysIgnored) {
  const ScratchDirectory directory;
  const Component c = component(2, "0.005", {1, 2});
  put_equal_components(directory, c);
  RunOptions options;
  options.input = "out.csv\n";
  options.interrupt_ignored = true;
  options.signal_at_prompt = SIGINT;
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"),
            "  0.000,     1.000,     1.000,     1.000\n"
            "  0.005,     2.000,     2.000,     2.000\n");
}

} // namespace
