#include "app/startup.h"

#include "lang/errors.h"
#include "lang/process.h"
#include "lang/run.h"
#include "platform/platform.h"
#include "util/codepage.h"
#include "util/i18n.h"

namespace talvex {

namespace {

void on_interrupt() { request_stop(); }

// talvex -RUN FILE: runs FILE as the embedded script would run, with no
// macro parameters and no log unless /LOGFILE= is given.
int run_script_file(const Text& path) {
  ScriptSource source{ScriptSource::Kind::kFile, path, process().exe_path};
  Run run(std::move(source), Text(), RunLog{});
  run.execute();
  return process().exit_code;
}

}  // namespace

int start_up(int argc, char** argv) {
  platform::install(platform::posix_platform());
  init_process(argc, argv);
  const ProcessState& proc = process();
  init_translation(ansi_encode(proc.exe_dir));

  // Ctrl+C on the console requests a stop like the stop key: the run ends
  // through its end steps.
  if (!command_line_has(u"-NOSTOPKEY") && !command_line_has(u"/NOSTOPKEY")) {
    platform::get().system->on_interrupt(on_interrupt);
  }

  try {
    if (argc >= 3 && equals_ci(ansi_decode(argv[1]), u"-RUN")) {
      return run_script_file(ansi_decode(argv[2]));
    }
  } catch (const RuntimeFailure& failure) {
    show_failure(failure.message());
    return 1;
  }
  // A runtime without a script and without a switch ends at once.
  return proc.exit_code;
}

}  // namespace talvex
