// The list-input rules by which header values and samples are read.
#include "accelerogram.hpp"
#include "program_run.hpp"
#include "scratch_directory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ListCase {
  const char *name;
  std::vector<std::string> data; // the data records
  std::vector<double> expected;  // the samples read; nt is their count

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const ListCase &c, std::ostream *os) { *os << c.name; }
};

class ListInputTest : public testing::TestWithParam<ListCase> {};

TEST_P(ListInputTest, ReadsTheSamples) {
  const ListCase &c = GetParam();
  const auto nt = static_cast<int>(c.expected.size());
  const ScratchDirectory directory;
  Component file = component(nt, "0.005", {});
  file.data = c.data;
  put_equal_components(directory, file);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  std::string table;
  for (int k = 1; k <= nt; ++k) {
    const double sample = c.expected[static_cast<std::size_t>(k - 1)];
    table += row(static_cast<float>((k - 1) * static_cast<double>(0.005F)),
                 sample, sample, sample);
  }
  EXPECT_EQ(directory.read("out.csv"), table);
}

// A sample the read leaves as it was keeps the series' starting zero.
constexpr double kUnchanged = 0.0;

INSTANTIATE_TEST_SUITE_P(
    Rules, ListInputTest,
    testing::Values(ListCase{"commas_separate_values",
                             {"1,2 ,3 , 4,5,6,7,8"},
                             {1, 2, 3, 4, 5, 6, 7, 8}},
                    ListCase{"comma_after_comma_is_an_empty_item",
                             {"1,,3,4,5,6,7,8,9"},
                             {1, kUnchanged, 3, 4, 5, 6, 7, 8}},
                    ListCase{"comma_at_start_is_an_empty_item",
                             {",2 3 4 5 6 7 8 9"},
                             {kUnchanged, 2, 3, 4, 5, 6, 7, 8}},
                    ListCase{"comma_opening_the_next_record_is_an_empty_item",
                             {"1 2 3", ",4 5 6 7 8"},
                             {1, 2, 3, kUnchanged, 4, 5, 6, 7}},
                    ListCase{"slash_ends_the_read",
                             {"1 2 3 / 4 5 6 7 8", "9 10"},
                             {1, 2, 3, kUnchanged, kUnchanged, kUnchanged,
                              kUnchanged, kUnchanged, 9, 10}},
                    ListCase{"repeat_count_copies_a_value",
                             {"3*2.5 4 5 6 7 8"},
                             {2.5, 2.5, 2.5, 4, 5, 6, 7, 8}},
                    ListCase{"repeat_count_of_empty_items",
                             {"2* 3 4 5 6 7 8"},
                             {kUnchanged, kUnchanged, 3, 4, 5, 6, 7, 8}},
                    ListCase{"sign_after_digits_is_an_exponent",
                             {"1.5-3 2.5+2 3 4 5 6 7 8"},
                             {0.0015F, 250, 3, 4, 5, 6, 7, 8}},
                    ListCase{"d_exponents",
                             {"1D2 2.5d-1 3E1 4e0 5 6 7 8"},
                             {100, 0.25, 30, 4, 5, 6, 7, 8}},
                    ListCase{"tabs_separate_values",
                             {"1\t2\t3\t4\t 5\t6\t7\t8"},
                             {1, 2, 3, 4, 5, 6, 7, 8}},
                    ListCase{"short_records_continue_on_the_next",
                             {"1 2 3", "", "4 5", "6 7 8 9", "10 11"},
                             {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}},
                    ListCase{"values_past_eight_are_dropped",
                             {"1 2 3 4 5 6 7 8 9 10", "11 12"},
                             {1, 2, 3, 4, 5, 6, 7, 8, 11, 12}},
                    ListCase{"text_after_the_last_value_is_dropped",
                             {"1 2 3 4 5 6 7 8 end of record"},
                             {1, 2, 3, 4, 5, 6, 7, 8}}),
    [](const testing::TestParamInfo<ListCase> &test) {
      return test.param.name;
    });

