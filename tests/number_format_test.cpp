#include "number_format.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNotANumber = std::numeric_limits<float>::quiet_NaN();

struct FieldCase {
  const char *name;
  float value;
  int width;
  const char *expected;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const FieldCase &c, std::ostream *os) { *os << c.name; }
};

class FixedFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FixedFieldTest, RendersTheSinglePrecisionValue) {
  const FieldCase &c = GetParam();
  EXPECT_EQ(fixed_field(c.value, c.width, 3), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FixedFieldTest,
    testing::Values(
        // 0.0005 in single precision lies just above one half of 0.001.
        FieldCase{"stored_half_rounds_up", 0.0005F, 10, "     0.001"},
        FieldCase{"negative_zero_has_no_sign", -0.0004F, 10, "     0.000"},
        FieldCase{"zero_before_point", 0.005F, 7, "  0.005"},
        FieldCase{"negative_below_one", -0.123F, 10, "    -0.123"},
        FieldCase{"padded_decimals", 12.25F, 10, "    12.250"},
        FieldCase{"time_widest", 999.999F, 7, "999.999"},
        FieldCase{"time_most_negative", -99.999F, 7, "-99.999"},
        FieldCase{"time_rounds_past_width", 999.9995F, 7, "*******"},
        FieldCase{"time_negative_past_width", -100.0F, 7, "*******"},
        FieldCase{"sample_widest", 999999.94F, 10, "999999.938"},
        FieldCase{"sample_rounds_past_width", 999999.9995F, 10, "**********"},
        FieldCase{"sample_negative_widest", -99999.99F, 10, "-99999.992"},
        FieldCase{"sample_negative_past_width", -99999.9995F, 10, "**********"},
        FieldCase{"largest_float", 3.4e38F, 10, "**********"},
        FieldCase{"infinity", kInfinity, 10, "       inf"},
        FieldCase{"negative_infinity", -kInfinity, 7, "   -inf"},
        FieldCase{"not_a_number", kNotANumber, 10, "       nan"},
        FieldCase{"negative_not_a_number", -kNotANumber, 7, "    nan"},
        FieldCase{"infinity_past_width", -kInfinity, 3, "***"}),
    [](const testing::TestParamInfo<FieldCase> &test) {
      return test.param.name;
    });

// The platform's fixed-point conversion of the exact value, with the sign of
// a zero result dropped: what every field must show.
std::string printf_field(float value, int width) {
  char text[128];
  std::snprintf(text, sizeof text, "%*.3f", width, static_cast<double>(value));
  std::string field = text;
  if (field.find_first_not_of(" -0.") == std::string::npos) {
    field = std::string(field.size() - 5, ' ') + "0.000";
  }
  return field.size() > static_cast<std::size_t>(width)
             ? std::string(static_cast<std::size_t>(width), '*')
             : field;
}

TEST(FixedFieldExactValueTest, MatchesThePlatformConversionAcrossTheFloats) {
  // Every 4099th bit pattern of the positive floats below 2^40, with both
  // signs, and the exact ties between two three-decimal results.
  constexpr std::uint32_t kStep = 4099;
  constexpr std::uint32_t kLimit = 0x53800000; // 2^40
  for (std::uint32_t bits = 0; bits < kLimit; bits += kStep) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    for (const float v : {value, -value}) {
      ASSERT_EQ(fixed_field(v, 10, 3), printf_field(v, 10)) << v;
    }
  }
  for (const float tie : {0.0625F, 0.1875F, 2.0625F, 1023.4375F, -0.0625F}) {
    EXPECT_EQ(fixed_field(tie, 10, 3), printf_field(tie, 10)) << tie;
  }
}

struct RealCase {
  const char *name;
  float value;
  const char *expected;

  // Test names show the case's name, not its bytes.
  friend void PrintTo(const RealCase &c, std::ostream *os) { *os << c.name; }
};

class ListDirectedRealTest : public testing::TestWithParam<RealCase> {};

TEST_P(ListDirectedRealTest, PrintsNineSignificantDigits) {
  EXPECT_EQ(list_directed_real(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reals, ListDirectedRealTest,
    testing::Values(RealCase{"interval_0_005", 0.005F, "  0.00499999989"},
                    RealCase{"interval_0_01", 0.01F, "  0.00999999978"},
                    RealCase{"interval_0_02", 0.02F, "  0.0199999996"},
                    RealCase{"one_gets_a_point", 1.0F, "  1."},
                    RealCase{"zero_gets_a_point", 0.0F, "  0."},
                    RealCase{"negative_zero", -0.0F, "  0."},
                    RealCase{"negative", -0.5F, " -0.5"},
                    RealCase{"large_fixed", 123456789.0F, "  123456792."},
                    RealCase{"small_in_exponent_form", 1e-5F,
                             "  9.99999975E-06"},
                    RealCase{"large_in_exponent_form", 2e9F, "  2.E+09"},
                    RealCase{"smallest_fixed", 1e-4F, "  9.99999975E-05"},
                    RealCase{"infinity", kInfinity, "  INF"},
                    RealCase{"negative_infinity", -kInfinity, " -INF"},
                    RealCase{"not_a_number", kNotANumber, "  NAN"}),
    [](const testing::TestParamInfo<RealCase> &test) {
      return test.param.name;
    });

TEST(RowTimeTest, IsTheExactProductRoundedOnceToSinglePrecision) {
  EXPECT_EQ(row_time(1, 0.005F), 0.0F);
  EXPECT_EQ(fixed_field(row_time(800, 0.005F), 7, 3), "  3.995");
  // 7 * 0.0025F is 0.0174999996 exactly; in single precision it is
  // 0.0175000001, which rounds up to three decimals.
  EXPECT_EQ(fixed_field(row_time(8, 0.0025F), 7, 3), "  0.018");
}

} // namespace
