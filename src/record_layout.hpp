// Where a CDMG-type component file keeps what the converter reads: the one
// description of the record layout, used by the reader, the test fixtures and
// the benchmark.
//
//   record 1         title, echoed on the console
//   records 2-15     header text, passed over
//   record 16        sample count nt, the first value on the record
//   record 17        sample interval dt, the first value after the words
//                    "At equally-spaced intervals of" when the record has them
//   records 18-45    integer and real headers, passed over
//   record 46        data caption, echoed on the console
//   records 47 on    the samples, eight a record in fields of ten columns
//
// A published Volume 2 file goes on after the accelerations with a velocity
// and a displacement block, each behind its own caption, and ends a channel
// with a record that starts "/&"; the converter never reads that far.
#ifndef CDMG2CSV_RECORD_LAYOUT_HPP
#define CDMG2CSV_RECORD_LAYOUT_HPP

#include <cstdint>
#include <string_view>

namespace layout {

inline constexpr int kTitleRecord = 1;
inline constexpr int kCountRecord = 16;
inline constexpr int kIntervalRecord = 17;
inline constexpr int kCaptionRecord = 46;
inline constexpr int kFirstSampleRecord = 47;

// Records passed over between the title and the count, and between the
// interval and the caption.
inline constexpr int kRecordsBeforeCount = kCountRecord - kTitleRecord - 1;
inline constexpr int kRecordsBeforeCaption =
    kCaptionRecord - kIntervalRecord - 1;

inline constexpr std::int32_t kSamplesPerRecord = 8;
inline constexpr int kSampleColumns = 10;

// Words that may open the interval record; they read like blanks.
inline constexpr std::string_view kIntervalWords =
    "At equally-spaced intervals of";

// The record that ends a channel in a published Volume 2 file.
inline constexpr std::string_view kEndOfChannel = "/&";

} // namespace layout

#endif
