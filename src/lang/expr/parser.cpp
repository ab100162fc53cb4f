#include "lang/expr/parser.h"

#include <cmath>
#include <stdexcept>

namespace talvex::expr {

namespace {

// Thrown after the message of a failed parse has been shown.
struct ParseFailed {};

// Limits that keep a pathological expression from exhausting the stack while
// it is parsed, evaluated or freed: the nesting of sub-expressions and the
// number of nodes. Real expressions stay far below both.
constexpr int kMaxNesting = 200;
constexpr int kMaxNodes = 5000;

struct Cast {
  const char16_t* name;
  VType type;
};
constexpr Cast kCasts[] = {
    {u"OBJECT", VType::kObject},         {u"STRING", VType::kString},
    {u"FLOAT", VType::kFloat},           {u"INTEGER", VType::kInteger},
    {u"ENUMERATED", VType::kEnumerated}, {u"BOOLEAN", VType::kBoolean},
};

struct Math {
  const char16_t* name;
  MathFn fn;
};
constexpr Math kMath[] = {
    {u"TRUNC", MathFn::kTrunc},   {u"ROUND", MathFn::kRound}, {u"ABS", MathFn::kAbs},
    {u"ARCTAN", MathFn::kArctan}, {u"COS", MathFn::kCos},     {u"EXP", MathFn::kExp},
    {u"FRAC", MathFn::kFrac},     {u"INT", MathFn::kInt},     {u"LN", MathFn::kLn},
    {u"PI", MathFn::kPi},         {u"SIN", MathFn::kSin},     {u"SQR", MathFn::kSqr},
    {u"SQRT", MathFn::kSqrt},     {u"POWER", MathFn::kPower},
};

struct Str {
  const char16_t* name;
  StringFn fn;
};
constexpr Str kStrings[] = {
    {u"UPPER", StringFn::kUpper}, {u"LOWER", StringFn::kLower},   {u"COPY", StringFn::kCopy},
    {u"POS", StringFn::kPos},     {u"LENGTH", StringFn::kLength},
};

class Parser {
 public:
  explicit Parser(TextView text) : text_(text), lex_(text) {}

  IValue parse() {
    advance();
    IValue e = expression();
    if (cur_.kind != Tok::kEnd) fail("%s not appropriate", {Text(1, text_[cur_start_])});
    return e;
  }

 private:
  [[noreturn]] void fail(const char* format, const std::vector<Text>& args = {}) {
    message(format, args);
    throw ParseFailed{};
  }

  // Counts a node and a level of nesting, failing the parse beyond the limits.
  struct Depth {
    Parser& p;
    explicit Depth(Parser& parser) : p(parser) {
      if (++p.nesting_ > kMaxNesting || ++p.nodes_ > kMaxNodes) p.fail("Error Parsing Expression");
    }
    ~Depth() { --p.nesting_; }
  };

  void advance() {
    cur_start_ = lex_.position_after_blanks();
    cur_ = lex_.next(true);
    switch (cur_.kind) {
      case Tok::kBadNumber:
        fail("Bad numeric format");
      case Tok::kBadHex:
        fail("Invalid char in hex number");
      case Tok::kIntegerOverflow:
        fail("Error Parsing Expression");
      case Tok::kFloat:
        if (!std::isfinite(cur_.number)) fail("Error Parsing Expression");
        break;
      case Tok::kString:
        if (cur_.unterminated) message("Unterminated string");
        break;
      default:
        break;
    }
  }

  bool at_op(std::initializer_list<Op> ops) const {
    if (cur_.kind != Tok::kOp) return false;
    for (Op o : ops) {
      if (cur_.op == o) return true;
    }
    return false;
  }

  IValue expression() {
    Depth depth(*this);
    IValue left = simple();
    while (at_op({Op::kEq, Op::kNEq, Op::kLT, Op::kGT, Op::kLTE, Op::kGTE})) {
      Op op = cur_.op;
      advance();
      Depth node(*this);
      left = std::make_shared<TRelationalOp>(op, left, simple());
    }
    return left;
  }

  IValue simple() {
    IValue left = term();
    while (at_op({Op::kPlus, Op::kMinus, Op::kOr, Op::kXor})) {
      Op op = cur_.op;
      advance();
      Depth node(*this);
      left = std::make_shared<TBinaryOp>(op, left, term());
    }
    return left;
  }

