#include "number_format.hpp"

#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kSignificantDigits = 9;
// Room for any float in fixed notation with the decimals a field may ask.
constexpr std::size_t kRenderBuffer = 128;

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

std::string fixed_field(double value, int width, int decimals) {
  std::string text;
  if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    std::array<char, kRenderBuffer> digits{};
    const int length =
        std::snprintf(digits.data(), digits.size(), "%.*f", decimals, value);
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
  return std::string(field - text.size(), ' ') + text;
}

float row_time(std::int32_t row, float dt) {
  // dt has 24 significant bits, so the product is exact in double precision
  // while row - 1 stays below 2^29, far above the rows a table can have. The
  // conversion to float is then the one rounding, to nearest with ties to
  // even.
  return static_cast<float>(static_cast<double>(row - 1) *
                            static_cast<double>(dt));
}
