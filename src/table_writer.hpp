// Writing the acceleration table.
#ifndef CDMG2CSV_TABLE_WRITER_HPP
#define CDMG2CSV_TABLE_WRITER_HPP

#include "component_reader.hpp"
#include "fortran_io.hpp"

#include <cstdint>

// Writes the table `name`: row k, for k from 1 to nt, holds the time
// (k - 1) * dt and sample k of x, y and z as the fields F7.3 and three times
// a comma and F10.3. The file ends after the last row whatever it held
// before; with nt zero or negative it is left empty.
void write_table(const fio::Text &name, std::int32_t nt, float dt,
                 const Series &x, const Series &y, const Series &z);

#endif
