#include "lang/var_store.h"

#include <gtest/gtest.h>

namespace talvex {
namespace {

// A store as a run sets it up: the three fixed entries first.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store.set(u"_LINE_NUM", u"0");
    store.set(u"VAREXPLICIT", u"0");
    store.set(u"IGNORESPACES", u"0");
    store.set_command_line_args(&args);
  }
  Text sub(TextView t, bool repeated = true) { return store.substitute(t, repeated); }

  VarStore store;
  std::vector<Text> args;
};

TEST_F(StoreTest, NamesIgnoreCaseOfAsciiLettersOnly) {
  store.set(u"Total", u"5");
  store.set(u"TOTAL", u"6");
  EXPECT_EQ(store.size(), 4u);
  EXPECT_EQ(store.entries()[3].name, u"TOTAL");
  EXPECT_EQ(sub(u"%total%"), u"6");
  // Non-ASCII letters keep their case: two different variables.
  store.set(u"\u00E9t\u00E9", u"summer");
  store.set(u"\u00C9T\u00C9", u"SUMMER");
  EXPECT_EQ(store.size(), 6u);
  EXPECT_EQ(sub(u"%\u00E9T\u00E9%"), u"summer");
}

TEST_F(StoreTest, EntriesKeepCreationOrder) {
  for (const char16_t* n : {u"b", u"a", u"c"}) store.set(n, u"x");
  store.set(u"A", u"y");
  ASSERT_EQ(store.size(), 6u);
  EXPECT_EQ(store.entries()[3].name, u"B");
  EXPECT_EQ(store.entries()[4].name, u"A");
  EXPECT_EQ(store.entries()[4].value, u"y");
  EXPECT_EQ(store.entries()[5].name, u"C");
}

TEST_F(StoreTest, Substitution) {
  store.set(u"total", u"5");
  store.set(u"a", u"%b%");
  store.set(u"b", u"hello");
  store.set(u"self", u"x%self%");
  store.set(u"empty", u"");
  struct Case {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"total", u"5"},  // whole-name lookup
      {u"%Total%", u"5"},
      {u"total cost", u"total cost"},  // a text with a space is no name
      {u"%x%", u"%x%"},                // undefined stays as written
      {u"%a%", u"hello"},              // repeated substitution
      {u"[%a%]", u"[hello]"},
      {u"%self%", u"x%self%"},  // a value holding its own reference
      {u"%%", u"%%"},
      {u"100%", u"100%"},  // a lone percent sign
      {u"%total%%total%", u"55"},
      {u"%MY VAR%", u"%MY VAR%"},
      {u"%empty%|", u"|"},
      {u"a%total", u"a%total"},
  };
  for (const auto& c : cases) EXPECT_EQ(sub(c.in), Text(c.out)) << to_utf8(c.in);
  // Without repeat the value is taken as it is.
  EXPECT_EQ(sub(u"%a%", false), u"%b%");
}

TEST_F(StoreTest, VarExplicitTurnsOffWholeNameLookup) {
  store.set(u"total", u"5");
  store.set(u"VAREXPLICIT", u"1");
  EXPECT_EQ(sub(u"total"), u"total");
  EXPECT_EQ(sub(u"%total%"), u"5");           // references still work
  EXPECT_EQ(store.entries()[1].value, u"1");  // and the setting is restored
}

TEST_F(StoreTest, IgnoreSpacesTrimsNamesAndValues) {
  store.set(u"IGNORESPACES", u"1");
  store.set(u" name ", u"  padded  ");
  EXPECT_EQ(store.entries().back().name, u"NAME");
  EXPECT_EQ(store.entries().back().value, u"  padded  ");  // stored as passed
  EXPECT_EQ(sub(u"%name%"), u"padded");
  EXPECT_EQ(sub(u"  name  "), u"padded");
  EXPECT_EQ(store.entries()[2].value, u"1");
}

TEST_F(StoreTest, CommandLineArgumentsAreTheFallback) {
  args = {u"-RUN", u"x.scp", u"/colour=red", u"/path=c:\\data=1", u"/novalue"};
  EXPECT_EQ(sub(u"%COLOUR%"), u"red");
  EXPECT_EQ(sub(u"colour"), u"red");
  EXPECT_EQ(sub(u"%path%"), u"c:\\data=1");  // split at the first "="
  EXPECT_EQ(sub(u"%novalue%"), u"%novalue%");
  store.set(u"colour", u"blue");
  EXPECT_EQ(sub(u"%COLOUR%"), u"blue");
}

TEST_F(StoreTest, CyclesAndDeepChainsEnd) {
  store.set(u"A", u"%B%");
  store.set(u"B", u"%A%");
  (void)sub(u"%A%");  // what comes back is not fixed; it must come back
  store.set(u"C", u"%D%%D%");
  store.set(u"D", u"%C%%C%");
  (void)sub(u"%C%");
  // A chain of 1000 references is followed to its end.
  for (int i = 0; i < 1000; ++i) {
    store.set(u"chain" + int_to_text(i), u"%chain" + int_to_text(i + 1) + u"%");
  }
  store.set(u"chain1000", u"end");
  EXPECT_EQ(sub(u"%chain0%"), u"end");
  // A much longer one is cut off without a crash.
  for (int i = 0; i < 100000; ++i) {
    store.set(u"deep" + int_to_text(i), u"%deep" + int_to_text(i + 1) + u"%");
  }
  (void)sub(u"%deep0%");
}

TEST_F(StoreTest, BracesFallBackToPlainSubstitutionWhenEvaluationFails) {
  store.set(u"n", u"12");
  EXPECT_EQ(sub(u"{%n%+1}"), u"{12+1}");
  Text seen;
  store.set_expression_hook([&](const Text& x) -> std::optional<Text> {
    seen = x;
    return u"13";
  });
  EXPECT_EQ(sub(u"{%n%+1}"), u"13");
  EXPECT_EQ(seen, u"12+1");
  EXPECT_EQ(sub(u"{n+1}"), u"13");
  EXPECT_EQ(seen, u"n+1");
}

TEST_F(StoreTest, SubstituteForExpressionMakesLiterals) {
  store.set(u"n", u"12");
  store.set(u"s", u"abc");
  store.set(u"e", u"");
  store.set(u"q", u"\"x\"");
  store.set(u"exp", u"E5");
  store.set(u"dot", u".");
  store.set(u"neg", u"-1.5e3");
  struct Case {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {
      {u"%n%+1", u"12+1"},       {u"%s%", u"\"abc\""},   {u"%e%", u"\"\""},
      {u"%q%", u"\"x\""},        {u"%exp%", u"\"E5\""},  {u"%dot%", u"\".\""},
      {u"%neg%", u"-1.5e3"},     {u"%nope%", u"%nope%"}, {u"5%", u"5%"},
      {u"%n%%s%", u"12\"abc\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(store.substitute_for_expression(c.in), Text(c.out)) << to_utf8(c.in);
  }
}

TEST(Store, AnEmptyStoreSubstitutesNothing) {
  VarStore store;
  EXPECT_EQ(store.substitute(u"%a%", true), u"%a%");
}

}  // namespace
}  // namespace talvex
