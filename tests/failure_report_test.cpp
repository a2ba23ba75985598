// Runs that fail: the console text shown up to the failure, the report on
// standard error, the status, and no table.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kDtEcho = "0.00499999989";

// The report lines after the cause when a component file fails to read.
std::string reading(const std::string &file, const std::string &format) {
  return "apparent state: unit 11 named " + file + "\nlast format: " + format +
         "\nlately reading sequential formatted external IO\n";
}

std::string first_lines(const std::string &text, int count) {
  std::size_t end = 0;
  for (int line = 0; line < count; ++line) {
    end = text.find('\n', end) + 1;
  }
  return text.substr(0, end);
}

struct FailureCase {
  const char *name;
  // Makes the third component fail; the first two read normally.
  std::function<void(Component &third)> break_third;
  // How many of the third component's three echo lines appear.
  int third_echo_lines;
  std::string report;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const FailureCase &c, std::ostream *os) { *os << c.name; }
};

class ComponentFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ComponentFailureTest, EndsWithTheRunTimeReport) {
  const FailureCase &c = GetParam();
  const ScratchDirectory directory;
  const std::vector<double> samples = {1, 2, 3, 4, 5, 6, 7, 8};
  const Component good = component(8, "0.005", samples);
  Component third = good;
  c.break_third(third);
  put_accelerogram(directory, good, good, third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out,
            kOpening + echo(good, kDtEcho, 8) + echo(good, kDtEcho, 8) +
                first_lines(echo(third, kDtEcho, 8), c.third_echo_lines));
  EXPECT_EQ(result.err, c.report);
  EXPECT_EQ(result.status, kAborted);
  EXPECT_FALSE(directory.has("out.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ComponentFailureTest,
    testing::Values(
        FailureCase{"end_of_file_in_data_block",
                    [](Component &c) { c.data = {"1 2 3"}; }, 3,
                    "list in: end of file\n" + reading(kThirdFile, "list io")},
        FailureCase{"skipped_records_meet_the_end_then_read_start",
                    [](Component &c) { c.records_kept = 10; }, 1,
                    "read start: end of file\n" +
                        reading(kThirdFile, "list io")},
        FailureCase{"text_record_meets_the_end",
                    [](Component &c) { c.records_kept = 45; }, 2,
                    "fmt: end of file\n" + reading(kThirdFile, "(a80)")},
        FailureCase{"invalid_integer", [](Component &c) { c.count = "8.5"; }, 1,
                    "invalid integer: read unexpected character\n" +
                        reading(kThirdFile, "list io")},
        FailureCase{"invalid_number",
                    [](Component &c) { c.data[0] = "1 2 3 abc 5 6 7 8"; }, 3,
                    "invalid number: incomprehensible list input\n" +
                        reading(kThirdFile, "list io")},
        FailureCase{"other_words_before_the_interval",
                    [](Component &c) { c.interval = "At intervals of 0.005"; },
                    1,
                    "invalid number: incomprehensible list input\n" +
                        reading(kThirdFile, "list io")},
        FailureCase{"exponent_field",
                    [](Component &c) { c.data[0] = "1 2 3 1.0E+ 5 6 7 8"; }, 3,
                    "exponent field: incomprehensible list input\n" +
                        reading(kThirdFile, "list io")},
        FailureCase{"bad_repetition_count",
                    [](Component &c) { c.data[0] = "1 2 3 0*5 6 7 8"; }, 3,
                    "bad repetition count: incomprehensible list input\n" +
                        reading(kThirdFile, "list io")}),
    [](const testing::TestParamInfo<FailureCase> &test) {
      return test.param.name;
    });

TEST(FailureReportTest, MissingSecondFileAfterTheFirstEcho) {
  const ScratchDirectory directory;
  const Component good = component(8, "0.005", {1, 2, 3, 4, 5, 6, 7, 8});
  directory.put(kFirstFile, good.text());
  directory.put(kThirdFile, good.text());
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + echo(good, kDtEcho, 8));
  EXPECT_EQ(result.err, "open: No such file or directory\n" +
                            reading(kSecondFile, "list io"));
  EXPECT_EQ(result.status, kAborted);
  EXPECT_FALSE(directory.has("out.csv"));
}

} // namespace
