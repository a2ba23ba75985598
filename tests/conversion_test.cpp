// Complete runs: what the console shows and what the table holds.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::filesystem::path kSource = CDMG2CSV_SOURCE_DIR;
const std::string kDt = "0.0050";
const std::string kDtEcho = "0.00499999989";

// Sample k (from 1) of a component: distinct in every column.
double x_sample(int k) { return k; }
double y_sample(int k) { return -0.125 * k; }
double z_sample(int k) { return 0.25 + k; }

template <typename Sample> std::vector<double> series(int count, Sample s) {
  std::vector<double> values;
  for (int k = 1; k <= count; ++k) {
    values.push_back(s(k));
  }
  return values;
}

// The three components of an accelerogram with `nt` samples each.
struct Accelerogram {
  Component first, second, third;
};

Accelerogram accelerogram(int nt, const std::string &dt = kDt) {
  const int stored = std::max(nt, 0);
  return {component(nt, dt, series(stored, x_sample)),
          component(nt, dt, series(stored, y_sample)),
          component(nt, dt, series(stored, z_sample))};
}

// The table of `rows` rows at interval 0.005, with `x`, `y`, `z` samples
// and zero where a component has fewer than `rows` samples.
std::string expected_table(int rows, int x_count, int y_count, int z_count,
                           float dt = 0.005F) {
  std::string table;
  for (int k = 1; k <= rows; ++k) {
    const auto time = static_cast<double>(
        static_cast<float>((k - 1) * static_cast<double>(dt)));
    table +=
        row(time, k <= x_count ? x_sample(k) : 0.0,
            k <= y_count ? y_sample(k) : 0.0, k <= z_count ? z_sample(k) : 0.0);
  }
  return table;
}

void copy_example(const ScratchDirectory &directory) {
  for (const std::string &name : {kFirstFile, kSecondFile, kThirdFile}) {
    std::filesystem::copy_file(kSource / "examples" / name,
                               directory.path() / name);
  }
}

// The example converts to the known transcript and table, whatever
// arguments the program is given.
class ExampleTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ExampleTest, GivesTheKnownTranscriptAndTable) {
  const ScratchDirectory directory;
  copy_example(directory);
  RunOptions options;
  options.input = "example.csv\n";
  options.arguments = GetParam();
  const RunResult result = run_cdmg2csv(directory.path(), options);
  EXPECT_EQ(result.out,
            read_file(kSource / "tests/data/example/transcript.txt"));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("example.csv"),
            read_file(kSource / "tests/data/example/table.csv"));
  EXPECT_FALSE(directory.has("other.csv"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ExampleTest,
    testing::Values(std::vector<std::string>{},
                    std::vector<std::string>{"--help", "other.csv", "-"}),
    [](const testing::TestParamInfo<std::vector<std::string>> &test) {
      return test.param.empty() ? "no_arguments" : "arguments_ignored";
    });

// Every sample is read, whatever nt leaves for the last data record.
class SampleCountTest : public testing::TestWithParam<int> {};

TEST_P(SampleCountTest, EverySampleReachesTheTable) {
  const int nt = GetParam();
  const ScratchDirectory directory;
  const Accelerogram a = accelerogram(nt);
  put_accelerogram(directory, a.first, a.second, a.third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + echo(a.first, kDtEcho, nt) +
                            echo(a.second, kDtEcho, nt) +
                            echo(a.third, kDtEcho, nt) + kOutputPrompt);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  const int rows = std::max(nt, 0);
  EXPECT_EQ(directory.read("out.csv"), expected_table(rows, rows, rows, rows));
}

INSTANTIATE_TEST_SUITE_P(Counts, SampleCountTest,
                         testing::Values(800, 801, 9, 1, 2, 3, 4, 5, 6, 7, 8, 0,
                                         -3),
                         [](const testing::TestParamInfo<int> &test) {
                           return test.param < 0
                                      ? "minus_" + std::to_string(-test.param)
                                      : "nt_" + std::to_string(test.param);
                         });

TEST(ConversionTest, ThirdFileDecidesRowsAndTimes) {
  const ScratchDirectory directory;
  const Component first = component(12, "0.0100", series(12, x_sample));
  const Component second = component(10, "0.0100", series(10, y_sample));
  const Component third = component(6, "0.0200", series(6, z_sample));
  put_accelerogram(directory, first, second, third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + echo(first, "0.00999999978", 12) +
                            echo(second, "0.00999999978", 10) +
                            echo(third, "0.0199999996", 6) + kOutputPrompt);
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), expected_table(6, 6, 6, 6, 0.02F));
}

