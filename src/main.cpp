// cdmg2csv: converts one three-component strong-motion accelerogram, given as
// three CDMG-type component files under fixed names in the working directory,
// into one comma-separated table of the time and the three accelerations.
//
// The only input typed at the console is the name of the output table. All
// record I/O goes through the libf2c run-time, whose report on standard error
// ends the run at the first failure.
#include "component_reader.hpp"
#include "fatal.hpp"
#include "fortran_io.hpp"
#include "table_writer.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char *kBanner =
    "Program for Reading CDMG-TYpe Strong Motion Data";
constexpr const char *kFilePrompts[] = {
    "Enter 1st File Name of 3 Components",
    "Enter 2nd File Name of 3 Components",
    "Enter 3rd File Name of 3 Components",
};
constexpr const char *kOutputPrompt =
    "Enter Output Acceleration File Name (CSV format)";

// The component files of one accelerogram: two horizontal orientations and
// the vertical.
constexpr const char *kFirstComponent = "RRS-N41W.txt";
constexpr const char *kSecondComponent = "RRS-S49W.txt";
constexpr const char *kThirdComponent = "RRS-UP.txt";

// The component series live for the whole run; a sample that a file does
// not give counts as zero.
Series x;
Series y;
Series z;

// Sample count and interval of the component read last; 0 until a file
// gives them a value.
std::int32_t nt = 0;
float dt = 0.0F;

fio::Text infile1;
fio::Text infile2;
fio::Text infile3;

const char *const kComponentFiles[] = {kFirstComponent, kSecondComponent,
                                       kThirdComponent};

// Refuses an output name that would lose data: one holding a NUL character,
// which the system would cut there, or one that leads to a component file,
// which the table would replace.
void check_output_name(const fio::Text &name) {
  const std::string output(fio::trimmed(name));
  if (output.find('\0') != std::string::npos) {
    fatal("the output name holds a NUL character");
  }
  for (const char *component : kComponentFiles) {
    if (fio::same_file(output, component)) {
      fatal(output + ": is the component file " + component +
            "; the table is not written over it");
    }
  }
}

} // namespace

// One conversion run: banner and prompts, the three component files, the
// output name, the table.
extern "C" int MAIN__() {
  fio::print_record({kBanner});
  fio::print_record({});
  for (const char *prompt : kFilePrompts) {
    fio::print_record({prompt});
  }

  fio::assign(infile1, kFirstComponent);
  fio::assign(infile2, kSecondComponent);
  fio::assign(infile3, kThirdComponent);

  read_component(infile1, x, nt, dt);
  read_component(infile2, y, nt, dt);
  read_component(infile3, z, nt, dt);

  fio::print_record({});
  fio::print_record({kOutputPrompt});
  // The first name buffer is free again and takes the output name.
  fio::read_console_text(infile1);
  check_output_name(infile1);

  // The transcript goes out before the table is opened, so that trouble on
  // the console cannot tear the table. A console that cannot be written
  // still gets the whole table, and then the run reports it.
  const int console_failure = fio::flush_console();
  write_table(infile1, nt, dt, x, y, z);
  if (console_failure != 0) {
    fatal(std::string("standard output: ") + std::strerror(console_failure));
  }
  fio::stop();
}

int main(int argc, char **argv) {
  fio::start(argc, argv);
  MAIN__();
  return EXIT_SUCCESS;
}
