#include <gtest/gtest.h>

#include "system/ini_file.h"

namespace talvex {
namespace {

TEST(Ini, Reads) {
  struct Case {
    std::string file;
    const char16_t* section;
    const char16_t* entry;
    std::optional<Text> value;
  } cases[] = {
      {"[a]\r\nk=v\r\n", u"a", u"k", u"v"},
      {"[a]\r\nk=v\r\n", u"A", u"K", u"v"},                     // names ignore case
      {"  [ a ]  \nk = v w \n", u"a", u"k", u"v w"},            // blanks trimmed
      {"[a]\nk=1\nk=2\n", u"a", u"k", u"1"},                    // first entry wins
      {"[a]\nk=1\n[A]\nk=2\nj=3\n", u"a", u"j", std::nullopt},  // first section wins
      {"[a]\n;k=1\n", u"a", u"k", std::nullopt},                // comment
      {"[a]\nk=\"q \"\n", u"a", u"k", u"q "},                   // quotes removed
      {"[a]\nk=a=b\n", u"a", u"k", u"a=b"},                     // value keeps later "="
      {"k=top\n[a]\n", u"a", u"k", std::nullopt},               // entries before any section
      {"[a]\nnoequals\nk=v\n", u"a", u"k", u"v"},
      {"[a]\r\nk=v", u"a", u"k", u"v"},  // no final line end
      {"\xEF\xBB\xBF[s]\nk=caf\xC3\xA9\n", u"s", u"k", u"caf\u00E9"},
      {std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0w\0", 16), u"s", u"k", u"w"},
      {"", u"a", u"k", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument(c.file).read(c.section, c.entry), c.value) << c.file;
  }
}

TEST(Ini, Writes) {
  struct Case {
    std::string file;
    const char16_t* section;
    const char16_t* entry;
    const char16_t* value;
    std::string result;
  } cases[] = {
      {"[a]\r\nk=v\r\n", u"a", u"k", u"w", "[a]\r\nk=w\r\n"},
      {"[a]\r\nKey = v\r\n", u"A", u"key", u"w", "[a]\r\nKey=w\r\n"},  // keeps its spelling
      {"[a]\r\nk=v\r\n\r\n[b]\r\n", u"a", u"n", u"1", "[a]\r\nk=v\r\nn=1\r\n\r\n[b]\r\n"},
      {"[a]\nk=v\n", u"b", u"n", u"1", "[a]\nk=v\n[b]\nn=1\n"},  // LF files stay LF
      {"", u"s", u"k", u"v", "[s]\r\nk=v\r\n"},
      {"[a]\r\n;c\r\n", u"a", u"k", u"v", "[a]\r\n;c\r\nk=v\r\n"},
      {"\xEF\xBB\xBF[s]\r\n", u"s", u"k", u"\u00E9", "\xEF\xBB\xBF[s]\r\nk=\xC3\xA9\r\n"},
  };
  for (const auto& c : cases) {
    IniDocument doc(c.file);
    doc.write(c.section, c.entry, c.value);
    EXPECT_EQ(doc.bytes(), c.result) << c.file;
  }
  // Found by the INI fuzzer: a UTF-16BE file was written back in the ANSI code
  // page, where its first character turned into a byte-order mark.
  IniDocument big_endian(std::string("\xFE\xFF\xFE\xFF\0[\0\0\0a", 10));
  big_endian.write(u"a", u"k", u"value");
  EXPECT_EQ(big_endian.bytes().substr(0, 2), "\xFE\xFF");
  EXPECT_EQ(IniDocument(big_endian.bytes()).read(u"a", u"k"), std::optional<Text>(u"value"));
  IniDocument wide(std::string("\xFF\xFE[\0s\0]\0\r\0\n\0", 12));
  wide.write(u"s", u"k", u"v");
  EXPECT_EQ(wide.bytes(), std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22));
}

}  // namespace
}  // namespace talvex
