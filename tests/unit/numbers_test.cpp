#include "util/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace talvex {
namespace {

TEST(Numbers, IntegerRule) {
  struct Case {
    const char16_t* text;
    std::optional<int32_t> value;
  } cases[] = {
      {u"0", 0},
      {u"42", 42},
      {u"  -17", -17},
      {u"+5", 5},
      {u"$1F", 31},
      {u"0x1f", 31},
      {u"0X10", 16},
      {u"-$10", -16},
      {u"2147483648", INT32_MIN},  // the low 32 bits of the 64-bit value
      {u"4294967295", -1},
      {u"4294967298", 2},
      {u"9223372036854775807", -1},
      {u"-9223372036854775808", 0},
      {u"9223372036854775808", std::nullopt},  // 64-bit overflow
      {u"$FFFFFFFFFFFFFFFF", -1},
      {u"$1FFFFFFFFFFFFFFFF", std::nullopt},
      {u"abc", std::nullopt},
      {u"", std::nullopt},
      {u" ", std::nullopt},
      {u"12 ", std::nullopt},  // trailing text is not part of an integer
      {u"1.5", std::nullopt},
      {u"$", std::nullopt},
      {u"0x", std::nullopt},
      {u"-", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_integer(c.text), c.value) << to_utf8(c.text);
  }
  EXPECT_EQ(integer_or_zero(u"abc"), 0);
}

TEST(Numbers, NumberRule) {
  struct Case {
    const char16_t* text;
    std::optional<double> value;
  } cases[] = {
      {u"0.5", 0.5},
      {u" 12", 12},
      {u"-3.25", -3.25},
      {u"+1e3", 1000},
      {u"1E-2", 0.01},
      {u".5", 0.5},
      {u"5.", 5},
      {u"2.5e+2", 250},
      {u".", std::nullopt},
      {u"", std::nullopt},
      {u"abc", std::nullopt},
      {u"1e", std::nullopt},
      {u"E5", std::nullopt},
      {u"1,5", std::nullopt},
      {u"1 ", std::nullopt},
      {u"0x10", std::nullopt},
      {u"1e999", std::nullopt},
      {u"--1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse_number(c.text), c.value) << to_utf8(c.text);
  }
}

TEST(Numbers, GeneralFormat) {
  struct Case {
    double value;
    const char16_t* text;
  } cases[] = {
      {0, u"0"},
      {-0.0, u"0"},
      {1, u"1"},
      {-2.5, u"-2.5"},
      {0.1 + 0.2, u"0.3"},
      {1.0 / 3, u"0.333333333333333"},
      {2.0 / 3, u"0.666666666666667"},
      {123456789012345, u"123456789012345"},
      {999999999999999, u"999999999999999"},
      {1e15, u"1E15"},
      {1234567890123456, u"1.23456789012346E15"},
      {999999999999999.9, u"1E15"},
      {0.00001, u"0.00001"},
      {0.000015, u"0.000015"},
      {0.0000015, u"1.5E-6"},
      {1.5e-7, u"1.5E-7"},
      {-1e20, u"-1E20"},
      {100, u"100"},
      {1e14, u"100000000000000"},
      {12.5e-3, u"0.0125"},
      {5e-324, u"4.94065645841247E-324"},
      {INFINITY, u"INF"},
      {-INFINITY, u"-INF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(format_general(c.value), Text(c.text)) << c.value;
  }
}

}  // namespace
}  // namespace talvex
