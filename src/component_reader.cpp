#include "component_reader.hpp"

#include "fatal.hpp"
#include "line_ends.hpp"
#include "number_format.hpp"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// Record layout of a component file: record 1 is the title, records 2 to 15
// are passed over, 16 holds nt and 17 dt, records 18 to 45 are passed over,
// record 46 is the data caption and the samples follow, eight a record.
constexpr int kRecordsBeforeCount = 14;
constexpr int kRecordsBeforeCaption = 28;
constexpr std::int32_t kSamplesPerRecord = 8;

void skip_records(int count) {
  for (int record = 0; record < count; ++record) {
    fio::skip_record(fio::kDataUnit);
  }
}

void echo(const fio::Text &line) {
  fio::print_record({std::string_view(line.data(), line.size())});
}

} // namespace

std::string capacity_refusal(std::int32_t nt) {
  return "nt = " + std::to_string(nt) + " is more than the " +
         std::to_string(kSeriesCapacity) + " samples a series holds";
}

void read_component(const fio::Text &name, Series &series, std::int32_t &nt,
                    float &dt) {
  const int descriptor = fio::open(fio::kDataUnit, name, fio::OpenStatus::kOld);
  use_unix_line_ends(descriptor, fio::trimmed(name));

  fio::Text line{};
  fio::read_text(fio::kDataUnit, line);
  echo(line);

  skip_records(kRecordsBeforeCount);
  fio::read_integer(fio::kDataUnit, nt);
  fio::read_reals(fio::kDataUnit, &dt, 1);
  const std::string interval = list_directed_real(dt);
  fio::print_record({" dt & nt=", interval, nt});
  if (nt > kSeriesCapacity) {
    fatal(std::string(fio::trimmed(name)) + ": " + capacity_refusal(nt));
  }

  skip_records(kRecordsBeforeCaption);
  fio::read_text(fio::kDataUnit, line);
  echo(line);

  // Whole records of eight samples, then the last one to seven samples in
  // one read of their own.
  const std::int32_t samples = std::max(nt, 0);
  const std::int32_t full_records = samples / kSamplesPerRecord;
  float *next = series.data();
  for (std::int32_t record = 0; record < full_records; ++record) {
    fio::read_reals(fio::kDataUnit, next, kSamplesPerRecord);
    next += kSamplesPerRecord;
  }
  const std::int32_t rest = samples % kSamplesPerRecord;
  if (rest > 0) {
    fio::read_reals(fio::kDataUnit, next, rest);
  }

  fio::close(fio::kDataUnit);
}
