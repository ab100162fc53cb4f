#include "lang/process.h"

#include <cstdio>

#include "platform/platform.h"
#include "system/libraries.h"
#include "util/codepage.h"

namespace talvex {

ProcessState& process() {
  static ProcessState state;
  return state;
}

void request_stop() {
  process().stop.store(true, std::memory_order_relaxed);
  release_listed_libraries();
}

void request_stop_from_signal() {
  process().stop.store(true, std::memory_order_relaxed);
}

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
  seed_random_from_clock();
}

Text temporary_file_name() {
  auto& p = platform::get();
  Text dir(trim(p.system->temp_dir()));
  if (!dir.empty()) {
    if (std::optional<Text> name = p.system->make_temp_file(dir, u"vtrt")) return *name;
  }
  platform::LocalTime t = p.clock->now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return process().exe_dir + u"/" + from_utf8(stamp) + u"vtrt1a.tmp";
}

void seed_random_from_clock() {
  platform::LocalTime t = platform::get().clock->now();
  uint64_t tick = platform::get().clock->tick_ms();
  process().random_seed = static_cast<uint32_t>(
      tick * 1000 + ((t.hour * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond);
}

}  // namespace talvex
