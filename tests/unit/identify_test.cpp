#include "lang/identify.h"

#include <gtest/gtest.h>

namespace talvex {
namespace {

Text code_text(Code c) {
  Text t;
  for (size_t i = 0; i < (c & 0xFF); ++i) t.push_back(static_cast<char16_t>(c >> (16 * i + 8)));
  return t;
}

TEST(Identify, Codes) {
  struct Case {
    const char16_t* line;
    const char16_t* code;
    const char16_t* params;
  } cases[] = {
      {u"Let>a=1", u"LET", u"a=1"},
      {u"LET>a=1", u"LET", u"a=1"},
      {u"letter>a=1", u"LET", u"a=1"},
      {u"   Let>a=1  ", u"LET", u"a=1  "},
      {u"WaitWindowOpen>Notepad", u"WWO", u"Notepad"},
      {u"WaitWindowOpen >Notepad", u"WAI", u"Notepad"},  // exact test fails
      {u"WaitWindowOpen Notepad", u"WAI", u"Notepad"},
      {u"Wait 2", u"WAI", u"2"},
      {u"Wait>2", u"WAI", u"2"},
      {u"waitclipboard", u"WCB", u"waitclipboard"},  // prefix test, no ">"
      {u"WaitScreenTextX>a", u"WST", u"a"},
      {u"GetWindowText>x,v", u"GWT", u"x,v"},
      {u"GetWindowTextEx>x,v", u"GWE", u"x,v"},  // the later name wins
      {u"GetFileListing>x", u"GFL", u"x"},
      {u"Get>x", u"GET", u"x"},
      {u"SetFocus>x", u"SET", u"x"},
      {u"MoveWindow>a", u"MVW", u"a"},
      {u"MoveFile>a", u"MOV", u"a"},
      {u"Move>a", u"MOV", u"a"},
      {u"IfFileExists>f", u"IFE", u"f"},
      {u"IfFileExistsX>f", u"IFF", u"f"},
      {u"If>a=1", u"IF>", u"a=1"},
      {u"WriteLn>f", u"WLN", u"f"},
      {u"Writer>f", u"WLN", u"f"},
      {u"Shutdown>1", u"SDW", u"1"},
      {u"CompareBitmaps>a", u"CPB", u"a"},
      {u"Communicate>a", u"CPB", u"a"},
      {u"SOWriteLn>done", u"SOL", u"done"},
      {u"SOWrite>done", u"SOW", u"done"},
      {u"LibFuncW>a", u"LIW", u"a"},
      {u"LibFunc>a", u"LIB", u"a"},
      {u"DBClose>c", u"DBX", u"c"},
      {u"DBConnection>c", u"DBC", u"c"},
      {u"// comment", u"// ", u"comment"},
      {u"", u"", u""},
      {u"ab", u"AB", u"ab"},
      {u"Label>x", u"LAB", u"x"},
      {u"a>b>c", u"A>B", u"b>c"},
  };
  for (const auto& c : cases) {
    Identified id = identify(c.line);
    EXPECT_EQ(code_text(id.code), Text(c.code)) << to_utf8(c.line);
    EXPECT_EQ(id.params, TextView(c.params)) << to_utf8(c.line);
  }
}

TEST(Identify, RawCodeIsTheFirstThreeLettersInUpperCase) {
  EXPECT_EQ(raw_code(u"  include>x"), u"INC"_code);
  EXPECT_EQ(raw_code(u"WaitWindowOpen>x"), u"WAI"_code);
  EXPECT_EQ(raw_code(u"/*x"), u"/*X"_code);
}

}  // namespace
}  // namespace talvex
