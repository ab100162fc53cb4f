// Entry points for fuzzers: each takes arbitrary bytes and must neither
// crash nor hang on any input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace talvex {

// Decodes the bytes as a script file, splits the lines, identifies every
// line and runs the comment skips and data-block search over them.
void fuzz_load_script(const uint8_t* data, size_t size);

// Fills a store from the first half of the input (name=value lines) and
// substitutes the rest, plain and for expressions.
void fuzz_substitute(const uint8_t* data, size_t size);

}  // namespace talvex
