// The nodes of a parsed expression. Every node has one type, fixed when it
// is built, and is evaluated when a caller reads it in some type.
#pragma once

#include <memory>
#include <vector>

#include "lang/expr/lexer.h"
#include "util/text.h"

namespace talvex::expr {

// The value types, in their order; the order decides conversions.
enum class VType {
  kObject = 0,
  kString = 1,
  kFloat = 2,
  kInteger = 3,
  kEnumerated = 4,
  kBoolean = 5
};

// The type's name in messages ("Float").
const char* type_name(VType t);

// Whether a node of type `t` can be read as type `a`.
bool can_read_as(VType t, VType a);

// Shows an expression message: "Line: " number " " text, with OK.
void message(const Text& text);
// A message whose fixed text holds "%s" or "%d" placeholders, filled in order.
void message(const char* format, const std::vector<Text>& args = {});
Text format_message(const char* format, const std::vector<Text>& args);

// Sets the line number that messages quote; every parse sets it.
void set_message_line(int line);

class TExpression;
using IValue = std::shared_ptr<TExpression>;

class TExpression {
 public:
  virtual ~TExpression() = default;
  virtual bool TestParameters() { return true; }
  virtual Text AsString();
  virtual double AsFloat();
  virtual int64_t AsInteger();
  virtual bool AsBoolean();
  virtual void AsObject();
  virtual VType ExprType() const = 0;
  // The class name, which is the text of an object.
  virtual const char* ClassName() const = 0;
  Text TypeName() const { return from_utf8(type_name(ExprType())); }
};

class TStringLiteral final : public TExpression {
 public:
  explicit TStringLiteral(Text v) : v_(std::move(v)) {}
  Text AsString() override { return v_; }
  VType ExprType() const override { return VType::kString; }
  const char* ClassName() const override { return "TStringLiteral"; }

 private:
  Text v_;
};

class TFloatLiteral final : public TExpression {
 public:
  explicit TFloatLiteral(double v) : v_(v) {}
  double AsFloat() override { return v_; }
  VType ExprType() const override { return VType::kFloat; }
  const char* ClassName() const override { return "TFloatLiteral"; }

 private:
  double v_;
};

class TIntegerLiteral final : public TExpression {
 public:
  explicit TIntegerLiteral(int64_t v) : v_(v) {}
  int64_t AsInteger() override { return v_; }
  VType ExprType() const override { return VType::kInteger; }
  const char* ClassName() const override { return "TIntegerLiteral"; }

 private:
  int64_t v_;
};

class TBooleanLiteral final : public TExpression {
 public:
  explicit TBooleanLiteral(bool v) : v_(v) {}
  bool AsBoolean() override { return v_; }
  VType ExprType() const override { return VType::kBoolean; }
  const char* ClassName() const override { return "TBooleanLiteral"; }

 private:
  bool v_;
};

class TUnaryOp final : public TExpression {
 public:
  TUnaryOp(Op op, IValue operand);
  double AsFloat() override;
  int64_t AsInteger() override;
  bool AsBoolean() override;
  VType ExprType() const override { return type_; }
  const char* ClassName() const override { return "TUnaryOp"; }

 private:
  Op op_;
  IValue operand_;
  VType operand_type_;
  VType type_;
};

class TBinaryOp final : public TExpression {
 public:
  TBinaryOp(Op op, IValue left, IValue right);
  Text AsString() override;
  double AsFloat() override;
  int64_t AsInteger() override;
  bool AsBoolean() override;
  VType ExprType() const override { return type_; }
  const char* ClassName() const override { return "TBinaryOp"; }

 private:
  Op op_;
  IValue left_, right_;
  VType common_;
  VType type_;
};

class TRelationalOp final : public TExpression {
 public:
  TRelationalOp(Op op, IValue left, IValue right);
  bool AsBoolean() override;
  VType ExprType() const override { return VType::kBoolean; }
  const char* ClassName() const override { return "TRelationalOp"; }

 private:
  Op op_;
  IValue left_, right_;
  VType common_;
};

// A call: the functions, casts and IF share the parameter list.
class TFunction : public TExpression {
 public:
  explicit TFunction(std::vector<IValue> params) : params_(std::move(params)) {}

 protected:
  size_t count() const { return params_.size(); }
  IValue param(size_t i) const { return params_[i]; }
  std::vector<IValue> params_;
};

enum class MathFn {
  kTrunc,
  kRound,
  kAbs,
  kArctan,
  kCos,
  kExp,
  kFrac,
  kInt,
  kLn,
  kPi,
  kSin,
  kSqr,
  kSqrt,
  kPower
};

class TMathExpression final : public TFunction {
 public:
  TMathExpression(MathFn fn, std::vector<IValue> params) : TFunction(std::move(params)), fn_(fn) {}
  bool TestParameters() override;
  double AsFloat() override;
  int64_t AsInteger() override;
  VType ExprType() const override;
  const char* ClassName() const override { return "TMathExpression"; }

 private:
  double arg(size_t i);
  MathFn fn_;
};

enum class StringFn { kUpper, kLower, kCopy, kPos, kLength };

class TStringExpression final : public TFunction {
 public:
  TStringExpression(StringFn fn, std::vector<IValue> params)
      : TFunction(std::move(params)), fn_(fn) {}
  bool TestParameters() override;
  Text AsString() override;
  int64_t AsInteger() override;
  VType ExprType() const override;
  const char* ClassName() const override { return "TStringExpression"; }

 private:
  Text text_arg(size_t i);
  int64_t int_arg(size_t i);
  StringFn fn_;
};

class TTypeCast final : public TFunction {
 public:
  TTypeCast(VType target, std::vector<IValue> params);
  bool TestParameters() override;
  Text AsString() override;
  double AsFloat() override;
  int64_t AsInteger() override;
  bool AsBoolean() override;
  VType ExprType() const override { return target_; }
  const char* ClassName() const override { return "TTypeCast"; }

 private:
  VType target_;
  VType operand_type_ = VType::kObject;
};

class TConditional final : public TFunction {
 public:
  // Throws std::out_of_range when a parameter is missing (the parse then
  // fails with "Error Parsing Expression").
  explicit TConditional(std::vector<IValue> params);
  Text AsString() override { return chosen()->AsString(); }
  double AsFloat() override { return chosen()->AsFloat(); }
  int64_t AsInteger() override { return chosen()->AsInteger(); }
  bool AsBoolean() override { return chosen()->AsBoolean(); }
  VType ExprType() const override { return type_; }
  const char* ClassName() const override { return "TConditional"; }

 private:
  IValue chosen();
  VType type_;
};

}  // namespace talvex::expr
