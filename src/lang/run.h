// The run procedure: one run of one script, from its set-up through the
// per-line loop to its end steps. A run owns its script list, its variable
// store and its per-run tables; a nested run (Macro) is a second Run object.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "lang/identify.h"
#include "lang/run_log.h"
#include "lang/script_list.h"
#include "lang/var_store.h"
#include "platform/platform.h"
#include "system/imports.h"
#include "util/text.h"

namespace talvex {

struct ScriptSource {
  enum class Kind { kFile, kText };
  Kind kind = Kind::kFile;
  Text value;     // the file path, or the script text itself
  Text log_name;  // what the "Started Macro : " and "Finished Macro : " lines name
};

class Run {
 public:
  // `macro_params` holds name=value items separated by " /" ("0" or empty
  // for none); `log` is the caller's log, passed on to a nested run.
  Run(ScriptSource source, Text macro_params, RunLog log);
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  // Runs the script and gives the macro result: the substituted value of
  // %MACRO_RESULT% at the end. A RuntimeFailure escapes without end steps.
  Text execute();

  ScriptList lines;
  size_t pc = 0;  // the line pointer: index of the next line to take
  VarStore store;
  RunLog log;

  // The return stack of Gosub and the event table of OnEventHandler.
  struct TSubNestTable {
    Text name;
    size_t return_line;
    bool event_handler;  // pushed by an event: its return ends the handler
  };
  std::vector<TSubNestTable> return_stack;
  struct TEvent {
    Text type, first, second, handler;
  };
  std::vector<TEvent> events;
  // Where labels and subroutines start, found by one forward scan and kept
  // until the script list changes (lines_version counts the changes).
  struct JumpIndex {
    uint64_t version = UINT64_MAX;
    std::unordered_map<Text, size_t> labels, labels_trimmed, subs, subs_trimmed;
  };
  JumpIndex jump_index;
  uint64_t lines_version = 0;
  tImports imports;  // the imported functions of this run
  bool inside_handler = false;
  bool just_returned = false;
  platform::WindowHandle remembered_foreground = 0;
  // Set by an event that fires: the next Gosub is the handler's call.
  bool calling_handler = false;

 private:
  void set_up();
  void loop();
  void end_steps();
  void run_line();
  bool log_lines_enabled();
  void dump_variables();

  ScriptSource source_;
  Text macro_params_;
  Text taken_;  // the line being run, when it must outlive a change to the list
  bool exited_ = false;
  bool step_delay_argument_ = false;  // the command line holds /STEP_DELAY=
};

// Waits `ms` milliseconds while processing pending events, sleeping one
// millisecond between checks; returns early when a stop is requested.
void pumping_wait(int64_t ms);

}  // namespace talvex
