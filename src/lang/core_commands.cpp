// Commands of the run spine: Wait and the console output commands.
#include <cmath>
#include <cstdio>

#include "lang/commands.h"
#include "lang/run.h"
#include "util/codepage.h"
#include "util/numbers.h"

namespace talvex {

namespace {

// Wait>seconds: a decimal number of seconds, rounded to whole milliseconds;
// a parameter that is not a number waits 0 milliseconds.
void cmd_wait(Run&, TextView params) {
  double seconds = parse_number(params).value_or(0.0);
  double ms = std::round(seconds * 1000.0);
  if (!(ms > 0)) return;
  pumping_wait(ms > 9.0e15 ? INT64_MAX : static_cast<int64_t>(ms));
}

void write_stdout(TextView text, bool line_end) {
  std::string bytes = ansi_encode(text);
  if (line_end) bytes.push_back('\n');
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

// The runtime is a console program on this platform, so both always write.
void cmd_sowrite(Run&, TextView params) {
  write_stdout(params, false);
}
void cmd_sowriteln(Run&, TextView params) {
  write_stdout(params, true);
}

constexpr CommandEntry kCommands[] = {
    {u"WAI"_code, cmd_wait, Params::kWhole},
    {u"SOW"_code, cmd_sowrite, Params::kWhole},
    {u"SOL"_code, cmd_sowriteln, Params::kWhole},
};

}  // namespace

std::span<const CommandEntry> core_commands() {
  return kCommands;
}

}  // namespace talvex
