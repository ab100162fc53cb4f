#include "system/process_launcher.h"

#include "platform/platform.h"

namespace talvex {

std::vector<Text> split_command_line(TextView line) {
  std::vector<Text> args;
  size_t i = 0;
  const size_t n = line.size();
  while (true) {
    while (i < n && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i >= n) break;
    Text arg;
    bool quoted = false;
    while (i < n && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      if (line[i] == u'\\') {
        size_t count = 0;
        while (i < n && line[i] == u'\\') ++count, ++i;
        if (i < n && line[i] == u'"') {
          arg.append(count / 2, u'\\');
          if (count % 2 == 1) {
            arg.push_back(u'"');
            ++i;
          }
        } else {
          arg.append(count, u'\\');
        }
        continue;
      }
      if (line[i] == u'"') {
        if (quoted && i + 1 < n && line[i + 1] == u'"') {
          arg.push_back(u'"');
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg.push_back(line[i++]);
    }
    args.push_back(std::move(arg));
  }
  return args;
}

int launch(TextView command_line, bool hidden, bool wait_for_exit) {
  auto& p = platform::get();
  std::optional<int64_t> id = p.processes->start(split_command_line(command_line), hidden);
  if (!id) return -1;
  if (!wait_for_exit) return p.processes->exit_code(*id).value_or(kStillActive);
  for (;;) {
    if (std::optional<int> code = p.processes->exit_code(*id)) return *code;
    p.events->process_pending();
    p.clock->sleep_ms(1);
  }
}

}  // namespace talvex
