// A small typed layer over the libf2c I/O run-time.
//
// The rest of the program reads as its own steps (open a file, read a text
// record, read values, print a console record, write a row) while every byte
// still moves through the run-time's units, with its rules for records and
// list input and its fatal-error report. Every call that can fail ends the
// run through that report; none returns an error.
#ifndef CDMG2CSV_FORTRAN_IO_HPP
#define CDMG2CSV_FORTRAN_IO_HPP

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fio {

inline constexpr int kConsoleInput = 5;
inline constexpr int kConsoleOutput = 6;
inline constexpr int kDataUnit = 11;

// A fixed-length, blank-padded text buffer: file names and text records.
inline constexpr std::size_t kTextLength = 80;
using Text = std::array<char, kTextLength>;

// Assigns `text` to `buffer`, cut at its length or filled up with blanks.
void assign(Text &buffer, std::string_view text);

// The text of `buffer` without its trailing blanks: the name a file is
// opened under.
std::string_view trimmed(const Text &buffer);

// Records the command line, installs the run-time's signal reports and
// connects the console units; the run-time closes every unit at exit.
void start(int argc, char **argv);

// Ends the run with status 0, closing every unit still connected.
[[noreturn]] void stop();

// One item of a list-directed console record: a text or an integer.
class ConsoleItem {
public:
  ConsoleItem(std::string_view text) : text_(text) {}
  ConsoleItem(const char *text) : text_(text) {}
  ConsoleItem(const std::string &text) : text_(text) {}
  ConsoleItem(std::int32_t integer) : integer_(integer), is_integer_(true) {}

  std::string_view text() const { return text_; }
  std::int32_t integer() const { return integer_; }
  bool is_integer() const { return is_integer_; }

private:
  std::string_view text_;
  std::int32_t integer_ = 0;
  bool is_integer_ = false;
};

// Prints one list-directed record on the console; no items print an empty
// line.
void print_record(std::initializer_list<ConsoleItem> items);

enum class OpenStatus {
  kOld,     // the file must exist
  kUnknown, // created when missing, overwritten from its start otherwise
};

// Connects `unit` to the file `name` for sequential formatted access and
// returns the descriptor the run-time opened it on.
int open(int unit, const Text &name, OpenStatus status);

// Disconnects `unit`, keeping the file.
void close(int unit);

// Ends the file connected to `unit` at the current position: whatever stood
// after the records written so far is cut off.
void end_file(int unit);

// Reads the next record of `unit` with the format "(a80)".
void read_text(int unit, Text &buffer);

// Reads the output-name line from the console with the format "(a80)"; a
// carriage return that ended the line is not part of the text.
void read_console_text(Text &buffer);

// A list-directed read with no items: passes over exactly one record.
void skip_record(int unit);

// List-directed reads of one integer, and of `count` reals into
// values[0..count).
void read_integer(int unit, std::int32_t &value);
void read_reals(int unit, float *values, int count);

// Writes one record of text fields under a format of A edit descriptors.
void write_fields(int unit, const char *format,
                  std::initializer_list<std::string_view> fields);

// Checks that everything written to the file `name`, opened on `descriptor`,
// has reached it: `expected_bytes` from its start. A refused write ends the
// run with the run-time's report under the operation "write".
void check_written(const Text &name, int descriptor,
                   std::int64_t expected_bytes);

} // namespace fio

#endif
