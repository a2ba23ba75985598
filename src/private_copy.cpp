#include "private_copy.hpp"

#include "fatal.hpp"
#include "text_filters.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::size_t kChunkSize = std::size_t{64} * 1024;
constexpr const char *kCopyStep = "cannot make a working copy";

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

// Calls `take` with each piece read from `descriptor` at its current
// position, and once more with an empty piece at the end of the file.
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
    take(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
    if (got == 0) {
      return;
    }
  }
}

int new_copy(std::string_view name) {
  const int copy = ::memfd_create("cdmg2csv-component", MFD_CLOEXEC);
  if (copy < 0) {
    fail(name, kCopyStep);
  }
  return copy;
}

// Writes what `descriptor` holds from its current position into `copy`,
// through `filter` (LineEndFilter or TouchingValueFilter).
template <typename Filter>
void copy_filtered(int descriptor, int copy, Filter filter,
                   std::string_view name) {
  std::string filtered;
  filtered.reserve(2 * kChunkSize);
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
  });
}

// Puts `copy` under `descriptor`, positioned at `offset`.
void replace(int descriptor, int copy, std::int64_t offset,
             std::string_view name) {
  if (::dup2(copy, descriptor) < 0 ||
      ::lseek(descriptor, offset, SEEK_SET) != offset) {
    fail(name, kCopyStep);
  }
  ::close(copy);
}

// Copies `count` bytes from the start of `from` to the current position of
// `to`.
void copy_prefix(int from, int to, std::int64_t count, std::string_view name) {
  std::array<char, kChunkSize> chunk{};
  std::int64_t done = 0;
  while (done < count) {
    const auto want = static_cast<std::size_t>(
        std::min<std::int64_t>(count - done, kChunkSize));
    const ssize_t got = ::pread(from, chunk.data(), want, done);
    if (got <= 0) {
      if (got < 0 && errno == EINTR) {
        continue;
      }
      fail(name, kCopyStep);
    }
    if (!write_all(to, std::string_view(chunk.data(),
                                        static_cast<std::size_t>(got)))) {
      fail(name, kCopyStep);
    }
    done += got;
  }
}

} // namespace

void make_private_copy(int descriptor, std::string_view name) {
  const int copy = new_copy(name);
  copy_filtered(descriptor, copy, LineEndFilter{}, name);
  replace(descriptor, copy, 0, name);
}

std::string peek_record(int descriptor, std::int64_t offset,
                        std::size_t limit, std::string_view name) {
  std::string record(limit, '\0');
  ssize_t got = 0;
  do {
    got = ::pread(descriptor, record.data(), limit, offset);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    fail(name, "read");
  }
  record.resize(static_cast<std::size_t>(got));
  const std::size_t end = record.find('\n');
  if (end != std::string::npos) {
    record.resize(end);
  }
  return record;
}

void blank_bytes(int descriptor, std::int64_t offset, std::size_t count,
                 std::string_view name) {
  const std::string blanks(count, ' ');
  if (::pwrite(descriptor, blanks.data(), count, offset) !=
      static_cast<ssize_t>(count)) {
    fail(name, kCopyStep);
  }
}

void part_touching_values(int descriptor, std::int64_t offset,
                          std::string_view name) {
  const int copy = new_copy(name);
  copy_prefix(descriptor, copy, offset, name);
  if (::lseek(descriptor, offset, SEEK_SET) != offset) {
    fail(name, kCopyStep);
  }
  copy_filtered(descriptor, copy, TouchingValueFilter{}, name);
  replace(descriptor, copy, offset, name);
}
