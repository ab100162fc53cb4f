// Building a stand-alone executable: a copy of the runtime with the
// encrypted script, the stored options and the build date appended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/text.h"

namespace talvex {

// Runs the build for the command line `args` (program name first) and gives
// the process exit code: 0 when the executable was written, 1 when the build
// failed.
int run_build(const std::vector<Text>& args);

// The stored-options encoding: ANSI bytes, each complemented, in Base64.
std::string encode_options(TextView options);
// The reverse; nothing when the text is not valid Base64.
std::optional<Text> decode_options(const std::string& payload);

}  // namespace talvex
