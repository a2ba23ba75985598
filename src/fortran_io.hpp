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

inline constexpr int kErrorOutput = 0;
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

// Makes the process safe to run, then starts the run-time: any of standard
// input, output and error that is closed gets /dev/null, so that no file of
// the run lands on them; SIGXFSZ and SIGPIPE are ignored, so a refused write
// is reported instead of killing the run; the run-time's signal reports are
// installed (interrupt, termination request and hangup end the run with
// status 1); the console units are connected and marked never to be cut.
// The run-time closes every unit at exit.
void start(int argc, char **argv);

// Holds back interrupts, termination requests and hangups for the rest of
// the run, once its outcome is decided: a signal handled while the process
// exits would re-enter exit().
void hold_ending_signals();

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

// Connects `unit` to the existing file `name` for sequential formatted
// reading. The file itself is held only on a read-only descriptor, and only
// until its content has been copied (see private_copy.hpp); a named pipe is
// read once its writer is done. Returns the descriptor the unit reads from.
int open_component(int unit, const Text &name);

// Connects `unit` to the file `name` for the table: created when missing,
// overwritten from its start otherwise. Until close_table, an interrupt, a
// termination request or a hangup ends the run at once with the table cut
// after what reached it. Returns the descriptor the unit writes to.
int open_table(int unit, const Text &name);

// Checks that every row reached the table, ends the file after the rows and
// disconnects it. The run-time ignores refused writes, so a regular file is
// checked to hold `expected_bytes`: a short file ends the run with the
// run-time's report under the operation "write" and the system's reason, or
// with the program's own report when the system gives none.
void close_table(int unit, const Text &name, int descriptor,
                 std::int64_t expected_bytes);

// Drops whatever the stream of `unit` has read ahead and returns where its
// next record starts, in bytes from the file's start; the unit's descriptor
// stands there, so the next read takes what the descriptor holds from there
// on, even when it has been rewritten.
std::int64_t hand_back_read_ahead(int unit);

// Flushes the console output and returns the system's reason (an errno
// value) when the console could not be written, now or earlier; 0 when all
// of it went out.
int flush_console();

// Whether the console output is a terminal.
bool console_is_terminal();

// Whether the names `a` and `b` lead to the same file (device and inode),
// through any symbolic or hard link; false when either does not exist.
bool same_file(const std::string &a, const std::string &b);

// Disconnects `unit`, keeping the file.
void close(int unit);

// Reads the next record of `unit` with the format "(a80)".
void read_text(int unit, Text &buffer);

// Reads the output-name line from the console with the format "(a80)"; a
// carriage return that ended the line is not part of the text.
void read_console_text(Text &buffer);

// A list-directed read with no items: passes over exactly one record.
void skip_record(int unit);

// A list-directed read of one integer into `value`. Returns the value as
// read: it differs from `value` only when it lies beyond the 32-bit range,
// which the run-time wraps.
double read_integer(int unit, std::int32_t &value);

// A list-directed read of `count` reals into values[0..count).
void read_reals(int unit, float *values, int count);

// Writes one record of text fields under a format of A edit descriptors.
void write_fields(int unit, const char *format,
                  std::initializer_list<std::string_view> fields);

} // namespace fio

#endif
