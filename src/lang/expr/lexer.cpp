#include "lang/expr/lexer.h"

#include <cstdlib>
#include <string>

namespace talvex::expr {

namespace {

bool is_digit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool is_letter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool is_word_char(char16_t c) {
  return is_letter(c) || is_digit(c) || c == u'_';
}
int hex_value(char16_t c) {
  if (is_digit(c)) return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

struct OpWord {
  const char16_t* word;
  Op op;
};
// The order in which a short word is compared with the operator words.
constexpr OpWord kOpWords[] = {
    {u"NOT", Op::kNot}, {u"DIV", Op::kDiv}, {u"MOD", Op::kMod}, {u"AND", Op::kAnd},
    {u"SHL", Op::kShl}, {u"SHR", Op::kShr}, {u"OR", Op::kOr},   {u"XOR", Op::kXor},
};

}  // namespace

const char* op_name(Op op) {
  static const char* const kNames[] = {
      "opNot", "opExp", "opMult", "opDivide", "opDiv", "opMod", "opAnd",
      "opShl", "opShr", "opPlus", "opMinus",  "opOr",  "opXor", "opEq",
      "opNEq", "opLT",  "opGT",   "opLTE",    "opGTE",
  };
  return kNames[static_cast<int>(op)];
}

size_t Lexer::position_after_blanks() const {
  size_t p = pos_;
  while (p < src_.size() && src_[p] >= 1 && src_[p] <= 32) ++p;
  return p;
}

Token Lexer::next(bool operator_allowed) {
  return scan(pos_, operator_allowed);
}

Token Lexer::peek(bool operator_allowed) {
  size_t p = pos_;
  return scan(p, operator_allowed);
}

Token Lexer::scan(size_t& pos, bool operator_allowed) const {
  const size_t n = src_.size();
  while (pos < n && src_[pos] >= 1 && src_[pos] <= 32) ++pos;
  Token t;
  if (pos >= n) return t;
  const char16_t c = src_[pos];

  if (is_digit(c)) {
    size_t start = pos;
    bool malformed = false, fraction = false, exponent = false;
    while (pos < n && is_digit(src_[pos])) ++pos;
    if (pos < n && src_[pos] == u'.') {
      fraction = true;
      ++pos;
      while (pos < n && is_digit(src_[pos])) ++pos;
      if (pos < n && src_[pos] == u'.') malformed = true;
    }
    if (!malformed && pos < n && (src_[pos] == u'e' || src_[pos] == u'E')) {
      exponent = true;
      ++pos;
      if (pos < n && src_[pos] == u'-') ++pos;
      size_t digits = pos;
      while (pos < n && is_digit(src_[pos])) ++pos;
      if (pos == digits || (pos < n && src_[pos] == u'.')) malformed = true;
    }
    if (malformed || pos - start > 28) {
      t.kind = Tok::kBadNumber;
      return t;
    }
    std::string ascii(src_.begin() + static_cast<std::ptrdiff_t>(start),
                      src_.begin() + static_cast<std::ptrdiff_t>(pos));
    if (!fraction && !exponent) {
      uint64_t v = 0;
      for (char d : ascii) {
        if (v > (static_cast<uint64_t>(INT64_MAX) - (d - '0')) / 10) {
          t.kind = Tok::kIntegerOverflow;
          return t;
        }
        v = v * 10 + static_cast<uint64_t>(d - '0');
      }
      t.kind = Tok::kInteger;
      t.integer = static_cast<int64_t>(v);
    } else {
      t.kind = Tok::kFloat;
      t.number = std::strtod(ascii.c_str(), nullptr);
    }
    return t;
  }

  if (c == u'$') {
    ++pos;
    size_t start = pos;
    uint32_t v = 0;
    while (pos < n && hex_value(src_[pos]) >= 0) v = (v << 4) | hex_value(src_[pos++]);
    size_t digits = pos - start;
    if (digits == 0 || digits > 8) {
      t.kind = Tok::kBadHex;
      return t;
    }
    t.kind = Tok::kInteger;
    t.integer = static_cast<int32_t>(v);
    return t;
  }

  if (c == u'"') {
    ++pos;
    t.kind = Tok::kString;
    while (true) {
      if (pos >= n) {
        t.unterminated = true;
        break;
      }
      if (src_[pos] == u'"') {
        if (pos + 1 < n && src_[pos + 1] == u'"') {
          t.text.push_back(u'"');
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      t.text.push_back(src_[pos++]);
    }
    return t;
  }

  if (is_letter(c) || c == u'_') {
    size_t start = pos;
    while (pos < n && is_word_char(src_[pos])) ++pos;
    size_t len = pos - start;
    Text word = upper(src_.substr(start, len));
    // A short word in an operator's place may be an operator word, compared
    // over its own length with each in turn.
    if (operator_allowed && (len == 2 || len == 3) &&
        Text(u"ADMNOSX").find(word[0]) != Text::npos) {
      for (const OpWord& w : kOpWords) {
        if (TextView(w.word).substr(0, len) == TextView(word) &&
            std::char_traits<char16_t>::length(w.word) >= len) {
          t.kind = Tok::kOp;
          t.op = w.op;
          return t;
        }
      }
    }
    t.kind = Tok::kIdent;
    t.text = std::move(word);
    return t;
  }

  ++pos;
  switch (c) {
    case u'(':
      t.kind = Tok::kLParen;
      return t;
    case u')':
      t.kind = Tok::kRParen;
      return t;
    case u',':
      t.kind = Tok::kComma;
      return t;
    case u'^':
      t.kind = Tok::kOp, t.op = Op::kExp;
      return t;
    case u'*':
      t.kind = Tok::kOp, t.op = Op::kMult;
      return t;
    case u'/':
      t.kind = Tok::kOp, t.op = Op::kDivide;
      return t;
    case u'+':
      t.kind = Tok::kOp, t.op = Op::kPlus;
      return t;
    case u'-':
      t.kind = Tok::kOp, t.op = Op::kMinus;
      return t;
    case u'=':
      t.kind = Tok::kOp, t.op = Op::kEq;
      return t;
    case u'<':
      t.kind = Tok::kOp, t.op = Op::kLT;
      if (pos < n && src_[pos] == u'>')
        ++pos, t.op = Op::kNEq;
      else if (pos < n && src_[pos] == u'=')
        ++pos, t.op = Op::kLTE;
      return t;
    case u'>':
      t.kind = Tok::kOp, t.op = Op::kGT;
      if (pos < n && src_[pos] == u'=') ++pos, t.op = Op::kGTE;
      return t;
    default:
      t.kind = Tok::kOther;
      t.text = Text(1, c);
      return t;
  }
}

}  // namespace talvex::expr
