#include "fatal.hpp"

#include "fortran_io.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

void fatal(std::string_view message) {
  std::string line = "cdmg2csv: ";
  line.append(message);
  line.push_back('\n');
  fio::hold_ending_signals();
  std::fflush(stdout);
  std::fputs(line.c_str(), stderr);
  std::exit(kExitRefused);
}