TEST(ConversionTest, RowsPastAShorterComponentShowZero) {
  const ScratchDirectory directory;
  const Component first = component(4, kDt, series(4, x_sample));
  const Component second = component(5, kDt, series(5, y_sample));
  const Component third = component(7, kDt, series(7, z_sample));
  put_accelerogram(directory, first, second, third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), expected_table(7, 4, 5, 7));
}

// Headers that give no value leave nt and dt at zero for the first file.
TEST(ConversionTest, HeaderValuesAreZeroUntilAFileGivesThem) {
  const ScratchDirectory directory;
  Component first = component(0, kDt, {});
  first.count = ", no count given";
  first.interval = "/ no interval given";
  const Accelerogram a = accelerogram(3);
  put_accelerogram(directory, first, a.second, a.third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + echo(first, "0.", 0) +
                            echo(a.second, kDtEcho, 3) +
                            echo(a.third, kDtEcho, 3) + kOutputPrompt);
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), expected_table(3, 0, 3, 3));
}

// A long record at the capacity: samples that fit their fields, and an
// interval that keeps the last time within the time field.
TEST(ConversionTest, NtOfTheCapacityConverts) {
  constexpr int kCapacity = 1000000;
  constexpr float kDtLong = 0.0005F;
  auto wave = [](int k) { return (k % 2000) * 0.25 - 250.0; };
  const Component each = component(kCapacity, "0.0005", series(kCapacity, wave));
  const ScratchDirectory directory;
  put_equal_components(directory, each);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  std::string expected;
  for (int k = 1; k <= kCapacity; ++k) {
    const auto time = static_cast<double>(
        static_cast<float>((k - 1) * static_cast<double>(kDtLong)));
    expected += row(time, wave(k), wave(k), wave(k));
  }
  // Compared whole, but reported by the first difference: a diff of tables
  // this long would take minutes.
  const std::string table = directory.read("out.csv");
  const auto difference =
      std::mismatch(table.begin(), table.end(), expected.begin(),
                    expected.end());
  EXPECT_TRUE(table == expected)
      << "first difference at byte " << (difference.first - table.begin())
      << " of " << table.size() << " (expected " << expected.size() << ")";
}

TEST(ConversionTest, NtAboveTheCapacityStopsTheRunBeforeTheTable) {
  const ScratchDirectory directory;
  const Accelerogram a = accelerogram(8);
  const Component second = component(1000001, kDt, series(16, y_sample));
  put_accelerogram(directory, a.first, second, a.third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + echo(a.first, kDtEcho, 8) +
                            echoed(second.title) +
                            "  dt & nt=  0.00499999989 1000001\n");
  EXPECT_EQ(result.err, "cdmg2csv: RRS-S49W.txt: nt = 1000001 is more than "
                        "the 1000000 samples a series holds\n");
  EXPECT_EQ(result.status, "exit 2");
  EXPECT_FALSE(directory.has("out.csv"));
}

// Records that are empty, short or long, with LF and with CR-LF line ends.
Accelerogram uneven_records() {
  Accelerogram a = accelerogram(11);
  a.first.title = std::string(100, 'T') + " past column 80";
  a.first.caption = "short";
  // An empty record 16 moves nt to record 17, dt to 18 and the caption to
  // record 47.
  a.second.before_count = {""};
  a.second.title = "";
  a.second.caption = std::string(80, 'C');
  // Short data records: a group continues on the following record, and the
  // next read starts on the record after the one that ended the group.
  a.third.data = {"1.25 2.25 3.25", "4.25 5.25 6.25 7.25 8.25",
                  "9.25 10.25 11.25", "99 99"};
  return a;
}

TEST(ConversionTest, UnevenRecordsReadByTheirPositions) {
  const ScratchDirectory directory;
  const Accelerogram a = uneven_records();
  put_accelerogram(directory, a.first, a.second, a.third);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, kOpening + " " + std::string(80, 'T') + "\n" +
                            "  dt & nt=  0.00499999989 11\n" + " short" +
                            std::string(75, ' ') + "\n" + " " +
                            std::string(80, ' ') + "\n" +
                            "  dt & nt=  0.00499999989 11\n" + " " +
                            std::string(80, 'C') + "\n" +
                            echo(a.third, kDtEcho, 11) + kOutputPrompt);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), expected_table(11, 11, 11, 11));
}