  IValue term() {
    IValue left = power();
    while (at_op({Op::kMult, Op::kDivide, Op::kDiv, Op::kMod, Op::kAnd, Op::kShl, Op::kShr})) {
      Op op = cur_.op;
      advance();
      Depth node(*this);
      left = std::make_shared<TBinaryOp>(op, left, power());
    }
    return left;
  }

  IValue power() {
    IValue left = signed_factor();
    while (at_op({Op::kExp})) {
      advance();
      Depth node(*this);
      left = std::make_shared<TBinaryOp>(Op::kExp, left, signed_factor());
    }
    return left;
  }

  // A prefix operator applies to the factor that follows it only.
  IValue signed_factor() {
    if (at_op({Op::kNot, Op::kPlus, Op::kMinus})) {
      Op op = cur_.op;
      advance();
      Depth node(*this);
      return std::make_shared<TUnaryOp>(op, signed_factor());
    }
    return factor();
  }

  IValue factor() {
    switch (cur_.kind) {
      case Tok::kInteger: {
        auto v = std::make_shared<TIntegerLiteral>(cur_.integer);
        advance();
        return v;
      }
      case Tok::kFloat: {
        auto v = std::make_shared<TFloatLiteral>(cur_.number);
        advance();
        return v;
      }
      case Tok::kString: {
        auto v = std::make_shared<TStringLiteral>(cur_.text);
        advance();
        return v;
      }
      case Tok::kLParen: {
        advance();
        if (cur_.kind == Tok::kEnd || cur_.kind == Tok::kRParen || cur_.kind == Tok::kComma) {
          fail("invalid sub-expression");
        }
        IValue inner = expression();
        if (cur_.kind == Tok::kRParen) {
          advance();
        } else {
          message(" ) expected");
        }
        return inner;
      }
      case Tok::kIdent:
        return name();
      case Tok::kOp:
        fail("%s not allowed here", {from_utf8(op_name(cur_.op))});
      case Tok::kEnd:
      case Tok::kRParen:
      case Tok::kComma:
        fail("Unexpected end of factor");
      default:
        fail("Syntax error");
    }
  }

  std::vector<IValue> parameters() {
    std::vector<IValue> params;
    advance();  // the "("
    if (cur_.kind == Tok::kRParen) {
      advance();
      return params;
    }
    while (true) {
      params.push_back(expression());
      if (cur_.kind == Tok::kComma) {
        advance();
        continue;
      }
      if (cur_.kind == Tok::kRParen) {
        advance();
      } else {
        message("Incorrectly formed parameters");
      }
      return params;
    }
  }

  IValue name() {
    Text id = cur_.text;
    advance();
    if (id == u"TRUE" || id == u"FALSE") return std::make_shared<TBooleanLiteral>(id == u"TRUE");
    std::vector<IValue> params;
    if (cur_.kind == Tok::kLParen) params = parameters();

    for (const Cast& c : kCasts) {
      if (id != c.name) continue;
      auto node = std::make_shared<TTypeCast>(c.type, std::move(params));
      if (!node->TestParameters()) message("Invalid parameters to typecast");
      return node;
    }
    IValue node;
    for (const Math& m : kMath) {
      if (id == m.name) node = std::make_shared<TMathExpression>(m.fn, std::move(params));
    }
    for (const Str& s : kStrings) {
      if (!node && id == s.name)
        node = std::make_shared<TStringExpression>(s.fn, std::move(params));
    }
    if (node) {
      if (!node->TestParameters()) message("Invalid parameters to %s", {id});
      return node;
    }
    if (id == u"IF") return std::make_shared<TConditional>(std::move(params));
    fail("Unknown Identifier %s", {id});
  }

  TextView text_;
  Lexer lex_;
  Token cur_;
  size_t cur_start_ = 0;
  int nesting_ = 0;
  int nodes_ = 0;
};

}  // namespace

IValue ParseExpression(TextView text, int line) {
  set_message_line(line);
  Parser parser(text);
  try {
    return parser.parse();
  } catch (const ParseFailed&) {
    return nullptr;
  } catch (const std::out_of_range&) {
    // An error raised while a node was built (a missing IF parameter).
    message("Error Parsing Expression");
    return nullptr;
  }
}

}  // namespace talvex::expr
