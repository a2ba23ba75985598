#include "text_filters.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FilterCase {
  const char *name;
  std::vector<std::string> pieces;
  std::string expected;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const FilterCase &c, std::ostream *os) { *os << c.name; }
};

// The text `Filter` makes of `pieces`, given one after another.
template <typename Filter>
std::string filtered(const std::vector<std::string> &pieces) {
  Filter filter;
  std::string out;
  for (const std::string &piece : pieces) {
    filter.filter(piece, out);
  }
  filter.finish(out);
  return out;
}

class LineEndFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(LineEndFilterTest, DropsOnlyTheCarriageReturnOfALineEnd) {
  EXPECT_EQ(filtered<LineEndFilter>(GetParam().pieces), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineEndFilterTest,
    testing::Values(
        FilterCase{"crlf_records", {"a\r\nb\r\n"}, "a\nb\n"},
        FilterCase{"lone_carriage_return_stays", {"a\rb\n"}, "a\rb\n"},
        FilterCase{"carriage_return_run", {"a\r\r\n"}, "a\r\n"},
        FilterCase{"line_end_cut_between_pieces", {"a\r", "\nb"}, "a\nb"},
        FilterCase{"carriage_return_at_piece_end_stays", {"a\r", "b"}, "a\rb"},
        FilterCase{"carriage_return_at_text_end_stays", {"a\r"}, "a\r"},
        FilterCase{"empty_record", {"\r\n\r\n"}, "\n\n"}),
    [](const testing::TestParamInfo<FilterCase> &test) {
      return test.param.name;
    });

class TouchingValueFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(TouchingValueFilterTest, PartsValuesThatTouch) {
  EXPECT_EQ(filtered<TouchingValueFilter>(GetParam().pieces),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TouchingValueFilterTest,
    testing::Values(
        FilterCase{"sign_digits_point", {"-55.60712-177.19197"},
                   "-55.60712 -177.19197"},
        FilterCase{"sign_point_digit", {"1.5-.3"}, "1.5 -.3"},
        FilterCase{"after_a_point", {"5.+2.5"}, "5. +2.5"},
        FilterCase{"exponent_without_point_stays", {"1.5-3 2.5+2"},
                   "1.5-3 2.5+2"},
        FilterCase{"exponent_then_touching_value", {"1.5-3-2.5"},
                   "1.5-3 -2.5"},
        FilterCase{"lettered_exponent_stays", {"1.5E-3.0 2e+1"},
                   "1.5E-3.0 2e+1"},
        FilterCase{"sign_and_point_without_digit_stays", {"1.5-.x"},
                   "1.5-.x"},
        FilterCase{"sign_at_record_start_stays", {"1.0\n-2.0"}, "1.0\n-2.0"},
        FilterCase{"sign_after_blank_or_comma_stays", {"1.0 -2.0,-3.0"},
                   "1.0 -2.0,-3.0"},
        FilterCase{"several_in_a_row", {"-0.0147353-0.0147984-0.0148555"},
                   "-0.0147353 -0.0147984 -0.0148555"},
        FilterCase{"cut_between_pieces", {"1.5", "-", "17", ".2-", ".5"},
                   "1.5 -17.2 -.5"},
        FilterCase{"held_sign_at_the_end", {"1.5-"}, "1.5-"},
        FilterCase{"held_digits_at_the_end", {"1.5-12"}, "1.5-12"}),
    [](const testing::TestParamInfo<FilterCase> &test) {
      return test.param.name;
    });

struct WordsCase {
  const char *name;
  std::string record;
  std::size_t end;
};

class IntervalWordsTest : public testing::TestWithParam<WordsCase> {};

TEST_P(IntervalWordsTest, FindsTheWordsAtTheRecordStart) {
  EXPECT_EQ(interval_words_end(GetParam().record), GetParam().end);
}

INSTANTIATE_TEST_SUITE_P(
    Records, IntervalWordsTest,
    testing::Values(
        WordsCase{"published", "At equally-spaced intervals of   0.010  sec.",
                  30},
        WordsCase{"after_blanks", "  AT EQUALLY-SPACED INTERVALS OF 0.01", 32},
        WordsCase{"words_alone", "at equally-spaced intervals of", 30},
        WordsCase{"other_words", "At intervals of 0.010 sec.", 0},
        WordsCase{"value_first", "0.010 At equally-spaced intervals of", 0},
        WordsCase{"words_cut_short", "At equally-spaced", 0}),
    [](const testing::TestParamInfo<WordsCase> &test) {
      return test.param.name;
    });

} // namespace
