// Reading one CDMG-type component file into a component series.
#ifndef CDMG2CSV_COMPONENT_READER_HPP
#define CDMG2CSV_COMPONENT_READER_HPP

#include "fortran_io.hpp"

#include <cstdint>
#include <string>
#include <vector>

// The most samples a component series holds; a file with a larger sample
// count is refused. A series takes memory for the samples its file has, not
// for the capacity.
inline constexpr std::int32_t kSeriesCapacity = 1000000;

// Sample k of a component at position k - 1. A series holds the `nt` samples
// of its file; every sample the file does not give, and every sample past
// the end of the series, counts as zero.
using Series = std::vector<float>;

// Why a sample count of `nt` is refused: it is above kSeriesCapacity.
std::string capacity_refusal(const std::string &nt);

// Reads the component file `name` into `series` and sets `nt` and `dt` from
// its header; a header value the file leaves empty keeps the value it had.
// Echoes the title record, the interval and sample count, and the data
// caption on the console.
void read_component(const fio::Text &name, Series &series, std::int32_t &nt,
                    float &dt);

#endif
