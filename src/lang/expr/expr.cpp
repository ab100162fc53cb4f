#include "lang/expr/expr.h"

#include "lang/expr/parser.h"
#include "lang/run.h"

namespace talvex {

std::optional<Text> evaluate_expression(Run& run, const Text& prepared) {
  expr::IValue tree = expr::ParseExpression(prepared, run.store.line_number());
  if (!tree) return std::nullopt;
  return tree->AsString();
}

std::optional<Text> evaluate_braced(Run& run, TextView inside) {
  return evaluate_expression(run, run.store.prepare_expression(inside));
}

std::optional<bool> evaluate_condition(Run& run, const Text& prepared) {
  expr::IValue tree = expr::ParseExpression(prepared, run.store.line_number());
  if (!tree) return std::nullopt;
  return tree->AsBoolean();
}

}  // namespace talvex
