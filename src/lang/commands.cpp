#include "lang/commands.h"

#include <unordered_map>

#include "lang/run.h"
#include "util/file_io.h"

namespace talvex {

namespace {

const std::unordered_map<Code, const CommandEntry*>& table() {
  static const auto* map = [] {
    auto* m = new std::unordered_map<Code, const CommandEntry*>();
    for (auto module :
         {core_commands(), text_commands(), date_commands(), flow_commands(), package_commands(),
          file_commands(), registry_commands(), program_commands()}) {
      for (const CommandEntry& e : module) (*m)[e.code] = &e;
    }
    return m;
  }();
  return *map;
}

}  // namespace

const CommandEntry* find_command(Code code) {
  const auto& t = table();
  auto it = t.find(code);
  return it == t.end() ? nullptr : it->second;
}

void execute_command(Run& run, Code code, TextView params) {
  // CWD always holds the directory that was current when the command began.
  // The usual case, a plain CWD variable that already holds it, is checked
  // without substituting.
  const Text& cwd = current_directory();
  const TVariableTable* var = run.store.find(u"CWD");
  bool same = var != nullptr && var->value.find(u'%') == Text::npos &&
              (run.store.ignore_spaces() ? trim(var->value) == TextView(cwd) : var->value == cwd);
  if (!same && run.store.substitute(u"%CWD%", true) != cwd) run.store.set(u"CWD", cwd);

  const CommandEntry* e = find_command(code);
  if (e == nullptr) return;
  if (e->params == Params::kWhole) {
    Text whole = run.store.substitute(params, true);
    e->handler(run, whole);
  } else {
    e->handler(run, params);
  }
}

}  // namespace talvex
