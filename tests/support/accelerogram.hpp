// Component files in the CDMG layout that cdmg2csv reads, and the console
// text and table rows it is expected to produce for them.
#ifndef CDMG2CSV_TESTS_ACCELEROGRAM_HPP
#define CDMG2CSV_TESTS_ACCELEROGRAM_HPP

#include <optional>
#include <string>
#include <vector>

class ScratchDirectory;

inline const std::string kFirstFile = "RRS-N41W.txt";
inline const std::string kSecondFile = "RRS-S49W.txt";
inline const std::string kThirdFile = "RRS-UP.txt";

// One component file. Records 2 to 15 and 18 to 45 hold header text that is
// never read as values.
struct Component {
  std::string title = "Corrected accelerogram  TEST STATION";
  std::string count = "       8 samples of acceleration"; // record 16
  std::string interval = "  0.0050 sec between samples";  // record 17
  std::string caption = "       8 points of accel data equally spaced";
  std::vector<std::string> data; // records 47 on
  // Records inserted right before record 16, and right after record 17,
  // shifting what follows.
  std::vector<std::string> before_count;
  std::vector<std::string> after_interval;
  // When set, the file ends after this many records.
  std::optional<std::size_t> records_kept;

  // The file's bytes, each record ended by `line_end`.
  std::string text(const std::string &line_end = "\n") const;
};

// `values` as data records of `per_record` fields of ten characters with
// three decimals, as CDMG files write them.
std::vector<std::string> data_records(const std::vector<double> &values,
                                      std::size_t per_record = 8);

// A component whose header gives `nt` and `dt` and whose data block holds
// `samples`, followed by a velocity block of other values.
Component component(int nt, const std::string &dt,
                    const std::vector<double> &samples);

// Writes the three component files into `directory`.
void put_accelerogram(const ScratchDirectory &directory, const Component &first,
                      const Component &second, const Component &third,
                      const std::string &line_end = "\n");

// Writes `each` under all three component names.
void put_equal_components(const ScratchDirectory &directory,
                          const Component &each,
                          const std::string &line_end = "\n");

// The console text before the first component's echo, and after the third.
extern const std::string kOpening;
extern const std::string kOutputPrompt;

// A text record as echoed: a blank, then its first 80 characters filled up
// with blanks.
std::string echoed(const std::string &record);

// The console echo of one component: title, interval and count, caption.
// `dt` is the interval as printed, such as "0.00499999989".
std::string echo(const Component &component, const std::string &dt, int nt);

// The whole transcript of a run on three components equal to `each`, up to
// the output prompt.
std::string transcript(const Component &each, const std::string &dt, int nt);

// One table row, formatted independently of the program with printf; for
// values that fit their fields and do not round to negative zero.
std::string row(double time, double x, double y, double z);

#endif
