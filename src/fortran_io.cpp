#include "fortran_io.hpp"

#include "fatal.hpp"
#include "libf2c.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fio {
namespace {

// Item type codes of the run-time's list-directed I/O.
constexpr f2c_integer kTypeInteger = 3;
constexpr f2c_integer kTypeReal = 4;
constexpr f2c_integer kTypeText = 9;

constexpr const char *kTextFormat = "(a80)";
constexpr char kCarriageReturn = '\r';

f2c_length length_of(std::string_view text) {
  return static_cast<f2c_length>(text.size());
}

f2c_cilist list_control(int unit) { return f2c_cilist{0, unit, 0, nullptr, 0}; }

f2c_cilist format_control(int unit, const char *format) {
  return f2c_cilist{0, unit, 0, format, 0};
}

// The run-time's own signal reports: a floating-point exception or an abort
// ends the run abnormally, an interrupt or a termination request with
// status 1, each after the units are closed.
extern "C" void report_floating_exception(int /*signal*/) {
  sig_die("Floating Exception", 1);
}
extern "C" void report_abort(int /*signal*/) { sig_die("IOT Trap", 1); }
extern "C" void report_interrupt(int /*signal*/) { sig_die("Interrupt", 0); }
extern "C" void report_termination(int /*signal*/) { sig_die("Killed", 0); }

// The descriptor the next open() or fopen() will be given: the lowest free
// one.
int next_free_descriptor() {
  const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (probe < 0) {
    fatal(std::string("cannot open /dev/null: ") + std::strerror(errno));
  }
  ::close(probe);
  return probe;
}

bool same_file(int descriptor, const std::string &name) {
  struct stat by_descriptor {};
  struct stat by_name {};
  return ::fstat(descriptor, &by_descriptor) == 0 &&
         ::stat(name.c_str(), &by_name) == 0 &&
         by_descriptor.st_dev == by_name.st_dev &&
         by_descriptor.st_ino == by_name.st_ino;
}

} // namespace

void assign(Text &buffer, std::string_view text) {
  s_copy(buffer.data(), text.data(), static_cast<f2c_length>(buffer.size()),
         length_of(text));
}

std::string_view trimmed(const Text &buffer) {
  std::string_view text(buffer.data(), buffer.size());
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view()
                                        : text.substr(0, last + 1);
}

void start(int argc, char **argv) {
  xargc = argc;
  xargv = argv;
  std::signal(SIGFPE, report_floating_exception);
  std::signal(SIGABRT, report_abort);
  // An interrupt that the caller ignores stays ignored.
  if (std::signal(SIGINT, report_interrupt) == SIG_IGN) {
    std::signal(SIGINT, SIG_IGN);
  }
  std::signal(SIGTERM, report_termination);
  f_init();
  std::atexit(f_exit);
}

void stop() {
  s_stop("", 0);
  std::exit(EXIT_SUCCESS); // s_stop does not return; this keeps [[noreturn]]
}

void print_record(std::initializer_list<ConsoleItem> items) {
  f2c_cilist control = list_control(kConsoleOutput);
  s_wsle(&control);
  for (const ConsoleItem &item : items) {
    f2c_integer count = 1;
    if (item.is_integer()) {
      f2c_integer value = item.integer();
      f2c_integer type = kTypeInteger;
      do_lio(&type, &count, reinterpret_cast<char *>(&value),
             static_cast<f2c_length>(sizeof value));
    } else {
      f2c_integer type = kTypeText;
      do_lio(&type, &count, const_cast<char *>(item.text().data()),
             length_of(item.text()));
    }
  }
  e_wsle();
}

int open(int unit, const Text &name, OpenStatus status) {
  const int descriptor = next_free_descriptor();
  const std::string_view file = trimmed(name);
  f2c_olist control{};
  control.ounit = unit;
  control.ofnm = name.data();
  control.ofnmlen = static_cast<f2c_length>(name.size());
  control.osta = status == OpenStatus::kOld ? "old" : "unknown";
  f_open(&control);
  // The run-time has opened the file on the lowest free descriptor; make
  // sure before anything relies on it.
  if (!same_file(descriptor, std::string(file))) {
    fatal(std::string(file) + ": cannot find the descriptor of unit " +
          std::to_string(unit));
  }
  return descriptor;
}

void close(int unit) {
  f2c_cllist control{0, unit, nullptr};
  f_clos(&control);
}

void end_file(int unit) {
  f2c_alist control{0, unit};
  f_end(&control);
}

void read_text(int unit, Text &buffer) {
  f2c_cilist control = format_control(unit, kTextFormat);
  f2c_integer count = 1;
  s_rsfe(&control);
  do_fio(&count, buffer.data(), static_cast<f2c_length>(buffer.size()));
  e_rsfe();
}

void read_console_text(Text &buffer) {
  read_text(kConsoleInput, buffer);
  // A line shorter than the buffer is filled up with blanks after its last
  // character, so a carriage return of a CR-LF line end is the last
  // character that is not a blank.
  const std::size_t end = trimmed(buffer).size();
  if (end > 0 && buffer[end - 1] == kCarriageReturn) {
    buffer[end - 1] = ' ';
  }
}

void skip_record(int unit) {
  f2c_cilist control = list_control(unit);
  s_rsle(&control);
  e_rsle();
}

void read_integer(int unit, std::int32_t &value) {
  f2c_cilist control = list_control(unit);
  f2c_integer type = kTypeInteger;
  f2c_integer count = 1;
  s_rsle(&control);
  do_lio(&type, &count, reinterpret_cast<char *>(&value),
         static_cast<f2c_length>(sizeof value));
  e_rsle();
}

void read_reals(int unit, float *values, int count) {
  f2c_cilist control = list_control(unit);
  f2c_integer type = kTypeReal;
  f2c_integer items = count;
  s_rsle(&control);
  do_lio(&type, &items, reinterpret_cast<char *>(values),
         static_cast<f2c_length>(sizeof *values));
  e_rsle();
}

void write_fields(int unit, const char *format,
                  std::initializer_list<std::string_view> fields) {
  f2c_cilist control = format_control(unit, format);
  f2c_integer count = 1;
  s_wsfe(&control);
  for (const std::string_view field : fields) {
    do_fio(&count, const_cast<char *>(field.data()), length_of(field));
  }
  e_wsfe();
}

void check_written(const Text &name, int descriptor,
                   std::int64_t expected_bytes) {
  // The run-time buffers its records and ignores refused writes, and the C
  // library may drop a refused buffer without a later error. Flush the
  // console first so that its own trouble is not taken for the table's, then
  // every other output stream, which leaves only the file's; then compare
  // where the file stands with what was written.
  std::fflush(stdout);
  if (std::fflush(nullptr) == EOF) {
    f__fatal(errno, "write");
  }
  const off_t written = ::lseek(descriptor, 0, SEEK_CUR);
  if (written < 0 || written == expected_bytes) {
    return; // complete, or a device or pipe that has no position
  }
  // The file is short. Ask the system for its reason by writing one byte
  // where the missing records belong; the file is cut back at that position
  // when the unit is closed.
  constexpr char kProbe = '\n';
  if (::pwrite(descriptor, &kProbe, 1, written) < 0) {
    f__fatal(errno, "write");
  }
  fatal(std::string(trimmed(name)) + ": only " + std::to_string(written) +
        " of " + std::to_string(expected_bytes) +
        " bytes of the table reached the file");
}

} // namespace fio
