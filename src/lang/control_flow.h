// Control flow: the codes the run loop carries out itself (jumps,
// subroutines, If and its variants, Else, Until, ExportData), the Macro and
// OnEventHandler commands, and the event check before each line.
#pragma once

#include <optional>
#include <span>

#include "lang/commands.h"
#include "lang/identify.h"
#include "util/text.h"

namespace talvex {

class Run;

// Runs a loop-owned code; false when the code is not one of them.
bool run_control_flow(Run& run, Code code, TextView params, TextView line);

// Tests the registered events before a line; gives the handler to call, or
// nothing.
std::optional<Text> check_events(Run& run);

std::span<const CommandEntry> flow_commands();

}  // namespace talvex
