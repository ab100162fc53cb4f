#include "lang/expr/expr.h"

namespace talvex {

// The evaluator is not part of the runtime yet: every evaluation fails, so a
// text in braces stays as written.
std::optional<Text> evaluate_expression(Run&, const Text&) { return std::nullopt; }

}  // namespace talvex
