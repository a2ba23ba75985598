#include "number_format.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr int kSignificantDigits = 9;
// Room for any float in fixed notation with the decimals a field may ask.
constexpr std::size_t kRenderBuffer = 128;

// Powers of ten for the decimals the exact rendering handles.
constexpr std::array<std::uint64_t, 10> kPowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
// Floats of a larger binary exponent take the general path.
constexpr int kLargestExactExponent = 9;
// A float's significand, as an integer, has this many bits.
constexpr int kSignificandBits = std::numeric_limits<float>::digits;

// Writes the exact value of the finite `value` rounded to `decimals`
// decimals, ties to even, into `text` as printf's "%.*f" does, but without
// a sign when the result is zero. Integer arithmetic only: the significand
// times 10^decimals has at most 54 bits. Returns false, leaving `text`
// alone, for decimals or magnitudes it does not handle.
bool exact_decimal(float value, int decimals, std::string &text) {
  if (decimals < 1 || decimals >= static_cast<int>(kPowersOfTen.size())) {
    return false;
  }
  int exponent = 0;
  const float fraction = std::frexp(std::fabs(value), &exponent);
  exponent -= kSignificandBits;
  if (exponent > kLargestExactExponent) {
    return false;
  }
  const std::uint64_t scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
  const auto significand =
      static_cast<std::uint64_t>(std::ldexp(fraction, kSignificandBits));
  std::uint64_t scaled = 0; // value * 10^decimals, rounded
  if (exponent >= 0) {
    scaled = (significand * scale) << exponent;
  } else if (-exponent < std::numeric_limits<std::uint64_t>::digits - 1) {
    const std::uint64_t product = significand * scale;
    const int shift = -exponent;
    const std::uint64_t remainder = product & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    scaled = product >> shift;
    if (remainder > half || (remainder == half && (scaled & 1U) != 0)) {
      ++scaled;
    }
  } // else: below 2^-62 of a unit, the value rounds to zero

  std::array<char, kRenderBuffer> digits{};
  char *end = digits.data() + digits.size();
  char *p = end;
  for (int d = 0; d < decimals; ++d) {
    *--p = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  }
  *--p = '.';
  do {
    *--p = static_cast<char>('0' + scaled % 10);
    scaled /= 10;
  } while (scaled != 0);
  const bool zero =
      std::find_if(p, end, [](char c) { return c != '0' && c != '.'; }) == end;
  if (value < 0 && !zero) {
    *--p = '-';
  }
  text.assign(p, static_cast<std::size_t>(end - p));
  return true;
}

} // namespace

std::string list_directed_real(float value) {
  std::string item = " ";
  item.push_back(value < 0 ? '-' : ' ');
  if (std::isnan(value)) {
    return item + "NAN";
  }
  if (std::isinf(value)) {
    return item + "INF";
  }
  std::array<char, kRenderBuffer> digits{};
  std::snprintf(digits.data(), digits.size(), "%.*G", kSignificantDigits,
                std::fabs(static_cast<double>(value)));
  std::string magnitude(digits.data());
  if (magnitude.find('.') == std::string::npos) {
    const std::size_t exponent = magnitude.find('E');
    magnitude.insert(
        exponent == std::string::npos ? magnitude.size() : exponent, 1, '.');
  }
  return item + magnitude;
}

std::string fixed_field(float value, int width, int decimals) {
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else if (!exact_decimal(value, decimals, text)) {
    std::array<char, kRenderBuffer> digits{};
    const int length = std::snprintf(digits.data(), digits.size(), "%.*f",
                                     decimals, static_cast<double>(value));
    if (length < 0 || static_cast<std::size_t>(length) >= digits.size()) {
      return std::string(static_cast<std::size_t>(width), '*');
    }
    text.assign(digits.data(), static_cast<std::size_t>(length));
    // A value that rounds to zero is written without a sign.
    if (text.front() == '-' &&
        text.find_first_not_of("-0.") == std::string::npos) {
      text.erase(0, 1);
    }
  }
  const auto field = static_cast<std::size_t>(width);
  if (text.size() > field) {
    return std::string(field, '*');
  }
  text.insert(0, field - text.size(), ' ');
  return text;
}

float row_time(std::int32_t row, float dt) {
  // dt has 24 significant bits, so the product is exact in double precision
  // while row - 1 stays below 2^29, far above the rows a table can have. The
  // conversion to float is then the one rounding, to nearest with ties to
  // even.
  return static_cast<float>(static_cast<double>(row - 1) *
                            static_cast<double>(dt));
}
