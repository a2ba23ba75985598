// The output name typed at the console and the table file it names.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string kDtEcho = "0.00499999989";
const std::vector<std::string> kComponentFiles = {kFirstFile, kSecondFile,
                                                  kThirdFile};

// Three equal components of `nt` samples 1, 2, 3, ... at dt 0.005.
Component ramp(int nt) {
  std::vector<double> samples;
  for (int k = 1; k <= nt; ++k) {
    samples.push_back(k);
  }
  return component(nt, "0.005", samples);
}

std::string ramp_table(int rows) {
  std::string table;
  for (int k = 1; k <= rows; ++k) {
    table +=
        row(static_cast<float>((k - 1) * static_cast<double>(0.005F)), k, k, k);
  }
  return table;
}

std::string writing(const std::string &file) {
  return "apparent state: unit 11 named " + file +
         "\nlately writing sequential formatted external IO\n";
}

struct NameCase {
  const char *name;
  std::string input;
  std::string file;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const NameCase &c, std::ostream *os) { *os << c.name; }
};

class OutputNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, NamesTheTable) {
  const ScratchDirectory directory;
  const Component c = ramp(3);
  put_equal_components(directory, c);
  const RunResult result = run_cdmg2csv(directory.path(), GetParam().input);
  EXPECT_EQ(result.out, transcript(c, kDtEcho, 3));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  std::vector<std::string> expected_names = kComponentFiles;
  expected_names.push_back(GetParam().file);
  std::sort(expected_names.begin(), expected_names.end());
  EXPECT_EQ(directory.names(), expected_names);
  EXPECT_EQ(directory.read(GetParam().file), ramp_table(3));
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputNameTest,
    testing::Values(
        NameCase{"plain", "out.csv\n", "out.csv"},
        NameCase{"crlf_line_end", "out.csv\r\n", "out.csv"},
        NameCase{"leading_blanks_kept", "  out.csv  \n", "  out.csv"},
        NameCase{"long_line_cut_at_80", std::string(80, 'n') + "-cut.csv\n",
                 std::string(80, 'n')},
        NameCase{"80_characters_without_line_end", std::string(80, 'm'),
                 std::string(80, 'm')}),
    [](const testing::TestParamInfo<NameCase> &test) {
      return test.param.name;
    });

struct RefusedNameCase {
  const char *name;
  std::string input;
  std::string report;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const RefusedNameCase &c, std::ostream *os) {
    *os << c.name;
  }
};

class RefusedNameTest : public testing::TestWithParam<RefusedNameCase> {};

TEST_P(RefusedNameTest, EndsWithoutATable) {
  const ScratchDirectory directory;
  const Component c = ramp(3);
  put_equal_components(directory, c);
  const RunResult result = run_cdmg2csv(directory.path(), GetParam().input);
  EXPECT_EQ(result.out, transcript(c, kDtEcho, 3));
  EXPECT_EQ(result.err, GetParam().report);
  EXPECT_EQ(result.status, kAborted);
  EXPECT_EQ(directory.names(), kComponentFiles);
}

const std::string kConsoleEndOfFile =
    "fmt: end of file\n"
    "apparent state: unit 5 (unnamed)\n"
    "last format: (a80)\n"
    "lately reading sequential formatted external IO\n";

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedNameTest,
    testing::Values(
        RefusedNameCase{"blank_name", "   \n",
                        "open: null file name\n"
                        "apparent state: unit 11 named \n"
                        "lately reading sequential formatted external IO\n"},
        RefusedNameCase{"missing_directory", "no-such-dir/out.csv\n",
                        "open: No such file or directory\n"
                        "apparent state: unit 11 named no-such-dir/out.csv\n"
                        "lately reading sequential formatted external IO\n"},
        RefusedNameCase{"empty_input", "", kConsoleEndOfFile},
        RefusedNameCase{"short_name_without_line_end", "out.csv",
                        kConsoleEndOfFile}),
    [](const testing::TestParamInfo<RefusedNameCase> &test) {
      return test.param.name;
    });

