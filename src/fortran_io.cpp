#include "fortran_io.hpp"

#include "fatal.hpp"
#include "libf2c.hpp"
#include "private_copy.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
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

// The table's descriptor while the table is written, for the signal
// reports; -1 at other times.
volatile std::sig_atomic_t table_descriptor = -1;

// The system's reason for the first failure to write the console, 0 while
// all of it went out.
int console_failure = 0;

// The system's reason for the first refused write of a record to a file, 0
// while none was refused. The run-time goes on after a refused write, and
// the C library may drop the refused buffer, so the reason is taken when it
// happens.
int write_failure = 0;

constexpr int kExitSignalled = 1;

// Ends the run on an interrupt, a termination request or a hangup. Before
// and after the table this is the run-time's own report: `report` on
// standard error, the units closed, status 1. While the table is written
// its stream may be half flushed, and a pipe may have no reader, so nothing
// is flushed: the report is written directly, the table is cut after the
// bytes that reached it, and the run ends at once.
[[noreturn]] void end_on_signal(const char *report) {
  hold_ending_signals(); // one ending is enough
  const int table = table_descriptor;
  if (table < 0) {
    sig_die(report, 0);
    ::_exit(kExitSignalled); // sig_die does not return
  }
  (void)!::write(STDERR_FILENO, report, std::strlen(report));
  (void)!::write(STDERR_FILENO, "\n", 1);
  struct stat table_status {};
  if (::fstat(table, &table_status) == 0 && S_ISREG(table_status.st_mode)) {
    const off_t reached = ::lseek(table, 0, SEEK_CUR);
    if (reached >= 0) {
      (void)!::ftruncate(table, reached);
    }
  }
  ::_exit(kExitSignalled);
}

// The signals that end a run with status 1: interrupt, termination request
// and hangup.
sigset_t ending_signals() {
  sigset_t ending{};
  sigemptyset(&ending);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaddset(&ending, signal);
  }
  return ending;
}

