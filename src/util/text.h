// Text helpers for the language's UTF-16 text.
//
// Every value a script sees is a std::u16string; lengths and positions count
// UTF-16 code units. The helpers here implement the few character rules the
// language shares: blanks are every code unit up to and including the space,
// and case folding touches the ASCII letters a to z only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace talvex {

using Text = std::u16string;
using TextView = std::u16string_view;

// A blank is any character up to and including the space character.
inline bool is_blank(char16_t c) {
  return c <= u' ';
}

inline char16_t ascii_upper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? c - 32 : c;
}

// Leading, trailing and both-sides trimming of blanks, as views into `s`.
TextView trim_left(TextView s);
TextView trim_right(TextView s);
TextView trim(TextView s);

// Upper-cases the ASCII letters a to z; every other character stays.
Text upper(TextView s);
void upper_in_place(Text& s);

// Equality that ignores the case of a to z only.
bool equals_ci(TextView a, TextView b);
// True when `s` begins with `prefix`, ignoring the case of a to z.
bool starts_with_ci(TextView s, TextView prefix);

// Conversion between the UTF-8 of C++ literals and UTF-16. Used for the
// runtime's own fixed texts; file and console bytes go through the code page.
Text from_utf8(std::string_view s);
std::string to_utf8(TextView s);

// Decimal text of an integer.
Text int_to_text(int64_t v);

}  // namespace talvex
