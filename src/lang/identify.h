// Command identification: turning the name written on a line into its
// three-letter command code and cutting off the parameter text.
#pragma once

#include <cstdint>

#include "util/text.h"

namespace talvex {

// A command code packed into an integer: up to three UTF-16 code units and
// the length, so codes compare and switch like numbers.
using Code = uint64_t;

constexpr Code make_code(TextView s) {
  Code c = s.size() > 3 ? 3 : s.size();
  for (size_t i = 0; i < s.size() && i < 3; ++i) c |= Code{s[i]} << (16 * i + 8);
  return c;
}

constexpr Code operator""_code(const char16_t* s, size_t n) {
  return make_code(TextView(s, n));
}

// The first three characters of the left-trimmed line in upper case: the
// code before any long-name test, which the comment and Include tests use.
Code raw_code(TextView line);

struct Identified {
  Code code;
  TextView params;  // a view into the line
};

// Identifies the command of a line: the raw code, replaced by the long-name
// tests of its group and the WRI/SHU/COM rule, and the parameter text (after
// the first ">", else after the first blank, else the whole line).
Identified identify(TextView line);

}  // namespace talvex
