#include "util/text.h"

#include "util/codepage.h"

namespace talvex {

TextView trim_left(TextView s) {
  size_t i = 0;
  while (i < s.size() && is_blank(s[i])) ++i;
  return s.substr(i);
}

TextView trim_right(TextView s) {
  size_t n = s.size();
  while (n > 0 && is_blank(s[n - 1])) --n;
  return s.substr(0, n);
}

TextView trim(TextView s) {
  return trim_right(trim_left(s));
}

Text upper(TextView s) {
  Text r(s);
  upper_in_place(r);
  return r;
}

void upper_in_place(Text& s) {
  for (char16_t& c : s) c = ascii_upper(c);
}

bool equals_ci(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
  }
  return true;
}

bool starts_with_ci(TextView s, TextView prefix) {
  return s.size() >= prefix.size() && equals_ci(s.substr(0, prefix.size()), prefix);
}

Text from_utf8(std::string_view s) {
  return decode_utf8_lossless(s);
}

std::string to_utf8(TextView s) {
  return encode_utf8_lossless(s);
}

Text int_to_text(int64_t v) {
  char16_t buf[24];
  char16_t* end = buf + sizeof(buf) / sizeof(buf[0]);
  char16_t* p = end;
  uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  do {
    *--p = static_cast<char16_t>(u'0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (v < 0) *--p = u'-';
  return Text(p, end);
}

}  // namespace talvex