TEST(ConversionTest, CrLfFilesReadLikeLfFiles) {
  const Accelerogram a = uneven_records();
  const ScratchDirectory lf;
  put_accelerogram(lf, a.first, a.second, a.third, "\n");
  const ScratchDirectory crlf;
  put_accelerogram(crlf, a.first, a.second, a.third, "\r\n");
  const RunResult lf_result = run_cdmg2csv(lf.path(), "out.csv\n");
  const RunResult crlf_result = run_cdmg2csv(crlf.path(), "out.csv\n");
  EXPECT_EQ(crlf_result.out, lf_result.out);
  EXPECT_EQ(crlf_result.err, "");
  EXPECT_EQ(crlf_result.status, "exit 0");
  EXPECT_EQ(crlf.read("out.csv"), lf.read("out.csv"));
  EXPECT_EQ(crlf.read("out.csv"), expected_table(11, 11, 11, 11));
}

// Files are searched for CR-LF line ends in pieces of 64 KiB; a line end cut
// between two pieces counts too.
TEST(ConversionTest, CrLfCutBetweenTwoReadPiecesIsALineEnd) {
  constexpr std::size_t kPiece = 64 * 1024;
  const ScratchDirectory directory;
  Accelerogram a = accelerogram(8);
  // A short data record, so that the read goes on past its line end.
  a.third.data = {"1.25 2.25 3.25", "4.25 5.25 6.25 7.25 8.25"};
  const std::string plain = a.third.text("\n");
  // Lengthen the title so that the carriage return after the short record,
  // the only one in the file, is the last byte of the first piece.
  const std::size_t record_end = plain.find("3.25\n") + 4;
  a.third.title += std::string(kPiece - 1 - record_end, 'T');
  std::string text = a.third.text("\n");
  text.insert(kPiece - 1, "\r");
  ASSERT_EQ(text.substr(kPiece - 3, 4), "25\r\n");
  put_accelerogram(directory, a.first, a.second, a.third);
  directory.put(kThirdFile, text);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv"), expected_table(8, 8, 8, 8));
}

TEST(ConversionTest, CarriageReturnInsideARecordIsAnOrdinaryCharacter) {
  const ScratchDirectory directory;
  Accelerogram a = accelerogram(2);
  a.first.title = "title\rwith a carriage return";
  put_accelerogram(directory, a.first, a.second, a.third, "\r\n");
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out.substr(kOpening.size(), 82),
            echoed("title\rwith a carriage return"));
  EXPECT_EQ(result.status, "exit 0");
}

// The synthetic example in the published Volume 2 layout: record 17 in
// words, touching header and sample values, a velocity and a displacement
// block and the end record after the samples. It converts to the table its
// generator worked out, with its own CR-LF line ends and with LF ones.
class PublishedLayoutTest : public testing::TestWithParam<bool> {};

TEST_P(PublishedLayoutTest, ConvertsToTheExpectedTable) {
  const bool crlf = GetParam();
  const std::filesystem::path example = kSource / "examples" / "v2";
  const ScratchDirectory directory;
  std::string transcript = kOpening;
  for (const std::string &name : {kFirstFile, kSecondFile, kThirdFile}) {
    std::string text = read_file(example / name);
    ASSERT_NE(text.find("\r\n"), std::string::npos);
    std::vector<std::string> records;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = text.find("\r\n", at);
      records.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    transcript += echoed(records[0]) + "  dt & nt=  0.00999999978 2005\n" +
                  echoed(records[45]);
    if (!crlf) {
      std::string lf;
      for (const std::string &record : records) {
        lf += record + "\n";
      }
      text = lf;
    }
    directory.put(name, text);
  }
  transcript += kOutputPrompt;
  const RunResult result = run_cdmg2csv(directory.path(), "table.csv\n");
  EXPECT_EQ(result.out, transcript);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("table.csv"),
            read_file(example / "expected-table.csv"));
}

INSTANTIATE_TEST_SUITE_P(LineEnds, PublishedLayoutTest,
                         testing::Values(true, false),
                         [](const testing::TestParamInfo<bool> &test) {
                           return test.param ? "crlf" : "lf";
                         });

} // namespace
