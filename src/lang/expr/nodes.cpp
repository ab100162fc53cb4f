#include "lang/expr/nodes.h"

#include <cfenv>
#include <cmath>

#include "lang/errors.h"
#include "lang/process.h"
#include "platform/platform.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex::expr {

namespace {

int g_line = 0;

// A node read as text that has no text form: an error no caller catches.
[[noreturn]] void expression_error(const char* format, const std::vector<Text>& args) {
  throw RuntimeFailure(format_message(format, args));
}

bool is_relational(Op op) {
  return op >= Op::kEq;
}

// The common type of two operands; an object beside another type is
// incompatible.
VType common_type(const IValue& l, const IValue& r) {
  VType a = l->ExprType(), b = r->ExprType();
  if (a == VType::kObject && b == VType::kObject) return VType::kObject;
  if (a == VType::kObject || b == VType::kObject) {
    message("Type %s is incompatible with type %s", {l->TypeName(), r->TypeName()});
    return VType::kObject;
  }
  return a < b ? a : b;
}

// The type an operator gives for a common (or operand) type, or nothing when
// the pairing is not allowed.
std::optional<VType> result_type(Op op, VType t) {
  switch (t) {
    case VType::kObject:
      if (op == Op::kEq || op == Op::kNEq) return VType::kBoolean;
      return std::nullopt;
    case VType::kString:
      if (op == Op::kPlus) return VType::kString;
      if (is_relational(op)) return VType::kBoolean;
      return std::nullopt;
    case VType::kFloat:
      if (op == Op::kExp || op == Op::kMult || op == Op::kDivide || op == Op::kPlus ||
          op == Op::kMinus) {
        return VType::kFloat;
      }
      if (is_relational(op)) return VType::kBoolean;
      return std::nullopt;
    case VType::kInteger:
      if (op == Op::kExp || op == Op::kDivide) return VType::kFloat;
      if (is_relational(op)) return VType::kBoolean;
      return VType::kInteger;
    case VType::kEnumerated:
      return std::nullopt;
    case VType::kBoolean:
      if (op == Op::kNot || op == Op::kAnd || op == Op::kOr || op == Op::kXor || op == Op::kEq ||
          op == Op::kNEq) {
        return VType::kBoolean;
      }
      return std::nullopt;
  }
  return std::nullopt;
}

VType checked_type(Op op, VType t) {
  if (std::optional<VType> r = result_type(op, t)) return *r;
  message("Operator %s incompatible with %s", {from_utf8(op_name(op)), from_utf8(type_name(t))});
  return VType::kObject;
}

// a ^ b is exp(b × ln a): the logarithm of zero or of a negative number is
// a floating-point fault.
double power(double a, double b) {
  if (a == 0) float_fault("Floating point division by zero");
  if (a < 0) float_fault("Invalid floating point operation");
  return checked_float(std::exp(b * std::log(a)));
}

int64_t to_int64(double v) {
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0)) {
    float_fault("Invalid floating point operation");
  }
  return static_cast<int64_t>(v);
}

int64_t wrap(uint64_t v) {
  return static_cast<int64_t>(v);
}

}  // namespace

const char* type_name(VType t) {
  static const char* const kNames[] = {"Object",  "String",     "Float",
                                       "Integer", "Enumerated", "Boolean"};
  return kNames[static_cast<int>(t)];
}

bool can_read_as(VType t, VType a) {
  if (t != VType::kObject && a != VType::kObject) return t >= a;
  return t == a;
}

void set_message_line(int line) {
  g_line = line;
}

Text format_message(const char* format, const std::vector<Text>& args) {
  Text f = tr(format), out;
  size_t next = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == u'%' && i + 1 < f.size() && (f[i + 1] == u's' || f[i + 1] == u'd')) {
      if (next < args.size()) out += args[next++];
      ++i;
    } else {
      out.push_back(f[i]);
    }
  }
  return out;
}

void message(const Text& text) {
  Text line = line_message(g_line, text);
  platform::get().boxes->message_box(line, process().app_title, platform::BoxButtons::kOk,
                                     platform::BoxIcon::kInformation);
}

void message(const char* format, const std::vector<Text>& args) {
  message(format_message(format, args));
}

// The base readings: what a node gives when read in a type it does not
// compute itself.
Text TExpression::AsString() {
  switch (ExprType()) {
    case VType::kFloat:
      return format_general(AsFloat());
    case VType::kInteger:
      return int_to_text(AsInteger());
    case VType::kBoolean:
      return AsBoolean() ? u"TRUE" : u"FALSE";
    case VType::kObject:
      return from_utf8(ClassName());
    default:
      expression_error("Cannot read %s as String", {TypeName()});
  }
}

