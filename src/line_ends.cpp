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
constexpr std::size_t kChunkSize = std::size_t{64} * 1024;

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

// Calls `take` with each piece of the file on `descriptor` read from its
// current position, until `take` returns false or the file ends.
template <typename Take>
void read_pieces(int descriptor, std::string_view name, Take take) {
  std::array<char, kChunkSize> chunk{};
  for (;;) {
    const ssize_t got = ::read(descriptor, chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      fail(name, "read");
    }
    if (!take(std::string_view(chunk.data(), static_cast<std::size_t>(got))) ||
        got == 0) {
      return;
    }
  }
}

bool has_crlf(int descriptor, std::string_view name) {
  bool found = false;
  bool after_carriage_return = false;
  read_pieces(descriptor, name, [&](std::string_view piece) {
    found = (after_carriage_return && !piece.empty() &&
             piece.front() == kLineFeed) ||
            piece.find("\r\n") != std::string_view::npos;
    after_carriage_return = !piece.empty() && piece.back() == kCarriageReturn;
    return !found;
  });
  return found;
}

void copy_with_unix_line_ends(int descriptor, std::string_view name) {
  constexpr const char *kCopyStep = "cannot make a copy with LF line ends";
  const int copy = ::memfd_create("cdmg2csv-component", MFD_CLOEXEC);
  if (copy < 0) {
    fail(name, kCopyStep);
  }
  LineEndFilter filter;
  std::string filtered;
  filtered.reserve(kChunkSize + 1);
  read_pieces(descriptor, name, [&](std::string_view piece) {
    filtered.clear();
    if (piece.empty()) {
      filter.finish(filtered);
    } else {
      filter.filter(piece, filtered);
    }
    if (!write_all(copy, filtered)) {
      fail(name, kCopyStep);
    }
    return true;
  });
  if (::lseek(copy, 0, SEEK_SET) != 0 || ::dup2(copy, descriptor) < 0) {
    fail(name, kCopyStep);
  }
  ::close(copy);
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
  // A file with LF line ends only is left as it is; a descriptor that cannot
  // be read twice (a pipe) is always copied.
  const bool seekable = ::lseek(descriptor, 0, SEEK_CUR) == 0;
  if (seekable) {
    const bool needs_copy = has_crlf(descriptor, name);
    if (::lseek(descriptor, 0, SEEK_SET) != 0) {
      fail(name, "read");
    }
    if (!needs_copy) {
      return;
    }
  }
  copy_with_unix_line_ends(descriptor, name);
}
