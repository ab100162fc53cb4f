#include "lang/run.h"

#include "lang/commands.h"
#include "lang/control_flow.h"
#include "lang/errors.h"
#include "lang/expr/expr.h"
#include "lang/process.h"
#include "platform/platform.h"
#include "system/libraries.h"
#include "util/numbers.h"

namespace talvex {

void pumping_wait(int64_t ms) {
  if (ms <= 0) return;
  auto& p = platform::get();
  const uint64_t t0 = p.clock->tick_ms();
  while (p.clock->tick_ms() - t0 < static_cast<uint64_t>(ms) &&
         !process().stop.load(std::memory_order_relaxed)) {
    p.events->process_pending();
    p.clock->sleep_ms(1);
  }
}

Run::Run(ScriptSource source, Text macro_params, RunLog log)
    : log(std::move(log)), source_(std::move(source)), macro_params_(std::move(macro_params)) {
  store.set_expression_hook([this](const Text& x) { return evaluate_expression(*this, x); });
}

Text Run::execute() {
  set_up();
  loop();
  end_steps();
  return store.substitute(u"%MACRO_RESULT%", true);
}

void Run::set_up() {
  ProcessState& proc = process();
  auto& sys = *platform::get().system;
  store.set_command_line_args(&proc.args);
  step_delay_argument_ = store.command_line_value(u"STEP_DELAY").has_value();
  store.set(u"_LINE_NUM", u"0");

  lines = source_.kind == ScriptSource::Kind::kFile ? load_script_file(source_.value)
                                                    : split_lines(source_.value);
  pc = 0;
  proc.stop.store(false, std::memory_order_relaxed);
  platform::get().shell->set_tray_blinking(true);

  Text temp_dir = Text(trim(sys.temp_dir()));
  store.set(u"VAREXPLICIT", u"0");
  store.set(u"IGNORESPACES", u"0");

  seed_random_from_clock();
  // The predefined variables go through Let like a script's own assignments.
  const Text exe = proc.exe_path;
  const Text predefined[][2] = {
      {u"OS_VER", proc.os_ver},
      {u"WIN_DIR", proc.win_dir},
      {u"SYS_DIR", proc.sys_dir},
      {u"TEMP_DIR", temp_dir},
      {u"USERDOCUMENTS_DIR", sys.folder(platform::Folder::kDocuments)},
      {u"DESKTOP_DIR", sys.folder(platform::Folder::kDesktop)},
      {u"LF", u"\n"},
      {u"CR", u"\r"},
      {u"CRLF", u"\r\n"},
      {u"TAB", u"\t"},
      {u"SPACE", u" "},
      {u"USER_NAME", proc.user_name},
      {u"COMPUTER_NAME", proc.computer_name},
      {u"MSG_STAYONTOP", u"0"},
      {u"SK_DELAY", u"0"},
      {u"CF_OVERWRITE", u"0"},
      {u"WF_TYPE", u"1"},
      {u"GAW_TYPE", u"0"},
      {u"MSG_HEIGHT", u"200"},
      {u"MSG_WIDTH", u"273"},
      {u"MSG_XPOS", u"CENTER"},
      {u"MSG_YPOS", u"CENTER"},
      {u"RND_SEED", int_to_text(proc.random_seed)},
      {u"VINTRA_VER", u"11.0.33"},
      {u"MACRO_PARMS", macro_params_},
      {u"COMMAND_LINE", proc.command_line},
      {u"SCRIPT_FILE", exe},
      {u"SCRIPT_DIR", proc.exe_dir},
  };
  for (const auto& [name, value] : predefined) {
    execute_command(*this, u"LET"_code, name + u"=" + value);
  }

  // The macro parameters: items separated by " /", each run as a Let.
  if (!macro_params_.empty() && macro_params_ != u"0") {
    Text rest = macro_params_ + u" /";
    while (rest.size() > 2) {
      size_t sep = rest.find(u" /");
      Text item(trim(TextView(rest).substr(0, sep)));
      execute_command(*this, u"LET"_code, item);
      rest.erase(0, sep + 2);
    }
  }

  Text logfile = store.substitute(u"%LOGFILE%", true);
  if (logfile != u"%LOGFILE%") {
    log.file = std::move(logfile);
    log.full = true;
  }
  imports = load_imports();
  if (log.on()) log.write(u"Started Macro : " + source_.log_name);

  remembered_foreground = platform::get().desktop->foreground_window();
  inside_handler = just_returned = calling_handler = false;
}

bool Run::log_lines_enabled() {
  return log.on() && store.substitute(u"%_WRITE_LOG_FILE%", true) != u"0";
}

void Run::loop() {
  ProcessState& proc = process();
  auto& p = platform::get();
  while (pc < lines.size() && !proc.stop.load(std::memory_order_relaxed) && !exited_) {
    p.clock->yield();
    p.events->process_pending();
    run_line();
  }
}

void Run::run_line() {
  ProcessState& proc = process();
  const size_t index = pc++;
  store.set_line_number(static_cast<int>(pc));
  if (proc.stop.load(std::memory_order_relaxed)) return;

  // The loop reads the line through a view; a step that changes the list
  // (Include) first copies it into taken_.
  TextView line = lines[index];
  if (log_lines_enabled()) {
    log.write(u"START: " + Text(trim_left(store.substitute(line, true))));
  }

  // An event that fires replaces the taken line by a call of its handler;
  // the interrupted line runs again after the handler returns.
  bool replaced = false;
  if (!events.empty()) {
    if (std::optional<Text> handler = check_events(*this)) {
      taken_ = u"Gosub>" + *handler;
      line = taken_;
      pc = index;
      inside_handler = true;
      calling_handler = true;
      replaced = true;
    }
  }

  // The bare name STEP_DELAY reads as a number only through a variable (with
  // whole-name lookup on) or a command-line argument; otherwise it stays the
  // text STEP_DELAY, which reads as 0, and substitution can be skipped.
  if ((store.var_explicit_is_zero() && store.find(u"STEP_DELAY")) || step_delay_argument_) {
    Text delay = store.substitute(u"STEP_DELAY", true);
    if (int32_t ms = integer_or_zero(delay); ms != 0) pumping_wait(ms);
  }

  const Code code0 = raw_code(line);
  if (!replaced) pc = skip_block_comment_forward(lines, index);
  if (TextView s = trim_left(line); s.size() >= 2 && s[0] == u'/' && s[1] == u'/') {
    // A run of "//" lines is one step; the last line of the script is always
    // taken on its own.
    while (pc + 1 < lines.size()) {
      TextView next = trim_left(lines[pc]);
      if (next.size() < 2 || next[0] != u'/' || next[1] != u'/') break;
      ++pc;
    }
  }

  if (!imports.empty()) run_imported_function(*this, line);

  if (code0 == u"INC"_code) {
    if (!replaced) taken_ = lines[index];
    line = taken_;
    TextView s = trim_left(line);
    size_t gt = s.find(u'>');
    Text file = store.substitute(gt == TextView::npos ? TextView() : s.substr(gt + 1), true);
    if (include_file(lines, index, file)) {
      pc = index;
      ++lines_version;
    }
  }

  Identified id = identify(line);
  if (id.code == u"EXI"_code) {
    proc.exit_code = integer_or_zero(store.substitute(id.params, true));
    exited_ = true;
    return;
  }
  if (!run_control_flow(*this, id.code, id.params, line)) {
    execute_command(*this, id.code, id.params);
  }

  if (log_lines_enabled()) {
    log.write(u"  END: " + Text(trim_left(store.substitute(line, true))));
  }
  if (log.on() && store.substitute(u"%_DUMP_VARS%", true) == u"1") dump_variables();
}

void Run::dump_variables() {
  log.write(u"*** START VARIABLES ***");
  const tVarArray& entries = store.entries();
  for (size_t i = entries.size(); i-- > 0;) {
    log.write(entries[i].name + u"=" + entries[i].value);
  }
  log.write(u"*** END VARIABLES ***");
}

void Run::end_steps() {
  free_imports(imports);
  if (process().stop.load(std::memory_order_relaxed)) release_listed_libraries();
  if (log.on()) log.write(u"Finished Macro : " + source_.log_name);
  lines.clear();
  lines.shrink_to_fit();
}

}  // namespace talvex
