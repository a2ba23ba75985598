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

// Sample k (from 0) of `series`, zero past its end.
std::string sample_field(const Series &series, std::size_t k) {
  const float sample = k < series.size() ? series[k] : 0.0F;
  return fixed_field(sample, kSampleWidth, kDecimals);
}

} // namespace

void write_table(const fio::Text &name, std::int32_t nt, float dt,
                 const Series &x, const Series &y, const Series &z) {
  // The reader refuses such a count; never write more rows than it allows.
  const std::int32_t rows = std::max(nt, 0);
  if (rows > kSeriesCapacity) {
    fatal(capacity_refusal(std::to_string(nt)));
  }
  const int descriptor = fio::open_table(fio::kDataUnit, name);
  for (std::int32_t row = 1; row <= rows; ++row) {
    const auto k = static_cast<std::size_t>(row - 1);
    const std::string time =
        fixed_field(row_time(row, dt), kTimeWidth, kDecimals);
    fio::write_fields(fio::kDataUnit, kRowFormat,
                      {time, sample_field(x, k), sample_field(y, k),
                       sample_field(z, k)});
  }
  fio::close_table(fio::kDataUnit, name, descriptor, rows * kRowBytes);
}
