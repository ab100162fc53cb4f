#include "util/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace talvex {

namespace {

int hex_digit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> parse_integer(TextView s) {
  std::optional<int64_t> v = parse_integer64(s);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*v) & 0xFFFFFFFFu));
}

std::optional<int64_t> parse_integer64(TextView s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && is_blank(s[i])) ++i;
  bool negative = false;
  if (i < n && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  uint64_t value = 0;
  if (i < n &&
      (s[i] == u'$' || (s[i] == u'0' && i + 1 < n && (s[i + 1] == u'x' || s[i + 1] == u'X')))) {
    i += s[i] == u'$' ? 1 : 2;
    if (i == n) return std::nullopt;
    for (; i < n; ++i) {
      int d = hex_digit(s[i]);
      if (d < 0 || (value >> 60) != 0) return std::nullopt;
      value = (value << 4) | static_cast<uint64_t>(d);
    }
  } else {
    if (i == n) return std::nullopt;
    // Decimal text must fit a signed 64-bit integer.
    const uint64_t limit = negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1;
    for (; i < n; ++i) {
      if (s[i] < u'0' || s[i] > u'9') return std::nullopt;
      uint64_t d = s[i] - u'0';
      if (value > (limit - d) / 10) return std::nullopt;
      value = value * 10 + d;
    }
  }
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

std::optional<double> parse_number(TextView s) {
  // Plain integers of up to 15 digits, the usual operands, are read directly
  // and exactly.
  if (!s.empty() && s.size() <= 16) {
    size_t k = s[0] == u'-' ? 1 : 0;
    if (k < s.size()) {
      int64_t v = 0;
      size_t j = k;
      for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j) v = v * 10 + (s[j] - u'0');
      if (j == s.size()) return static_cast<double>(k ? -v : v);
    }
  }
  size_t i = 0;
  const size_t n = s.size();
  while (i < n && is_blank(s[i])) ++i;
  std::string ascii;
  ascii.reserve(n - i);
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ascii.push_back(static_cast<char>(s[i++]));
  size_t digits = 0;
  for (; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, ++digits)
    ascii.push_back(static_cast<char>(s[i]));
  if (i < n && s[i] == u'.') {
    ascii.push_back('.');
    for (++i; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, ++digits) {
      ascii.push_back(static_cast<char>(s[i]));
    }
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ascii.push_back('e');
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ascii.push_back(static_cast<char>(s[i++]));
    size_t exp_digits = 0;
    for (; i < n && s[i] >= u'0' && s[i] <= u'9'; ++i, ++exp_digits) {
      ascii.push_back(static_cast<char>(s[i]));
    }
    if (exp_digits == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;
  // strtod in the "C" locale always reads "." as the decimal point; the
  // runtime never changes LC_NUMERIC.
  double v = std::strtod(ascii.c_str(), nullptr);
  if (std::isinf(v)) return std::nullopt;
  return v;
}

Text format_general(double v) {
  if (std::isnan(v)) return u"NAN";
  if (std::isinf(v)) return v < 0 ? u"-INF" : u"INF";
  if (v == 0) return u"0";
  // Whole numbers of up to 15 digits print as they are.
  if (std::fabs(v) < 1e15 && v == std::trunc(v)) return int_to_text(static_cast<int64_t>(v));
  // Round to 15 significant digits first; the notation depends on the
  // rounded value (999999999999999.9 becomes 1E15).
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", v);
  // buf: [-]d.dddddddddddddde[+-]xx
  std::string s(buf);
  bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  size_t epos = s.find('e');
  int exponent = std::atoi(s.c_str() + epos + 1);
  std::string digits = s.substr(0, 1) + s.substr(2, epos - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (negative) out.push_back('-');
  const double magnitude = std::fabs(v);
  if (exponent < 15 && magnitude >= 0.00001) {
    if (exponent >= 0) {
      size_t int_len = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= int_len) {
        out += digits;
        out.append(int_len - digits.size(), '0');
      } else {
        out += digits.substr(0, int_len);
        out.push_back('.');
        out += digits.substr(int_len);
      }
    } else {
      out += "0.";
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out += digits;
    }
  } else {
    out.push_back(digits[0]);
    if (digits.size() > 1) {
      out.push_back('.');
      out += digits.substr(1);
    }
    out.push_back('E');
    out += std::to_string(exponent);
  }
  return Text(out.begin(), out.end());
}

}  // namespace talvex
