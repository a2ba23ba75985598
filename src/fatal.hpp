// The one way the program's own checks end a run.
#ifndef CDMG2CSV_FATAL_HPP
#define CDMG2CSV_FATAL_HPP

#include <string_view>

// Exit status of a run stopped by one of the program's own checks. The
// run-time's fatal errors end the process through abort(), and an interrupt
// or a termination request ends it with status 1.
inline constexpr int kExitRefused = 2;

// Writes "cdmg2csv: <message>" as one line on standard error and ends the run
// with kExitRefused; the run-time closes its units on the way out.
[[noreturn]] void fatal(std::string_view message);

#endif
