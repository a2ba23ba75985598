// The conversion as the run-time alone does it: the same reads of the three
// component files, and rows written with the F edit descriptors by the
// run-time's own number output. It does not handle CR-LF files and it drops
// the zero before the decimal point, so it is only a yardstick for timing.
#include "component_reader.hpp"
#include "fortran_io.hpp"
#include "libf2c.hpp"
#include "record_layout.hpp"

#include <algorithm>
#include <cstdint>

namespace {

// Connects the unit straight through the run-time, as a plain program would.
void open_plain(const fio::Text &name, const char *status) {
  f2c_olist control{};
  control.ounit = fio::kDataUnit;
  control.ofnm = name.data();
  control.ofnmlen = static_cast<f2c_length>(name.size());
  control.osta = status;
  f_open(&control);
}

Series x;
Series y;
Series z;
std::int32_t nt = 0;
float dt = 0.0F;

void read_plain(const char *file, Series &series) {
  fio::Text name{};
  fio::assign(name, file);
  fio::Text line{};
  open_plain(name, "old");
  fio::read_text(fio::kDataUnit, line);
  for (int record = 0; record < layout::kRecordsBeforeCount; ++record) {
    fio::skip_record(fio::kDataUnit);
  }
  fio::read_integer(fio::kDataUnit, nt);
  fio::read_reals(fio::kDataUnit, &dt, 1);
  for (int record = 0; record < layout::kRecordsBeforeCaption; ++record) {
    fio::skip_record(fio::kDataUnit);
  }
  fio::read_text(fio::kDataUnit, line);
  const std::int32_t samples = std::clamp(nt, 0, kSeriesCapacity);
  series.assign(static_cast<std::size_t>(samples), 0.0F);
  for (std::int32_t k = 0; k + 8 <= samples; k += 8) {
    fio::read_reals(fio::kDataUnit, series.data() + k, 8);
  }
  if (samples % 8 > 0) {
    fio::read_reals(fio::kDataUnit, series.data() + samples - samples % 8,
                    samples % 8);
  }
  fio::close(fio::kDataUnit);
}

} // namespace

int main(int argc, char **argv) {
  fio::start(argc, argv);
  read_plain("RRS-N41W.txt", x);
  read_plain("RRS-S49W.txt", y);
  read_plain("RRS-UP.txt", z);
  fio::Text name{};
  fio::read_console_text(name);
  open_plain(name, "unknown");
  char format[] = "(F7.3,3(',',F10.3))";
  f2c_cilist control{0, fio::kDataUnit, 0, format, 0};
  f2c_integer one = 1;
  const std::int32_t rows = std::clamp(
      nt, 0, static_cast<std::int32_t>(std::min({x.size(), y.size(), z.size()})));
  for (std::int32_t k = 0; k < rows; ++k) {
    float t =
        static_cast<float>(static_cast<double>(k) * static_cast<double>(dt));
    s_wsfe(&control);
    do_fio(&one, reinterpret_cast<char *>(&t), sizeof t);
    do_fio(&one, reinterpret_cast<char *>(&x[static_cast<std::size_t>(k)]),
           sizeof(float));
    do_fio(&one, reinterpret_cast<char *>(&y[static_cast<std::size_t>(k)]),
           sizeof(float));
    do_fio(&one, reinterpret_cast<char *>(&z[static_cast<std::size_t>(k)]),
           sizeof(float));
    e_wsfe();
  }
  fio::close(fio::kDataUnit);
  fio::stop();
}
