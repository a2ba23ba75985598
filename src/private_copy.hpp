// The private copy a component file is read from.
//
// The run-time reads a component through a stdio stream on one descriptor.
// Before the first read the descriptor is given a private in-memory copy of
// the file with LF line ends, so that the file itself is never held open and
// a named pipe is read to its end once; the copy can then be rewritten where
// the published layout needs it without touching the file.
#ifndef CDMG2CSV_PRIVATE_COPY_HPP
#define CDMG2CSV_PRIVATE_COPY_HPP

#include <cstdint>
#include <string>
#include <string_view>

// Puts a copy of everything readable on `descriptor`, with its CR-LF line ends
// made LF line ends, under the same descriptor, positioned at its start.
// `name` names the file in the report when that fails.
void make_private_copy(int descriptor, std::string_view name);

// The record of the copy on `descriptor` that starts at byte `offset`,
// without its line end; at most `limit` bytes of it.
std::string peek_record(int descriptor, std::int64_t offset,
                        std::size_t limit, std::string_view name);

// Overwrites `count` bytes of the copy at `offset` with blanks.
void blank_bytes(int descriptor, std::int64_t offset, std::size_t count,
                 std::string_view name);

// Replaces the copy on `descriptor` with one whose bytes from `offset` on
// have every touching value parted from the one before it by a blank (see
// TouchingValueFilter), and positions the descriptor at `offset`.
void part_touching_values(int descriptor, std::int64_t offset,
                          std::string_view name);

#endif
