// Process-wide state: what outlives a single run. The stop flag, the exit
// code, the command line and the facts read once at process start.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "util/text.h"

namespace talvex {

struct ProcessState {
  // Set by a stop request (stop key, Ctrl+C, Abort), cleared by every run's
  // set-up; it starts set, so nothing runs before a run clears it.
  std::atomic<bool> stop{true};
  // The process exit code: 0 unless a script's Exit set it.
  int exit_code = 0;
  // The whole command line: the arguments joined by single blanks.
  Text command_line;
  // The arguments after the program name, for the /name=value lookup.
  std::vector<Text> args;
  // The full path of the runtime's executable and its directory.
  Text exe_path;
  Text exe_dir;
  // The decoded stored options of a built executable (section commandline).
  Text stored_options;
  // Facts read once at start-up.
  Text os_ver, win_dir, sys_dir, user_name, computer_name;
  // The random generator's state (the Random command).
  uint32_t random_seed = 0;
  // The application title: the title of message boxes, set by Let>APP_TITLE=.
  Text app_title = u"Vintrel";
};

ProcessState& process();

// Requests a stop: every loop and wait ends within a few milliseconds, and
// the libraries on the loaded-library list are freed.
void request_stop();
// The same from a signal handler: only the flag is set; the run frees the
// libraries when it ends.
void request_stop_from_signal();

// True when `needle` occurs in the command line; the switches are found by
// this substring test, case-sensitively.
bool command_line_has(TextView needle);

// Seeds the random generator from the clock, as every run's set-up does.
void seed_random_from_clock();

// A new empty temporary file whose name begins with "vtrt", in the
// temporary directory; when none can be made, the runtime's directory, "/",
// the date and time as yyyymmddhhnnss and "vtrt1a.tmp".
Text temporary_file_name();

// Fills the facts from the platform and the command line from `argv`.
void init_process(int argc, char** argv);

}  // namespace talvex
