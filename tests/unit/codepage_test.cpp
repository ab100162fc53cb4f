#include "util/codepage.h"

#include <gtest/gtest.h>

namespace talvex {
namespace {

TEST(Codepage, Utf8DecodesValidSequences) {
  EXPECT_EQ(decode_utf8_lossless("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
            Text(u"A\u00E9\u20AC\U0001F600"));
}

// Every byte sequence must come back unchanged, whatever it holds.
TEST(Codepage, Utf8RoundTripsArbitraryBytes) {
  const std::string cases[] = {
      std::string("\xFF\xFE\x80", 3),       // bytes that never start UTF-8
      std::string("\xC3", 1),               // truncated sequence at the end
      std::string("\xE2\x82", 2),           // truncated three-byte sequence
      std::string("\xC0\xAF", 2),           // overlong slash
      std::string("\xED\xA0\x80", 3),       // an encoded surrogate
      std::string("\xF4\x90\x80\x80", 4),   // beyond U+10FFFF
      std::string("a\0b", 3),               // NUL survives
      std::string("\xC3\xA9\xFF\xC3\xA9"),  // valid around invalid
  };
  for (const std::string& bytes : cases) {
    Text t = decode_utf8_lossless(bytes);
    EXPECT_EQ(encode_utf8_lossless(t), bytes) << "case of " << bytes.size() << " bytes";
  }
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(encode_utf8_lossless(decode_utf8_lossless(all)), all);
}

TEST(Codepage, InvalidBytesBecomeLoneSurrogates) {
  Text t = decode_utf8_lossless("\x80x\xFF");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], 0xDC80);
  EXPECT_EQ(t[1], u'x');
  EXPECT_EQ(t[2], 0xDCFF);
}

TEST(Codepage, LoneSurrogatesNotFromBytesEncodeAsQuestionMark) {
  EXPECT_EQ(encode_utf8_lossless(Text(1, char16_t(0xD800))), "?");
  EXPECT_EQ(encode_utf8_lossless(Text(1, char16_t(0xDC41))), "?");
}

TEST(Codepage, Windows1252) {
  EXPECT_EQ(decode_1252("\x80\x9F\xE9\x81"), Text(u"\u20AC\u0178\u00E9\u0081"));
  EXPECT_EQ(encode_1252(u"\u20AC\u00E9\u0081\u4E2D"), "\x80\xE9\x81?");
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(encode_1252(decode_1252(all)), all);
}

TEST(Codepage, AnsiFollowsTheSelectedCodePage) {
  set_ansi_code_page(CodePage::kWindows1252);
  EXPECT_EQ(ansi_decode("\xE9"), Text(u"\u00E9"));
  set_ansi_code_page(CodePage::kUtf8);
  EXPECT_EQ(ansi_decode("\xE9"), Text(1, char16_t(0xDCE9)));
}

TEST(Codepage, TextFilesRecogniseByteOrderMarks) {
  struct Case {
    std::string bytes;
    Text text;
  } cases[] = {
      {"\xEF\xBB\xBFh\xC3\xA9", u"h\u00E9"},
      {std::string("\xFF\xFEh\0\xE9\0", 6), u"h\u00E9"},
      {std::string("\xFE\xFF\0h\0\xE9", 6), u"h\u00E9"},
      {"h\xC3\xA9", u"h\u00E9"},               // no mark: the ANSI code page
      {std::string("\xFF\xFEh\0x", 5), u"h"},  // an odd last byte is dropped
  };
  for (const auto& c : cases) EXPECT_EQ(decode_text_file(c.bytes), c.text);
}

TEST(Codepage, Utf16LittleEndianRoundTrip) {
  Text t = u"a\u20AC\U0001F600";
  EXPECT_EQ(decode_utf16le(encode_utf16le(t)), t);
}

}  // namespace
}  // namespace talvex