double TExpression::AsFloat() {
  switch (ExprType()) {
    case VType::kInteger:
    case VType::kEnumerated:
    case VType::kBoolean:
      return static_cast<double>(AsInteger());
    default:
      message("Cannot read %s as Float", {TypeName()});
      return 0;
  }
}

int64_t TExpression::AsInteger() {
  if (ExprType() == VType::kBoolean) return AsBoolean() ? 1 : 0;
  message("Cannot read %s as Integer", {TypeName()});
  return 0;
}

bool TExpression::AsBoolean() {
  message("Cannot read %s as boolean", {TypeName()});
  return false;
}

void TExpression::AsObject() {
  message("Cannot read %s as object", {TypeName()});
}

TUnaryOp::TUnaryOp(Op op, IValue operand)
    : op_(op), operand_(std::move(operand)), operand_type_(operand_->ExprType()) {
  type_ = checked_type(op_, operand_type_);
}

double TUnaryOp::AsFloat() {
  if (type_ != VType::kFloat) return TExpression::AsFloat();
  double v = operand_->AsFloat();
  return op_ == Op::kMinus ? -v : v;
}

int64_t TUnaryOp::AsInteger() {
  if (type_ != VType::kInteger) return TExpression::AsInteger();
  int64_t v = operand_->AsInteger();
  switch (op_) {
    case Op::kMinus:
      return wrap(0 - static_cast<uint64_t>(v));
    case Op::kNot:
      return ~v;
    default:
      return v;
  }
}

bool TUnaryOp::AsBoolean() {
  if (type_ == VType::kInteger) {
    message("Internal parser error. Code %d", {u"13"});
    return false;
  }
  if (type_ != VType::kBoolean) return TExpression::AsBoolean();
  return !operand_->AsBoolean();
}

TBinaryOp::TBinaryOp(Op op, IValue left, IValue right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
  common_ = common_type(left_, right_);
  type_ = checked_type(op_, common_);
}

Text TBinaryOp::AsString() {
  if (type_ != VType::kString) return TExpression::AsString();
  return left_->AsString() + right_->AsString();
}

double TBinaryOp::AsFloat() {
  if (type_ != VType::kFloat) return TExpression::AsFloat();
  double a = left_->AsFloat(), b = right_->AsFloat();
  switch (op_) {
    case Op::kExp:
      return power(a, b);
    case Op::kMult:
      return checked_float(a * b);
    case Op::kPlus:
      return checked_float(a + b);
    case Op::kMinus:
      return checked_float(a - b);
    case Op::kDivide:
      if (b == 0) {
        message("Cannot divide by zero");
        return 0;
      }
      return checked_float(a / b);
    default:
      return TExpression::AsFloat();
  }
}

int64_t TBinaryOp::AsInteger() {
  if (type_ != VType::kInteger) return TExpression::AsInteger();
  int64_t a = left_->AsInteger(), b = right_->AsInteger();
  uint64_t ua = static_cast<uint64_t>(a), ub = static_cast<uint64_t>(b);
  switch (op_) {
    case Op::kMult:
      return wrap(ua * ub);
    case Op::kPlus:
      return wrap(ua + ub);
    case Op::kMinus:
      return wrap(ua - ub);
    case Op::kDiv:
    case Op::kMod:
      if (b == 0) throw RuntimeFailure(tr("Division by zero"));
      if (b == -1) return op_ == Op::kDiv ? wrap(0 - ua) : 0;
      return op_ == Op::kDiv ? a / b : a % b;
    case Op::kAnd:
      return a & b;
    case Op::kOr:
      return a | b;
    case Op::kXor:
      return a ^ b;
    case Op::kShl:
    case Op::kShr: {
      unsigned count = static_cast<unsigned>(b & 0xFF);
      if (count >= 64) return 0;
      return op_ == Op::kShl ? wrap(ua << count) : wrap(ua >> count);
    }
    default:
      return TExpression::AsInteger();
  }
}

bool TBinaryOp::AsBoolean() {
  if (type_ == VType::kInteger) {
    message("Internal parser error. Code %d", {u"13"});
    return false;
  }
  if (type_ != VType::kBoolean) return TExpression::AsBoolean();
  switch (op_) {
    case Op::kAnd:
      return left_->AsBoolean() && right_->AsBoolean();
    case Op::kOr:
      return left_->AsBoolean() || right_->AsBoolean();
    default: {
      bool a = left_->AsBoolean();
      bool b = right_->AsBoolean();
      return a != b;
    }
  }
}