// Holds back the ending signals while it lives; one that came meanwhile is
// handled when it ends.
class SignalsHeld {
public:
  SignalsHeld() {
    const sigset_t ending = ending_signals();
    sigprocmask(SIG_BLOCK, &ending, &before_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  SignalsHeld(const SignalsHeld &) = delete;
  SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
  sigset_t before_{};
};

// The run-time's own signal reports: a floating-point exception or an abort
// ends the run abnormally after the units are closed.
extern "C" void report_floating_exception(int /*signal*/) {
  sig_die("Floating Exception", 1);
}
extern "C" void report_abort(int /*signal*/) { sig_die("IOT Trap", 1); }
extern "C" void report_interrupt(int /*signal*/) { end_on_signal("Interrupt"); }
extern "C" void report_termination(int /*signal*/) { end_on_signal("Killed"); }
extern "C" void report_hangup(int /*signal*/) { end_on_signal("Hangup"); }

// Installs `handler` for `signal` unless the caller ignores the signal: an
// interrupt or hangup that is ignored at start stays ignored.
void catch_unless_ignored(int signal, void (*handler)(int)) {
  if (std::signal(signal, handler) == SIG_IGN) {
    std::signal(signal, SIG_IGN);
  }
}

// Gives /dev/null to each of standard input, output and error that is
// closed. Otherwise the next file opened would take its place: the
// transcript or a report would be written into a component or the table.
void fill_closed_standard_descriptors() {
  constexpr int kStandardDescriptors = 3;
  for (int descriptor = 0; descriptor < kStandardDescriptors; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) {
      continue;
    }
    const int flags = descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY;
    if (::open("/dev/null", flags) != descriptor) {
      ::_exit(kExitRefused); // nowhere to report it
    }
  }
}

// The name the run-time connected `unit` to, for the program's own reports.
std::string unit_name(int unit) {
  const char *name = f__units[unit].ufnm;
  return name == nullptr ? "unit " + std::to_string(unit) : name;
}

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

// Whether `descriptor` is open on the file `name`.
bool is_open_on(int descriptor, const std::string &name) {
  struct stat by_descriptor {};
  struct stat by_name {};
  return ::fstat(descriptor, &by_descriptor) == 0 &&
         ::stat(name.c_str(), &by_name) == 0 &&
         by_descriptor.st_dev == by_name.st_dev &&
         by_descriptor.st_ino == by_name.st_ino;
}

// Connects `unit` to `name` through the run-time, which reports a failure
// itself, and returns the descriptor it opened the file on.
int connect(int unit, const Text &name, const char *status) {
  const int descriptor = next_free_descriptor();
  const std::string file(trimmed(name));
  f2c_olist control{};
  control.ounit = unit;
  control.ofnm = name.data();
  control.ofnmlen = static_cast<f2c_length>(name.size());
  control.osta = status;
  f_open(&control);
  // The run-time has opened the file on the lowest free descriptor; make
  // sure before anything relies on it.
  if (!is_open_on(descriptor, file)) {
    fatal(file + ": cannot find the descriptor of unit " +
          std::to_string(unit));
  }
  return descriptor;
}

// Ends the file connected to `unit` at the current position: whatever stood
// after the records written so far is cut off.
void end_file(int unit) {
  f2c_alist control{0, unit};
  f_end(&control);
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
  fill_closed_standard_descriptors();
  xargc = argc;
  xargv = argv;
  std::signal(SIGFPE, report_floating_exception);
  std::signal(SIGABRT, report_abort);
  catch_unless_ignored(SIGINT, report_interrupt);
  catch_unless_ignored(SIGHUP, report_hangup);
  std::signal(SIGTERM, report_termination);
  // A write the system refuses, for a file-size limit or a console pipe
  // with no reader, fails and is reported instead of killing the run.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  f_init();
  if (f__units[kErrorOutput].ufd != stderr ||
      f__units[kConsoleInput].ufd != stdin ||
      f__units[kConsoleOutput].ufd != stdout) {
    fatal("the libf2c run-time's unit table is not laid out as expected");
  }
  // The run-time cuts a unit it has written to at its current position when
  // it closes it. Standard output and error are not the program's to cut:
  // a log behind them may hold what came before this run.
  f__units[kErrorOutput].useek = 0;
  f__units[kConsoleOutput].useek = 0;
  std::atexit(f_exit);
}

void hold_ending_signals() {
  const sigset_t ending = ending_signals();
  sigprocmask(SIG_BLOCK, &ending, nullptr);
}

void stop() {
  hold_ending_signals();
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

int open_component(int unit, const Text &name) {
  const std::string file(trimmed(name));
  // The file is opened for reading here first; for a named pipe this waits
  // for its writer. The run-time would open an existing file for reading
  // and writing, and one it may not read for writing alone, cutting it.
  const int read_only = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (read_only < 0 && ::access(file.c_str(), F_OK) == 0) {
    fatal(file + ": cannot open for reading: " + std::strerror(errno));
  }
  // A file that does not exist is reported by the run-time.
  const int descriptor = connect(unit, name, "old");
  if (::dup2(read_only, descriptor) < 0) {
    fatal(file + ": cannot open for reading: " + std::strerror(errno));
  }
  ::close(read_only);
  make_private_copy(descriptor, file);
  return descriptor;
}

int open_table(int unit, const Text &name) {
  // From the moment the file is open, a signal cuts it after what reached
  // it, so the signals wait until the handlers know the descriptor.
  const SignalsHeld held;
  const int descriptor = connect(unit, name, "unknown");
  table_descriptor = descriptor;
  return descriptor;
}

void close_table(int unit, const Text &name, int descriptor,
                 std::int64_t expected_bytes) {
  // The run-time ignores refused writes: flush the table's stream and report
  // a write refused now or earlier. As a last check, compare where a
  // regular file stands with what was written; a device or pipe keeps no
  // count.
  if (std::fflush(f__units[unit].ufd) == EOF) {
    f__fatal(errno, "write");
  }
  if (write_failure != 0) {
    errno = write_failure; // the report gives the reason errno holds
    f__fatal(write_failure, "write");
  }
  struct stat status {};
  if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
    const off_t written = ::lseek(descriptor, 0, SEEK_CUR);
    if (written >= 0 && written != expected_bytes) {
      // The file is short. Ask the system for its reason by writing one
      // byte where the missing records belong; the file is cut back at
      // that position when the unit is closed.
      constexpr char kProbe = '\n';
      if (::pwrite(descriptor, &kProbe, 1, written) < 0) {
        f__fatal(errno, "write");
      }
      fatal(std::string(trimmed(name)) + ": only " + std::to_string(written) +
            " of " + std::to_string(expected_bytes) +
            " bytes of the table reached the file");
    }
  }
  // Cutting the file moves its descriptor to the old end for a moment, so
  // the signals wait until the table is closed whole; the rows are flushed
  // already, and this blocks on nothing.
  const SignalsHeld held;
  end_file(unit);
  close(unit);
  table_descriptor = -1;
}

std::int64_t hand_back_read_ahead(int unit) {
  // Flushing a read stream puts its descriptor at the stream's position and
  // empties the buffer.
  std::FILE *stream = f__units[unit].ufd;
  const off_t position =
      std::fflush(stream) == 0 ? ::lseek(::fileno(stream), 0, SEEK_CUR) : -1;
  if (position < 0) {
    fatal(unit_name(unit) + ": cannot hand back what was read ahead: " +
          std::strerror(errno));
  }
  return position;
}

int flush_console() {
  if (std::fflush(stdout) == EOF && console_failure == 0) {
    console_failure = errno;
  }
  if (std::ferror(stdout) != 0 && console_failure == 0) {
    console_failure = EIO; // a buffer refused earlier, its reason gone
  }
  return console_failure;
}

bool console_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }

bool same_file(const std::string &a, const std::string &b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void close(int unit) {
  f2c_cllist control{0, unit, nullptr};
  f_clos(&control);
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

double read_integer(int unit, std::int32_t &value) {
  f2c_cilist control = list_control(unit);
  f2c_integer type = kTypeInteger;
  f2c_integer count = 1;
  // The run-time reads the value as a double and wraps one beyond the 32-bit
  // range to the lowest integer; the double is kept in f__lx. A read that
  // leaves `value` as it was leaves f__lx as set here.
  f__lx = value;
  s_rsle(&control);
  do_lio(&type, &count, reinterpret_cast<char *>(&value),
         static_cast<f2c_length>(sizeof value));
  e_rsle();
  if (value == std::numeric_limits<std::int32_t>::min()) {
    return f__lx;
  }
  return value;
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
  if (write_failure == 0 && std::ferror(f__units[unit].ufd) != 0) {
    write_failure = errno;
  }
}

} // namespace fio
