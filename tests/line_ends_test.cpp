#include "line_ends.hpp"

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

class LineEndFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(LineEndFilterTest, DropsOnlyTheCarriageReturnOfALineEnd) {
  LineEndFilter filter;
  std::string out;
  for (const std::string &piece : GetParam().pieces) {
    filter.filter(piece, out);
  }
  filter.finish(out);
  EXPECT_EQ(out, GetParam().expected);
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

} // namespace
