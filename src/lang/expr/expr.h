// The complex-expression evaluator as the interpreter uses it: the inside of
// braces in substitution, Let, If and Until.
#pragma once

#include <optional>

#include "util/text.h"

namespace talvex {

class Run;

// Parses prepared expression text and reads its value as text; nothing when
// the parse fails (its messages have been shown then).
std::optional<Text> evaluate_expression(Run& run, const Text& prepared);

// Prepares the inside of braces as substitution does and evaluates it.
std::optional<Text> evaluate_braced(Run& run, TextView inside);

// Parses prepared text and reads it as a truth value; nothing when the parse
// fails.
std::optional<bool> evaluate_condition(Run& run, const Text& prepared);

}  // namespace talvex
