#include <gtest/gtest.h>

#include "lang/expr/lexer.h"
#include "lang/expr/nodes.h"
#include "lang/expr/parser.h"
#include "platform/sim/sim_platform.h"

namespace talvex::expr {
namespace {

std::vector<Token> lex_all(TextView text) {
  Lexer lex(text);
  std::vector<Token> out;
  for (;;) {
    Token t = lex.next(true);
    out.push_back(t);
    if (t.kind == Tok::kEnd || t.kind == Tok::kBadNumber || t.kind == Tok::kBadHex) break;
  }
  return out;
}

TEST(ExprLexer, Numbers) {
  struct Case {
    const char16_t* text;
    Tok kind;
    double value;
  } cases[] = {
      {u"42", Tok::kInteger, 42},
      {u"1.5", Tok::kFloat, 1.5},
      {u"2.", Tok::kFloat, 2},
      {u"1e3", Tok::kFloat, 1000},
      {u"1E-2", Tok::kFloat, 0.01},
      {u"$ff", Tok::kInteger, 255},
      {u"$FFFFFFFF", Tok::kInteger, -1},
      {u"$80000000", Tok::kInteger, -2147483648.0},
      {u"1.2.3", Tok::kBadNumber, 0},
      {u"1e", Tok::kBadNumber, 0},
      {u"1e+5", Tok::kBadNumber, 0},  // "+" is no exponent sign
      {u"1e5.0", Tok::kBadNumber, 0},
      {u"12345678901234567890123456789", Tok::kBadNumber, 0},  // 29 characters
      {u"9223372036854775808", Tok::kIntegerOverflow, 0},
      {u"$", Tok::kBadHex, 0},
      {u"$123456789", Tok::kBadHex, 0},
  };
  for (const auto& c : cases) {
    Token t = Lexer(c.text).next(true);
    EXPECT_EQ(t.kind, c.kind) << to_utf8(c.text);
    if (c.kind == Tok::kInteger) {
      EXPECT_EQ(static_cast<double>(t.integer), c.value);
    }
    if (c.kind == Tok::kFloat) {
      EXPECT_EQ(t.number, c.value);
    }
  }
}

TEST(ExprLexer, OperatorWordsOverTheirOwnLength) {
  struct Case {
    const char16_t* word;
    bool is_op;
    Op op;
  } cases[] = {
      {u"AND", true, Op::kAnd},   {u"an", true, Op::kAnd},   {u"NO", true, Op::kNot},
      {u"SH", true, Op::kShl},    {u"shr", true, Op::kShr},  {u"OR", true, Op::kOr},
      {u"XO", true, Op::kXor},    {u"DI", true, Op::kDiv},   {u"MO", true, Op::kMod},
      {u"ANDX", false, Op::kNot}, {u"ABS", false, Op::kNot}, {u"SIN", false, Op::kNot},
      {u"ORX", false, Op::kNot},  {u"A", false, Op::kNot},   {u"PI", false, Op::kNot},
  };
  for (const auto& c : cases) {
    Token t = Lexer(c.word).next(true);
    EXPECT_EQ(t.kind == Tok::kOp, c.is_op) << to_utf8(c.word);
    if (c.is_op) {
      EXPECT_EQ(t.op, c.op) << to_utf8(c.word);
    }
    if (!c.is_op) {
      EXPECT_EQ(t.text, upper(c.word));
    }
  }
  // Outside an operator's place a word is an identifier.
  EXPECT_EQ(Lexer(u"AND").next(false).kind, Tok::kIdent);
}

TEST(ExprLexer, StringsAndSymbols) {
  auto t = lex_all(u"\"a\"\"b\" <> <= >= < > = ( ) , ^ % \x01x");
  ASSERT_EQ(t.size(), 14u);
  EXPECT_EQ(t[0].text, u"a\"b");
  EXPECT_EQ(t[1].op, Op::kNEq);
  EXPECT_EQ(t[2].op, Op::kLTE);
  EXPECT_EQ(t[3].op, Op::kGTE);
  EXPECT_EQ(t[4].op, Op::kLT);
  EXPECT_EQ(t[5].op, Op::kGT);
  EXPECT_EQ(t[6].op, Op::kEq);
  EXPECT_EQ(t[7].kind, Tok::kLParen);
  EXPECT_EQ(t[8].kind, Tok::kRParen);
  EXPECT_EQ(t[9].kind, Tok::kComma);
  EXPECT_EQ(t[10].op, Op::kExp);
  EXPECT_EQ(t[11].kind, Tok::kOther);
  EXPECT_EQ(t[12].kind, Tok::kIdent);  // \x01 is a blank
  Token open = Lexer(u"\"abc").next(true);
  EXPECT_TRUE(open.unterminated);
  EXPECT_EQ(open.text, u"abc");
}

TEST(ExprTypes, CanReadAs) {
  using V = VType;
  EXPECT_TRUE(can_read_as(V::kBoolean, V::kString));
  EXPECT_TRUE(can_read_as(V::kBoolean, V::kInteger));
  EXPECT_TRUE(can_read_as(V::kInteger, V::kFloat));
  EXPECT_FALSE(can_read_as(V::kFloat, V::kInteger));
  EXPECT_FALSE(can_read_as(V::kString, V::kFloat));
  EXPECT_FALSE(can_read_as(V::kBoolean, V::kObject));
  EXPECT_FALSE(can_read_as(V::kObject, V::kString));
  EXPECT_TRUE(can_read_as(V::kObject, V::kObject));
}

class ExprTest : public ::testing::Test {
 protected:
  void SetUp() override { sim.install_now(); }
  IValue parse(TextView text) { return ParseExpression(text, 7); }
  platform::SimPlatform sim;
};

// The type of each operator node over each common type.
TEST_F(ExprTest, OperatorTypeTable) {
  struct Case {
    const char16_t* text;
    VType type;
    bool message;  // "Operator %s incompatible with %s" or similar
  } cases[] = {
      {u"\"a\" + \"b\"", VType::kString, false},
      {u"\"a\" - \"b\"", VType::kObject, true},
      {u"\"a\" < \"b\"", VType::kBoolean, false},
      {u"1.5 * 2", VType::kFloat, false},
      {u"1.5 DIV 2", VType::kObject, true},
      {u"3 DIV 2", VType::kInteger, false},
      {u"3 / 2", VType::kFloat, false},
      {u"3 ^ 2", VType::kFloat, false},
      {u"3 SHL 2", VType::kInteger, false},
      {u"TRUE AND FALSE", VType::kBoolean, false},
      {u"TRUE + FALSE", VType::kObject, true},
      {u"1 + TRUE", VType::kInteger, false},
      {u"\"a\" + 1", VType::kString, false},
      {u"NOT 1", VType::kInteger, false},
      {u"NOT 1.5", VType::kObject, true},
      {u"NOT TRUE", VType::kBoolean, false},
      {u"-\"a\"", VType::kObject, true},
      {u"+\"a\"", VType::kString, false},
      {u"TRUE = FALSE", VType::kBoolean, false},
      {u"If(TRUE, 1, 2)", VType::kInteger, false},
      {u"Trunc(1.5)", VType::kInteger, false},
      {u"Sin(1)", VType::kFloat, false},
      {u"Pos(\"a\", \"b\")", VType::kInteger, false},
      {u"Float(1)", VType::kFloat, false},
  };
  for (const auto& c : cases) {
    sim.boxes_.clear();
    IValue v = parse(c.text);
    ASSERT_TRUE(v) << to_utf8(c.text);
    EXPECT_EQ(v->ExprType(), c.type) << to_utf8(c.text);
    EXPECT_EQ(!sim.boxes_.empty(), c.message) << to_utf8(c.text);
  }
}

TEST_F(ExprTest, MessagesQuoteTheLine) {
  EXPECT_FALSE(parse(u"1 2"));
  ASSERT_EQ(sim.boxes_.size(), 1u);
  EXPECT_EQ(sim.boxes_[0].text, u"Line: 7 2 not appropriate");
  EXPECT_EQ(sim.boxes_[0].buttons, platform::BoxButtons::kOk);
}

TEST_F(ExprTest, AndOrEvaluateTheRightOperandOnlyWhenNeeded) {
  // The right operand would show a message when read as a Boolean.
  IValue v = parse(u"FALSE AND (1 = Boolean(\"x\"))");
  ASSERT_TRUE(v);
  EXPECT_FALSE(v->AsBoolean());
  IValue w = parse(u"TRUE OR Boolean(\"x\")");
  ASSERT_TRUE(w);
  EXPECT_TRUE(w->AsBoolean());
  EXPECT_TRUE(sim.boxes_.empty());
}

TEST_F(ExprTest, IntegerArithmeticWraps) {
  IValue v = parse(u"9223372036854775807 + 1");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->AsInteger(), INT64_MIN);
  IValue d = parse(u"(-9223372036854775807 - 1) DIV -1");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->AsInteger(), INT64_MIN);
}

}  // namespace
}  // namespace talvex::expr
