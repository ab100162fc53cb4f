// The parser of complex expressions: a recursive descent over the levels of
// precedence, building the node tree.
#pragma once

#include "lang/expr/nodes.h"

namespace talvex::expr {

// Parses the whole text; shows the messages of a failed parse and gives
// nothing then. `line` is the script line that messages quote.
IValue ParseExpression(TextView text, int line);

}  // namespace talvex::expr
