// Reading one CDMG-type component file into a component series.
#ifndef CDMG2CSV_COMPONENT_READER_HPP
#define CDMG2CSV_COMPONENT_READER_HPP

#include "fortran_io.hpp"

#include <array>
#include <cstdint>
#include <string>

// The samples a component series holds; a file with a larger sample count is
// refused.
inline constexpr std::int32_t kSeriesCapacity = 33000;
using Series = std::array<float, kSeriesCapacity>;

// Why a sample count of `nt` is refused: it is above kSeriesCapacity.
std::string capacity_refusal(std::int32_t nt);

// Reads the component file `name` into `series`, sample k at position k - 1,
// and sets `nt` and `dt` from its header; a header value the file leaves
// empty keeps the value it had. Echoes the title record, the interval and
// sample count, and the data caption on the console.
void read_component(const fio::Text &name, Series &series, std::int32_t &nt,
                    float &dt);

#endif