TRelationalOp::TRelationalOp(Op op, IValue left, IValue right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
  common_ = common_type(left_, right_);
  // Booleans report their unsupported comparisons when evaluated.
  if (common_ != VType::kBoolean && !result_type(op_, common_)) {
    message("Operator %s incompatible with %s",
            {from_utf8(op_name(op_)), from_utf8(type_name(common_))});
  }
}

namespace {

template <typename T>
bool compare(Op op, const T& a, const T& b) {
  switch (op) {
    case Op::kEq:
      return a == b;
    case Op::kNEq:
      return a != b;
    case Op::kLT:
      return a < b;
    case Op::kGT:
      return a > b;
    case Op::kLTE:
      return a <= b;
    default:
      return a >= b;
  }
}

}  // namespace

bool TRelationalOp::AsBoolean() {
  switch (common_) {
    case VType::kString:
      return compare(op_, left_->AsString(), right_->AsString());
    case VType::kFloat:
      return compare(op_, left_->AsFloat(), right_->AsFloat());
    case VType::kInteger:
      return compare(op_, left_->AsInteger(), right_->AsInteger());
    case VType::kBoolean:
      if (op_ != Op::kEq && op_ != Op::kNEq) {
        message("cannot apply %s to boolean operands", {from_utf8(op_name(op_))});
        return false;
      }
      return compare(op_, left_->AsBoolean(), right_->AsBoolean());
    default:
      return false;
  }
}

bool TMathExpression::TestParameters() {
  if (fn_ == MathFn::kPi) return true;
  size_t wanted = fn_ == MathFn::kPower ? 2 : 1;
  if (count() != wanted) return false;
  for (const IValue& p : params_) {
    if (!can_read_as(p->ExprType(), VType::kFloat)) return false;
  }
  return true;
}

VType TMathExpression::ExprType() const {
  return fn_ == MathFn::kTrunc || fn_ == MathFn::kRound ? VType::kInteger : VType::kFloat;
}

double TMathExpression::arg(size_t i) {
  return i < count() ? param(i)->AsFloat() : 0.0;
}

double TMathExpression::AsFloat() {
  if (ExprType() != VType::kFloat) return TExpression::AsFloat();
  double x = fn_ == MathFn::kPi ? 0 : arg(0);
  switch (fn_) {
    case MathFn::kAbs:
      return std::fabs(x);
    case MathFn::kArctan:
      return std::atan(x);
    case MathFn::kCos:
      return checked_float(std::cos(x));
    case MathFn::kExp:
      return checked_float(std::exp(x));
    case MathFn::kFrac:
      return x - std::trunc(x);
    case MathFn::kInt:
      return std::trunc(x);
    case MathFn::kLn:
      if (x == 0) float_fault("Floating point division by zero");
      return checked_float(std::log(x));
    case MathFn::kPi:
      return M_PI;
    case MathFn::kSin:
      return checked_float(std::sin(x));
    case MathFn::kSqr:
      return checked_float(x * x);
    case MathFn::kSqrt:
      return checked_float(std::sqrt(x));
    case MathFn::kPower:
      return power(x, arg(1));
    default:
      return TExpression::AsFloat();
  }
}

int64_t TMathExpression::AsInteger() {
  if (fn_ == MathFn::kTrunc) return to_int64(std::trunc(arg(0)));
  if (fn_ == MathFn::kRound) {
    // Halves go to the even neighbour, as the default rounding mode does.
    std::fesetround(FE_TONEAREST);
    return to_int64(std::nearbyint(arg(0)));
  }
  return TExpression::AsInteger();
}

bool TStringExpression::TestParameters() {
  switch (fn_) {
    case StringFn::kUpper:
    case StringFn::kLower:
    case StringFn::kLength:
      return count() == 1 && can_read_as(param(0)->ExprType(), VType::kString);
    case StringFn::kPos:
      return count() == 2 && can_read_as(param(0)->ExprType(), VType::kString) &&
             can_read_as(param(1)->ExprType(), VType::kString);
    case StringFn::kCopy:
      return count() == 3 && can_read_as(param(0)->ExprType(), VType::kString) &&
             param(1)->ExprType() == VType::kInteger && param(2)->ExprType() == VType::kInteger;
  }
  return false;
}

