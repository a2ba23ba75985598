#include "component_reader.hpp"

#include "fatal.hpp"
#include "number_format.hpp"
#include "private_copy.hpp"
#include "record_layout.hpp"
#include "text_filters.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Enough of the interval record to find the words that may open it.
constexpr std::size_t kIntervalPeek = 4096;
// Shown for a control character in a title or caption on a terminal.
constexpr char kShownControl = '?';
constexpr unsigned char kDelete = 0x7F;

void skip_records(int count) {
  for (int record = 0; record < count; ++record) {
    fio::skip_record(fio::kDataUnit);
  }
}

// Prints a title or caption record as it stands; on a terminal, control
// characters show as '?', so that a file cannot send escape sequences.
void echo(const fio::Text &line) {
  std::string text(line.data(), line.size());
  if (fio::console_is_terminal()) {
    std::replace_if(
        text.begin(), text.end(),
        [](char c) {
          const auto byte = static_cast<unsigned char>(c);
          return byte < ' ' || byte == kDelete;
        },
        kShownControl);
  }
  fio::print_record({text});
}

// The sample count as read, in the console's integer form: a value beyond
// the 32-bit range, which the run-time wraps, is shown as it was written.
std::string count_text(std::int32_t nt, double as_read) {
  if (as_read == nt) {
    return std::to_string(nt);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", as_read);
  return text;
}

// Blanks the words that may open the interval record, so that the interval
// is read as the first value after them.
void blank_interval_words(int descriptor, std::string_view name) {
  const std::int64_t record = fio::hand_back_read_ahead(fio::kDataUnit);
  const std::size_t words =
      interval_words_end(peek_record(descriptor, record, kIntervalPeek, name));
  if (words > 0) {
    blank_bytes(descriptor, record, words, name);
  }
}

// Parts touching sample values from here on, so that list input reads each
// one whole with its sign.
void part_touching_samples(int descriptor, std::string_view name) {
  const std::int64_t samples = fio::hand_back_read_ahead(fio::kDataUnit);
  part_touching_values(descriptor, samples, name);
}

} // namespace

std::string capacity_refusal(const std::string &nt) {
  return "nt = " + nt + " is more than the " +
         std::to_string(kSeriesCapacity) + " samples a series holds";
}

void read_component(const fio::Text &name, Series &series, std::int32_t &nt,
                    float &dt) {
  const std::string_view file = fio::trimmed(name);
  const int descriptor = fio::open_component(fio::kDataUnit, name);

  fio::Text line{};
  fio::read_text(fio::kDataUnit, line);
  echo(line);

  skip_records(layout::kRecordsBeforeCount);
  const double count = fio::read_integer(fio::kDataUnit, nt);
  blank_interval_words(descriptor, file);
  fio::read_reals(fio::kDataUnit, &dt, 1);
  const std::string shown_count = count_text(nt, count);
  fio::print_record(
      {" dt & nt=", list_directed_real(dt), std::string(" ") + shown_count});
  if (count > kSeriesCapacity) {
    fatal(std::string(file) + ": " + capacity_refusal(shown_count));
  }

  skip_records(layout::kRecordsBeforeCaption);
  fio::read_text(fio::kDataUnit, line);
  echo(line);

  part_touching_samples(descriptor, file);
  // Whole records of eight samples, then the last one to seven samples in
  // one read of their own.
  const std::int32_t samples = std::max(nt, 0);
  series.assign(static_cast<std::size_t>(samples), 0.0F);
  const std::int32_t full_records = samples / layout::kSamplesPerRecord;
  float *next = series.data();
  for (std::int32_t record = 0; record < full_records; ++record) {
    fio::read_reals(fio::kDataUnit, next, layout::kSamplesPerRecord);
    next += layout::kSamplesPerRecord;
  }
  const std::int32_t rest = samples % layout::kSamplesPerRecord;
  if (rest > 0) {
    fio::read_reals(fio::kDataUnit, next, rest);
  }

  fio::close(fio::kDataUnit);
}
