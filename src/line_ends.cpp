#include "line_ends.hpp"

#include "fatal.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr std::size_t kChunkSize = 64 * 1024;

[[noreturn]] void fail(std::string_view name, const char *step) {
  std::string message(name);
  message.append(": ").append(step).append(": ").append(std::strerror(errno));
  fatal(message);
}

// Writes all of `bytes` to `descriptor`.
bool write_all(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

} // namespace

void LineEndFilter::filter(std::string_view piece, std::string &out) {
  for (const char c : piece) {
    if (pending_carriage_return_ && c != kLineFeed) {
      out.push_back(kCarriageReturn);
    }
    pending_carriage_return_ = c == kCarriageReturn;
    if (!pending_carriage_return_) {
      out.push_back(c);
    }
  }
}

void LineEndFilter::finish(std::string &out) {
  if (pending_carriage_return_) {
    out.push_back(kCarriageReturn);
    pending_carriage_return_ = false;
  }
}

void use_unix_line_ends(int descriptor, std::string_view name) {
  const int copy = ::memfd_create("cdmg2csv-component", MFD_CLOEXEC);
  if (copy < 0) {
    fail(name, "cannot make a copy with LF line ends");
  }
  LineEndFilter filter;
  std::array<char, kChunkSize> chunk{};
  std::string filtered;
  filtered.reserve(kChunkSize + 1);
  for (;;) {
    const ssize_t got = ::read(descriptor, chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      fail(name, "read");
    }
    filtered.clear();
    if (got == 0) {
      filter.finish(filtered);
    } else {
      filter.filter(
          std::string_view(chunk.data(), static_cast<std::size_t>(got)),
          filtered);
    }
    if (!write_all(copy, filtered)) {
      fail(name, "cannot make a copy with LF line ends");
    }
    if (got == 0) {
      break;
    }
  }
  if (::lseek(copy, 0, SEEK_SET) != 0 || ::dup2(copy, descriptor) < 0) {
    fail(name, "cannot make a copy with LF line ends");
  }
  ::close(copy);
}
