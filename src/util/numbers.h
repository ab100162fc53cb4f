// The language's three number conventions, each in one function:
// the integer rule, the number rule and the general number format.
#pragma once

#include <cstdint>
#include <optional>

#include "util/text.h"

namespace talvex {

// The integer rule: optional leading blanks, an optional sign, then decimal
// digits or hexadecimal digits after "$" or "0x", read as a 64-bit integer of
// which the low 32 bits are used. Anything else, trailing text and 64-bit
// overflow included, is not an integer.
std::optional<int32_t> parse_integer(TextView s);
// The same reading with all 64 bits kept.
std::optional<int64_t> parse_integer64(TextView s);
// The integer rule as the commands use it: a text that is not an integer
// reads as 0.
inline int32_t integer_or_zero(TextView s) {
  return parse_integer(s).value_or(0);
}

// The number rule: optional leading blanks, an optional sign, digits with an
// optional "." and fraction (at least one digit in all), and an optional
// exponent. The decimal separator is always ".". The whole text must match,
// and a value outside the range of a double is not a number.
std::optional<double> parse_number(TextView s);

// The general number format: at most 15 significant digits, no trailing
// zeros, a decimal point only when there is a fraction; fixed notation when
// the integer part has at most 15 digits and the magnitude is at least
// 0.00001 (or the value is 0), otherwise mantissa "E" exponent (1E15, 1.5E-7).
Text format_general(double v);

}  // namespace talvex
