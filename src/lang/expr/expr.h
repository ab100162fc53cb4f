// The complex-expression evaluator: the inside of braces in substitution,
// Let, If and Until.
#pragma once

#include <optional>

#include "util/text.h"

namespace talvex {

class Run;

// Evaluates an expression and gives its value as text, or nothing when the
// evaluation fails.
std::optional<Text> evaluate_expression(Run& run, const Text& expr);

}  // namespace talvex