// Whatever the file held before, it ends up holding exactly this run's rows.
class ExistingOutputTest : public testing::TestWithParam<int> {};

TEST_P(ExistingOutputTest, HoldsOnlyThisRunsRows) {
  const int nt = GetParam();
  const ScratchDirectory directory;
  const Component c = ramp(nt);
  put_equal_components(directory, c);
  directory.put("out.csv", ramp_table(40));
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, transcript(c, kDtEcho, nt));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), ramp_table(std::max(nt, 0)));
}

INSTANTIATE_TEST_SUITE_P(Counts, ExistingOutputTest, testing::Values(9, 0, -3),
                         [](const testing::TestParamInfo<int> &test) {
                           return test.param < 0
                                      ? "minus_" + std::to_string(-test.param)
                                      : "nt_" + std::to_string(test.param);
                         });

TEST(TableWriteTest, ReadOnlyExistingOutputIsKept) {
  const ScratchDirectory directory;
  const Component c = ramp(3);
  put_equal_components(directory, c);
  directory.put("out.csv", "earlier table\n");
  std::filesystem::permissions(directory.path() / "out.csv",
                               std::filesystem::perms::owner_read |
                                   std::filesystem::perms::group_read |
                                   std::filesystem::perms::others_read);
  RunOptions options;
  options.input = "out.csv\n";
  // Root writes to any file, so the run goes on as an unprivileged user,
  // from a copy of the program that user can reach.
  const ScratchDirectory program;
  run_unprivileged(options, program.path());
  const RunResult result = run_cdmg2csv(directory.path(), options);
  if (privileges_not_dropped(result)) {
    GTEST_SKIP() << "cannot drop privileges here: " << result.err;
  }
  EXPECT_EQ(result.out, transcript(c, kDtEcho, 3));
  EXPECT_EQ(result.err, "write start: can't write file\n"
                        "apparent state: unit 11 named out.csv\n"
                        "last format: (a7,3(',',a10))\n"
                        "lately writing sequential formatted external IO\n");
  EXPECT_EQ(result.status, kAborted);
  EXPECT_EQ(directory.read("out.csv"), "earlier table\n");
}

TEST(TableWriteTest, RefusedWritesToAFullDeviceAreReported) {
  const ScratchDirectory directory;
  const Component c = ramp(200);
  put_equal_components(directory, c);
  const RunResult result = run_cdmg2csv(directory.path(), "/dev/full\n");
  EXPECT_EQ(result.out, transcript(c, kDtEcho, 200));
  EXPECT_EQ(result.err,
            "write: No space left on device\n" + writing("/dev/full"));
  EXPECT_EQ(result.status, kAborted);
}

TEST(TableWriteTest, RowsBeforeAFileSizeLimitStay) {
  // Above the size of a component file, which the run copies.
  constexpr int kRowsThatFit = 2000;
  constexpr long kRowBytes = 41;
  const ScratchDirectory directory;
  const Component c = ramp(4000);
  put_equal_components(directory, c);
  directory.put("out.csv", std::string(10000, 'x'));
  RunOptions options;
  options.input = "out.csv\n";
  options.file_size_limit = kRowsThatFit * kRowBytes;
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.out, transcript(c, kDtEcho, 4000));
  EXPECT_EQ(result.err, "write: File too large\n" + writing("out.csv"));
  EXPECT_EQ(result.status, kAborted);
  EXPECT_EQ(directory.read("out.csv"), ramp_table(kRowsThatFit));
}

TEST(TableWriteTest, NonFiniteValuesShowInTheirFields) {
  const ScratchDirectory directory;
  Component c = ramp(3);
  c.interval = "1e39 overflows single precision";
  c.data[0] = "1e39 -1e39 2.5";
  put_equal_components(directory, c);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, transcript(c, "INF", 3));
  EXPECT_EQ(result.status, "exit 0");
  // Row 1 is 0 times an infinite interval.
  EXPECT_EQ(directory.read("out.csv"),
            "    nan,       inf,       inf,       inf\n"
            "    inf,      -inf,      -inf,      -inf\n"
            "    inf,     2.500,     2.500,     2.500\n");
}

} // namespace
