// The process launcher: starts a command line as a new process, without a
// shell, and optionally waits for its end while processing pending events.
#pragma once

#include <vector>

#include "util/text.h"

namespace talvex {

// The exit code of a process that is still running.
constexpr int kStillActive = 259;

// Splits a command line into arguments by the usual rules of the platform
// the language comes from: blanks separate, double quotes group and are
// removed, "" inside quotes is a literal quote, and backslashes are literal
// except before a double quote (2n backslashes and a quote give n
// backslashes and a quote that groups; 2n+1 give n backslashes and a
// literal quote).
std::vector<Text> split_command_line(TextView line);

// Starts the command line and gives its exit code: after its end when
// `wait_for_exit`, else at once (kStillActive). -1 when it cannot start.
int launch(TextView command_line, bool hidden, bool wait_for_exit);

}  // namespace talvex