VType TStringExpression::ExprType() const {
  return fn_ == StringFn::kPos || fn_ == StringFn::kLength ? VType::kInteger : VType::kString;
}

Text TStringExpression::text_arg(size_t i) {
  return i < count() ? param(i)->AsString() : Text();
}
int64_t TStringExpression::int_arg(size_t i) {
  return i < count() ? param(i)->AsInteger() : 0;
}

Text TStringExpression::AsString() {
  switch (fn_) {
    case StringFn::kUpper:
      return upper(text_arg(0));
    case StringFn::kLower: {
      Text t = text_arg(0);
      for (char16_t& c : t) {
        if (c >= u'A' && c <= u'Z') c += 32;
      }
      return t;
    }
    case StringFn::kCopy: {
      Text t = text_arg(0);
      int64_t start = int_arg(1), length = int_arg(2);
      if (start < 1) start = 1;
      if (length <= 0 || start > static_cast<int64_t>(t.size())) return Text();
      return t.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length));
    }
    default:
      return TExpression::AsString();
  }
}

int64_t TStringExpression::AsInteger() {
  switch (fn_) {
    case StringFn::kLength:
      return static_cast<int64_t>(text_arg(0).size());
    case StringFn::kPos: {
      Text needle = text_arg(0), haystack = text_arg(1);
      if (needle.empty()) return 0;
      size_t at = haystack.find(needle);
      return at == Text::npos ? 0 : static_cast<int64_t>(at + 1);
    }
    default:
      return TExpression::AsInteger();
  }
}

TTypeCast::TTypeCast(VType target, std::vector<IValue> params)
    : TFunction(std::move(params)), target_(target) {
  if (count() == 1) operand_type_ = param(0)->ExprType();
}

bool TTypeCast::TestParameters() {
  if (count() != 1) return false;
  if (target_ == VType::kEnumerated) {
    message("Cannot cast to enumerated");
  } else if ((target_ == VType::kObject) != (operand_type_ == VType::kObject) &&
             target_ != VType::kString) {
    message("Type %s is incompatible with type %s",
            {from_utf8(type_name(operand_type_)), from_utf8(type_name(target_))});
  }
  return true;
}

Text TTypeCast::AsString() {
  if (target_ == VType::kString && count() == 1) return param(0)->AsString();
  return TExpression::AsString();
}

double TTypeCast::AsFloat() {
  if (target_ != VType::kFloat || count() != 1) return TExpression::AsFloat();
  if (operand_type_ == VType::kString) {
    Text t = param(0)->AsString();
    if (std::optional<double> v = parse_number(t)) return *v;
    message("Cannot convert %s to float", {t});
    return 0;
  }
  return param(0)->AsFloat();
}

int64_t TTypeCast::AsInteger() {
  if (target_ != VType::kInteger || count() != 1) return TExpression::AsInteger();
  if (operand_type_ == VType::kString) {
    Text t = param(0)->AsString();
    if (std::optional<int64_t> v = parse_integer64(t)) return *v;
    message("Cannot convert %s to integer", {t});
    return 0;
  }
  if (operand_type_ == VType::kFloat) return to_int64(std::trunc(param(0)->AsFloat()));
  return param(0)->AsInteger();
}

bool TTypeCast::AsBoolean() {
  if (target_ != VType::kBoolean || count() != 1) return TExpression::AsBoolean();
  switch (operand_type_) {
    case VType::kString: {
      Text t = upper(param(0)->AsString());
      if (t == u"TRUE") return true;
      if (t != u"FALSE") message("Cannot convert %s to Boolean", {param(0)->AsString()});
      return false;
    }
    case VType::kFloat:
      return std::fabs(param(0)->AsFloat()) > 1e-30;
    case VType::kInteger:
      return param(0)->AsInteger() != 0;
    default:
      return param(0)->AsBoolean();
  }
}

TConditional::TConditional(std::vector<IValue> params) : TFunction(std::move(params)) {
  if (count() != 3) message("IF must have 3 parameters");
  if (count() < 3) throw std::out_of_range("IF");
  if (param(0)->ExprType() != VType::kBoolean) message("First parameter to If must be Boolean");
  if (param(1)->ExprType() != param(2)->ExprType()) message("IF options must be the same type");
  type_ = param(1)->ExprType();
}

IValue TConditional::chosen() {
  return param(0)->AsBoolean() ? param(1) : param(2);
}

}  // namespace talvex::expr
