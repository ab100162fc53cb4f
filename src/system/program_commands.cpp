// Programs, the shell opener, shutting down, and library calls.
#include "lang/commands.h"
#include "lang/errors.h"
#include "lang/fields.h"
#include "lang/process.h"
#include "lang/run.h"
#include "platform/platform.h"
#include "system/libraries.h"
#include "system/process_launcher.h"
#include "util/file_io.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex {

namespace {

Text setting(Run& run, const char16_t* reference) {
  return run.store.substitute(reference, true);
}

// The desktop's way to open a file: a program runs with its parameters, a
// document opens with xdg-open.
int shell_start(const Text& file, const Text& params, bool elevate, bool wait) {
  Text line;
  if (elevate) {
    line = u"pkexec \"" + file + u"\" " + params;
  } else if (file_exists(file) && file.find(u'/') != Text::npos) {
    line = u"\"" + file + u"\" " + params;
  } else {
    line = u"xdg-open \"" + file + u"\"";
  }
  return launch(line, false, wait);
}

void cmd_run_program(Run& run, TextView command) {
  Text mode = setting(run, u"%RP_WINDOWMODE%");
  bool hidden = mode == u"0";
  Text wait = setting(run, u"%RP_WAIT%");
  if (setting(run, u"%RP_ADMIN%") == u"1") {
    Text program(command), params;
    if (!command.empty() && command[0] == u'"') {
      size_t close = command.find(u'"', 1);
      program = Text(command.substr(0, close == TextView::npos ? command.size() : close + 1));
      params = close == TextView::npos ? Text() : Text(command.substr(close + 1));
    } else if (!file_exists(command) && command.find(u' ') != TextView::npos) {
      size_t blank = command.find(u' ');
      program = Text(command.substr(0, blank));
      params = Text(command.substr(blank + 1));
    }
    if (program.size() >= 2 && program.front() == u'"' && program.back() == u'"') {
      program = program.substr(1, program.size() - 2);
    }
    shell_start(program, params, true, wait == u"1");
    return;
  }
  // Waiting for a program to be ready for input has no meaning on this
  // platform: "2" returns at once like no waiting.
  int code = launch(command, hidden, wait == u"1");
  bool failed = wait == u"1" ? code == -1 : code < 32;
  if (failed && setting(run, u"%RP_DISPLAYERROR%") != u"0") {
    if (setting(run, u"%IGNOREERRORS%") != u"1") {
      Text text =
          line_message(run.store.line_number(), tr("Error Executing") + u" " + Text(command) +
                                                    u" (" + int_to_text(code) + u")");
      platform::get().boxes->message_box(text, u"", platform::BoxButtons::kOkAbort,
                                         platform::BoxIcon::kWarning);
    }
    request_stop();
  }
  run.store.set(u"RP_RESULT", int_to_text(code));
}

void cmd_execute_file(Run&, TextView text) {
  size_t comma = text.rfind(u',');
  Text file(comma == TextView::npos ? text : text.substr(0, comma));
  Text params(comma == TextView::npos ? TextView() : text.substr(comma + 1));
  shell_start(file, params, false, false);
}

void cmd_shut_down(Run&, TextView text) {
  int32_t mode = integer_or_zero(text);
  using platform::PowerAction;
  PowerAction action = PowerAction::kLogOff;
  bool forced = false;
  switch (mode) {
    case 0:
      action = PowerAction::kShutDown;
      break;
    case 1:
      action = PowerAction::kRestart;
      break;
    case 3:
      action = PowerAction::kShutDown, forced = true;
      break;
    case 4:
      action = PowerAction::kRestart, forced = true;
      break;
    default:
      forced = mode >= 5;
      break;
  }
  request_stop();
  platform::get().power->request(action, forced);
}

// The runtime's icon belongs to the desktop backend; a console has none.
void cmd_icon_from_file(Run&, TextView) {}

void cmd_lib_load(Run& run, TextView params) {
  Fields f(run, params);
  Text name = f.input();
  run.store.set(f.rest_raw(), int_to_text(load_library(name)));
}

void cmd_lib_free(Run&, TextView text) {
  free_library(integer_or_zero(text));
}

void lib_call(Run& run, TextView params, bool wide) {
  Fields f(run, params);
  Text library = f.input();
  Text r = f.rest_input();
  Fields g(run, r);
  Text function = g.input();
  TextView rest = g.rest_raw();
  if (r.find(u',') == Text::npos) {
    function = run.store.substitute(r, true);
    rest = TextView();
  }
  size_t comma = rest.find(u',');
  TextView var = comma == TextView::npos ? rest : rest.substr(0, comma);
  std::vector<Text> args;
  if (comma != TextView::npos) {
    TextView list = rest.substr(comma + 1);
    size_t from = 0;
    for (;;) {
      size_t at = list.find(u',', from);
      args.emplace_back(list.substr(from, at == TextView::npos ? TextView::npos : at - from));
      if (at == TextView::npos) break;
      from = at + 1;
    }
  }
  call_library_function(run, library, function, var, args, wide);
}

void cmd_lib_func(Run& run, TextView params) {
  lib_call(run, params, false);
}
void cmd_lib_func_w(Run& run, TextView params) {
  lib_call(run, params, true);
}

constexpr CommandEntry kCommands[] = {
    {u"RUN"_code, cmd_run_program, Params::kWhole}, {u"EXE"_code, cmd_execute_file, Params::kWhole},
    {u"SDW"_code, cmd_shut_down, Params::kWhole},   {u"ICO"_code, cmd_icon_from_file, Params::kRaw},
    {u"LLD"_code, cmd_lib_load, Params::kRaw},      {u"LFR"_code, cmd_lib_free, Params::kWhole},
    {u"LIB"_code, cmd_lib_func, Params::kRaw},      {u"LIW"_code, cmd_lib_func_w, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> program_commands() {
  return kCommands;
}

}  // namespace talvex