// Fixed fields of ten columns run a negative value that fills its field into
// the value before it; the sign still starts a new value.
INSTANTIATE_TEST_SUITE_P(
    TouchingValues, ListInputTest,
    testing::Values(
        ListCase{"sign_after_a_value_starts_the_next",
                 {"0.001-0.5 2 3 4 5 6 7 8"},
                 {0.001F, -0.5, 2, 3, 4, 5, 6, 7}},
        ListCase{"full_fields_of_8f10_5",
                 {"  12.50000-55.60712-177.19197-267.13477-388.16602"
                  "   1.00000   2.00000   3.00000"},
                 {12.5, -55.60712F, -177.19197F, -267.13477F, -388.16602F, 1,
                  2, 3}},
        ListCase{"full_fields_of_8f10_7",
                 {"-0.0147353-0.0147984-0.0148555-0.0149066-0.0149517"
                  "-0.0149908-0.0150239-0.0150510"},
                 {-0.0147353F, -0.0147984F, -0.0148555F, -0.0149066F,
                  -0.0149517F, -0.0149908F, -0.0150239F, -0.0150510F}},
        ListCase{"point_then_digit", {"1.5-.3 3 4 5 6 7 8 9"},
                 {1.5, -0.3F, 3, 4, 5, 6, 7, 8}},
        ListCase{"plus_sign_too", {"1.5+2.25 3 4 5 6 7 8"},
                 {1.5, 2.25, 3, 4, 5, 6, 7, 8}},
        ListCase{"touching_at_record_start_and_end",
                 {"-1.25-2.5 3 4 5 6 7-8.75", "-9.5-10.25"},
                 {-1.25, -2.5, 3, 4, 5, 6, 7, -8.75, -9.5, -10.25}},
        ListCase{"inside_a_repeat_count", {"2*1.5-2.5 4 5 6 7 8"},
                 {1.5, 1.5, -2.5, 4, 5, 6, 7, 8}},
        ListCase{"digits_without_point_stay_an_exponent",
                 {"1.5-3-2.5 2.5+2 5 6 7 8 9"},
                 {0.0015F, -2.5, 250, 5, 6, 7, 8, 9}}),
    [](const testing::TestParamInfo<ListCase> &test) {
      return test.param.name;
    });

struct CountCase {
  const char *name;
  std::string record;
  int nt;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const CountCase &c, std::ostream *os) { *os << c.name; }
};

class SampleCountRecordTest : public testing::TestWithParam<CountCase> {};

TEST_P(SampleCountRecordTest, ReadsNt) {
  const CountCase &c = GetParam();
  const ScratchDirectory directory;
  Component file = component(
      c.nt, "0.005", std::vector<double>(static_cast<std::size_t>(c.nt), 1.0));
  file.count = c.record;
  put_equal_components(directory, file);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.out, transcript(file, "0.00499999989", c.nt));
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(directory.read("out.csv").size(),
            static_cast<std::size_t>(c.nt) * 41);
}

INSTANTIATE_TEST_SUITE_P(
    Records, SampleCountRecordTest,
    testing::Values(CountCase{"words_after_the_count", "  800 samples", 800},
                    CountCase{"sign_after_digits_scales", "80+1", 800},
                    CountCase{"negative_exponent_cuts_toward_zero", "80-1", 8},
                    CountCase{"leading_blank_record", "\t  16", 16},
                    CountCase{"touching_value_rule_not_for_the_count",
                              "80-1.5", 8}),
    [](const testing::TestParamInfo<CountCase> &test) {
      return test.param.name;
    });

struct IntervalCase {
  const char *name;
  std::vector<std::string> records; // the interval record and any after it
  std::string dt_echo;
};

class IntervalRecordTest : public testing::TestWithParam<IntervalCase> {};

// Published records write words before the interval.
TEST_P(IntervalRecordTest, ReadsDtAfterTheWords) {
  const IntervalCase &c = GetParam();
  const ScratchDirectory directory;
  Component file = component(2, "0.005", {1.5, -2.5});
  file.interval = c.records.front();
  file.after_interval.assign(c.records.begin() + 1, c.records.end());
  put_equal_components(directory, file);
  const RunResult result = run_cdmg2csv(directory.path(), "out.csv\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, "exit 0");
  EXPECT_EQ(result.out, transcript(file, c.dt_echo, 2));
}

INSTANTIATE_TEST_SUITE_P(
    Records, IntervalRecordTest,
    testing::Values(
        IntervalCase{"published",
                     {"At equally-spaced intervals of   0.010  sec."},
                     "0.00999999978"},
        IntervalCase{"upper_case_after_blanks",
                     {"   AT EQUALLY-SPACED INTERVALS OF 0.005 SEC."},
                     "0.00499999989"},
        IntervalCase{"lower_case", {"at equally-spaced intervals of 0.02"},
                     "0.0199999996"},
        IntervalCase{"words_alone_value_on_the_next_record",
                     {"At equally-spaced intervals of", "", "  0.010 sec."},
                     "0.00999999978"}),
    [](const testing::TestParamInfo<IntervalCase> &test) {
      return test.param.name;
    });

} // namespace
