// The lexer of complex expressions. The parser asks for one token at a time
// and says whether an operator may stand at that place, because a short word
// such as AN or SH reads as an operator only there.
#pragma once

#include <cstdint>

#include "util/text.h"

namespace talvex::expr {

// The operators in their fixed order; the order is also the operator code.
enum class Op {
  kNot,
  kExp,
  kMult,
  kDivide,
  kDiv,
  kMod,
  kAnd,
  kShl,
  kShr,
  kPlus,
  kMinus,
  kOr,
  kXor,
  kEq,
  kNEq,
  kLT,
  kGT,
  kLTE,
  kGTE,
};

// The name of an operator in messages ("opMult").
const char* op_name(Op op);

enum class Tok {
  kEnd,
  kInteger,
  kFloat,
  kString,
  kIdent,
  kOp,
  kLParen,
  kRParen,
  kComma,
  kBadNumber,        // a malformed number
  kBadHex,           // "$" without one to eight hexadecimal digits
  kIntegerOverflow,  // an integer literal beyond 64 bits
  kOther,            // any other character
};

struct Token {
  Tok kind = Tok::kEnd;
  Op op = Op::kNot;
  int64_t integer = 0;
  double number = 0;
  Text text;                  // string literal, upper-cased identifier, or the character
  bool unterminated = false;  // a string literal that reached the end
};

class Lexer {
 public:
  explicit Lexer(TextView src) : src_(src) {}
  // The next token; `operator_allowed` says whether a word may read as an
  // operator word here.
  Token next(bool operator_allowed);
  // The token `next` would give, without consuming it.
  Token peek(bool operator_allowed);
  // Where the next token begins.
  size_t position_after_blanks() const;

 private:
  Token scan(size_t& pos, bool operator_allowed) const;
  TextView src_;
  size_t pos_ = 0;
};

}  // namespace talvex::expr
