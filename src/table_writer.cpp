#include "table_writer.hpp"

#include "fatal.hpp"
#include "number_format.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kTimeWidth = 7;
constexpr int kSampleWidth = 10;
constexpr int kDecimals = 3;
// The rendered fields go out under a format of the same widths.
constexpr const char *kRowFormat = "(a7,3(',',a10))";
constexpr std::int64_t kRowBytes = kTimeWidth + 3 * (1 + kSampleWidth) + 1;

std::string sample_field(float sample) {
  return fixed_field(sample, kSampleWidth, kDecimals);
}

} // namespace

void write_table(const fio::Text &name, std::int32_t nt, float dt,
                 const Series &x, const Series &y, const Series &z) {
  // The reader refuses such a count; never read past the series.
  const std::int32_t rows = std::max(nt, 0);
  if (rows > kSeriesCapacity) {
    fatal(capacity_refusal(nt));
  }
  const int descriptor =
      fio::open(fio::kDataUnit, name, fio::OpenStatus::kUnknown);
  for (std::int32_t row = 1; row <= rows; ++row) {
    const auto k = static_cast<std::size_t>(row - 1);
    const std::string time =
        fixed_field(row_time(row, dt), kTimeWidth, kDecimals);
    fio::write_fields(
        fio::kDataUnit, kRowFormat,
        {time, sample_field(x[k]), sample_field(y[k]), sample_field(z[k])});
  }
  fio::check_written(name, descriptor, rows * kRowBytes);
  fio::end_file(fio::kDataUnit);
  fio::close(fio::kDataUnit);
}
