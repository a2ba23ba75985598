// The program's number rendering: the list-directed real of the console
// transcript and the fixed-point fields of the acceleration table.
#ifndef CDMG2CSV_NUMBER_FORMAT_HPP
#define CDMG2CSV_NUMBER_FORMAT_HPP

#include <cstdint>
#include <string>

// A real as a list-directed console item: a blank, "-" or a blank, then the
// value with nine significant digits and trailing zeros dropped, always with
// a decimal point, in exponent form below 1E-4 and from 1E9 up. The zero
// before the decimal point is kept: 0.005 prints as "  0.00499999989".
std::string list_directed_real(float value);

// The exact value of `value` rounded to `decimals` decimals and right-aligned
// in a field of `width` characters, as a Fortran F edit descriptor writes it,
// but with the zero before the decimal point kept. A result that rounds to zero
// carries no sign; one that does not fit is a field of asterisks; an infinite
// or not-a-number value shows as inf, -inf or nan.
std::string fixed_field(float value, int width, int decimals);

// The time of table row `row` (from 1) at sample interval `dt`: the exact
// product (row - 1) * dt rounded once to single precision.
float row_time(std::int32_t row, float dt);

#endif
