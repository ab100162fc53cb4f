#include "lang/process.h"

#include "platform/platform.h"
#include "util/codepage.h"

namespace talvex {

ProcessState& process() {
  static ProcessState state;
  return state;
}

void request_stop() { process().stop.store(true, std::memory_order_relaxed); }

bool command_line_has(TextView needle) {
  return process().command_line.find(needle) != Text::npos;
}

void init_process(int argc, char** argv) {
  ProcessState& p = process();
  auto& sys = *platform::get().system;
  p.command_line.clear();
  p.args.clear();
  for (int i = 0; i < argc; ++i) {
    Text arg = ansi_decode(argv[i]);
    if (i > 0) {
      p.command_line.push_back(u' ');
      p.args.push_back(arg);
    }
    p.command_line += arg;
  }
  p.exe_path = sys.executable_path();
  size_t slash = p.exe_path.rfind(u'/');
  p.exe_dir = slash == Text::npos ? Text() : p.exe_path.substr(0, slash);
  p.os_ver = sys.os_version();
  p.win_dir = sys.windows_dir();
  p.sys_dir = sys.system_dir();
  p.user_name = sys.user_name();
  p.computer_name = sys.computer_name().value_or(u"ERR");
  p.random_seed = static_cast<uint32_t>(platform::get().clock->tick_ms());
}

}  // namespace talvex
