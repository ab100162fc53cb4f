// The command table: each module lists its commands as (code, handler) rows
// and the executor finds the handler of a code in the table built from them.
#pragma once

#include <span>

#include "lang/identify.h"
#include "util/text.h"

namespace talvex {

class Run;

using Handler = void (*)(Run& run, TextView params);

// How the executor passes the parameter text to the handler.
enum class Params {
  kRaw,    // as written; the handler splits and substitutes its fields
  kWhole,  // substituted as a whole before the call
};

struct CommandEntry {
  Code code;
  Handler handler;
  Params params;
};

// The modules' tables.
std::span<const CommandEntry> core_commands();
std::span<const CommandEntry> text_commands();
std::span<const CommandEntry> date_commands();
std::span<const CommandEntry> flow_commands();
std::span<const CommandEntry> package_commands();
std::span<const CommandEntry> file_commands();
std::span<const CommandEntry> registry_commands();
std::span<const CommandEntry> program_commands();

// The entry of a code, or null when no handler knows it.
const CommandEntry* find_command(Code code);

// Runs one command: refreshes CWD, then calls the handler of the code, if
// any, with the parameter text.
void execute_command(Run& run, Code code, TextView params);

}  // namespace talvex
