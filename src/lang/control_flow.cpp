#include "lang/control_flow.h"

#include <ctime>

#include "desktop/window_lookup.h"
#include "lang/errors.h"
#include "lang/expr/expr.h"
#include "lang/fields.h"
#include "lang/process.h"
#include "lang/run.h"
#include "util/file_io.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex {

namespace {

// The name part of a line of the given kind ("LABEL", "SRT", "END",
// "REPEAT"): the left-trimmed text from the character after the keyword and
// its ">" on; nothing when the line is not of that kind.
std::optional<TextView> name_part(TextView line, TextView keyword) {
  TextView s = trim_left(line);
  if (!starts_with_ci(s, keyword)) return std::nullopt;
  size_t from = keyword.size() + 1;
  return from < s.size() ? s.substr(from) : TextView();
}

// Compares a candidate's name part with a sought name; with IGNORESPACES at
// "1" the candidate, and when `trim_sought` the sought name too, lose their
// surrounding blanks.
bool name_matches(Run& run, TextView candidate, TextView sought, bool trim_sought) {
  if (run.store.ignore_spaces()) {
    candidate = trim(candidate);
    if (trim_sought) sought = trim(sought);
  }
  return candidate == sought;
}

// A forward search from `from` for the first line that `match` accepts,
// passing over block comments. Leaves the line pointer after the found line
// or at the end of the script.
template <typename Match>
bool search_forward(Run& run, size_t from, Match match) {
  for (size_t i = from; i < run.lines.size(); i = skip_block_comment_forward(run.lines, i)) {
    if (match(TextView(run.lines[i]))) {
      run.pc = i + 1;
      return true;
    }
  }
  run.pc = run.lines.size();
  return false;
}

// The jump index: the first label and subroutine line of every name, found
// by the same forward scan (block comments passed over) that a search makes,
// so a lookup gives what the linear search would.
const Run::JumpIndex& jump_index(Run& run) {
  Run::JumpIndex& index = run.jump_index;
  if (index.version == run.lines_version) return index;
  index = Run::JumpIndex{};
  index.version = run.lines_version;
  for (size_t i = 0; i < run.lines.size(); i = skip_block_comment_forward(run.lines, i)) {
    if (std::optional<TextView> name = name_part(run.lines[i], u"LABEL")) {
      index.labels.emplace(Text(*name), i);
      index.labels_trimmed.emplace(Text(trim(*name)), i);
    } else if (std::optional<TextView> sub = name_part(run.lines[i], u"SRT")) {
      index.subs.emplace(Text(*sub), i);
      index.subs_trimmed.emplace(Text(trim(*sub)), i);
    }
  }
  return index;
}

// Moves the line pointer after the indexed line, or to the end of the script.
bool jump_via(Run& run, const std::unordered_map<Text, size_t>& map, const Text& name) {
  auto it = map.find(name);
  run.pc = it == map.end() ? run.lines.size() : it->second + 1;
  return it != map.end();
}

// A label of that name: compared exactly, or, for Goto with IGNORESPACES at
// "1", with the candidate's blanks trimmed.
bool find_label(Run& run, TextView target, bool exact) {
  const Run::JumpIndex& index = jump_index(run);
  bool trimmed = !exact && run.store.ignore_spaces();
  return jump_via(run, trimmed ? index.labels_trimmed : index.labels, Text(target));
}

Text params_after_gt(TextView line) {
  size_t gt = line.find(u'>');
  return gt == TextView::npos ? Text() : Text(line.substr(gt + 1));
}

void run_goto(Run& run, TextView params) {
  Text target = run.store.substitute(params, true);
  if (!find_label(run, target, false)) {
    report_error(run, tr("Error - Label") + u" " + target + u" " + tr("Not Found!"));
  }
}

void run_gosub(Run& run, TextView params) {
  size_t comma = params.find(u',');
  Text name =
      run.store.substitute(comma == TextView::npos ? params : params.substr(0, comma), true);
  if (comma != TextView::npos) {
    Text args = Text(params.substr(comma + 1)) + u",";
    int n = 0;
    size_t from = 0;
    for (size_t at; (at = args.find(u',', from)) != Text::npos; from = at + 1) {
      run.store.set(name + u"_var_" + int_to_text(++n),
                    run.store.substitute(TextView(args).substr(from, at - from), true));
    }
  }
  run.return_stack.push_back({name, run.pc, run.calling_handler});
  run.calling_handler = false;
  const Run::JumpIndex& index = jump_index(run);
  bool found = run.store.ignore_spaces() ? jump_via(run, index.subs_trimmed, Text(trim(name)))
                                         : jump_via(run, index.subs, name);
  if (!found) {
    report_error(run,
                 tr("Error - Subroutine/Label") + u" " + Text(params) + u" " + tr("Not Found!"));
    run.return_stack.pop_back();
  }
}

// A subroutine reached without a call: its body is passed over.
void run_srt(Run& run, TextView params) {
  Text name = run.store.substitute(params, true);
  bool found = search_forward(run, run.pc, [&](TextView line) {
    std::optional<TextView> n = name_part(line, u"END");
    return n && name_matches(run, *n, name, true);
  });
  if (!found) {
    report_error(
        run, tr("Error - ENDSUB For Subroutine") + u" " + Text(params) + u" " + tr("Not Found!"));
  }
}

void run_end(Run& run, TextView params, TextView line) {
  Text up = upper(line);
  if (up.find(u"ENDDIA") != Text::npos || up.find(u"ENDIF") != Text::npos) return;
  if (run.return_stack.empty()) return;
  if (run.store.substitute(params, true) != run.return_stack.back().name) return;
  Run::TSubNestTable top = run.return_stack.back();
  run.return_stack.pop_back();
  run.pc = top.return_line;
  if (top.event_handler) {
    run.inside_handler = false;
    run.just_returned = true;
  }
}

// The parts of an If parameter text, found without evaluating anything.
struct IfParts {
  bool complex = false;
  TextView condition;  // the inside of the braces (complex form)
  TextView left, right;
  TextView op;  // empty: no operator
  bool right_is_expression = false;
  TextView targets;
};

IfParts analyse_if(TextView params, Text& storage) {
  IfParts parts;
  size_t close = params.find(u'}');
  if (!params.empty() && params[0] == u'{' && close != TextView::npos) {
    parts.complex = true;
    parts.condition = params.substr(1, close - 1);
    parts.targets = close + 2 <= params.size() ? params.substr(close + 2) : TextView();
    return parts;
  }
  storage = Text(params);
  if (storage.find(u',') == Text::npos) storage.push_back(u',');
  TextView t = storage;
  size_t at = TextView::npos, len = 0;
  if ((at = t.find(u'=')) != TextView::npos) {
    len = 1;
  } else if ((at = t.find(u"<>")) != TextView::npos) {
    len = 2;
  } else if ((at = t.find(u'>')) != TextView::npos && t.find(u'<') == TextView::npos) {
    len = 1;
  } else if ((at = t.find(u'<')) != TextView::npos) {
    len = 1;
  }
  if (len == 0) return parts;
  parts.op = t.substr(at, len);
  parts.left = t.substr(0, at);
  TextView after = t.substr(at + len);
  size_t brace = after.find(u'}');
  if (!after.empty() && after[0] == u'{' && brace != TextView::npos) {
    parts.right = after.substr(0, brace + 1);
    parts.right_is_expression = true;
    parts.targets = brace + 2 <= after.size() ? after.substr(brace + 2) : TextView();
  } else {
    size_t comma = t.find(u',');
    parts.right = comma > at + len ? t.substr(at + len, comma - at - len) : TextView();
    parts.targets = t.substr(comma + 1);
  }
  return parts;
}

bool compare_operands(const Text& left, TextView op, const Text& right) {
  std::optional<double> l = parse_number(left), r = parse_number(right);
  int c;
  if (l && r) {
    c = *l < *r ? -1 : (*l > *r ? 1 : 0);
  } else {
    c = left.compare(right);
  }
  if (op == u"=") return c == 0;
  if (op == u"<>") return c != 0;
  if (op == u">") return c > 0;
  return c < 0;
}

// Skips a false block: to the line after the matching Else or Endif.
void skip_false_block(Run& run) {
  int nesting = 0;
  for (size_t i = run.pc; i < run.lines.size(); i = skip_block_comment_forward(run.lines, i)) {
    TextView s = trim_left(run.lines[i]);
    Code code = raw_code(s);
    if (code == u"IFW"_code || code == u"IFE"_code || code == u"IFD"_code || code == u"IFC"_code ||
        code == u"IFF"_code) {
      Text p = params_after_gt(s);
      if (p.find(u',') == Text::npos) ++nesting;
      if (p.size() >= 2 && p.compare(p.size() - 2, 2, u",,") == 0) ++nesting;
    } else if (code == u"IF>"_code) {
      Text p = params_after_gt(s), storage;
      IfParts parts = analyse_if(p, storage);
      TextView targets = parts.targets;
      size_t comma = targets.find(u',');
      if ((comma == TextView::npos ? targets : targets.substr(0, comma)).empty()) ++nesting;
    }
    bool endif = starts_with_ci(s, u"ENDIF");
    if (endif || starts_with_ci(s, u"ELSE")) {
      if (nesting == 0) {
        run.pc = i + 1;
        return;
      }
      if (endif) --nesting;
    }
  }
  run.pc = run.lines.size();
  report_error(run, tr("Error - missing ELSE/ENDIF"));
}

// Jumps to a target: a label of exactly that name, else the subroutine of
// that name, called from here.
void jump_to(Run& run, TextView target) {
  size_t back = run.pc;
  if (find_label(run, target, true)) return;
  run.pc = back;
  run_gosub(run, target);
}

void run_if(Run& run, TextView params) {
  Text storage;
  IfParts parts = analyse_if(params, storage);
  bool condition = false;
  if (parts.complex) {
    std::optional<bool> c = evaluate_condition(run, run.store.prepare_expression(parts.condition));
    if (c) {
      condition = *c;
    } else {
      request_stop();
    }
  } else if (parts.op.empty()) {
    report_error(run, tr("Missing =,<,> or <> in If Statement."), platform::BoxIcon::kWarning);
  } else {
    Text left = run.store.substitute(parts.left, true);
    Text right = run.store.substitute(parts.right, true);
    condition = compare_operands(left, parts.op, right);
  }
  size_t comma = parts.targets.find(u',');
  TextView true_target = comma == TextView::npos ? parts.targets : parts.targets.substr(0, comma);
  TextView false_target = comma == TextView::npos ? TextView() : parts.targets.substr(comma + 1);
  if (condition && !true_target.empty()) {
    jump_to(run, true_target);
  } else if (!condition && !false_target.empty()) {
    jump_to(run, false_target);
  } else if (!condition && true_target.empty()) {
    skip_false_block(run);
  }
}

// Else reached in normal flow: the true branch ran to its end.
void run_else(Run& run) {
  int nesting = 0;
  for (size_t i = run.pc; i < run.lines.size(); i = skip_block_comment_forward(run.lines, i)) {
    TextView s = trim_left(run.lines[i]);
    if (starts_with_ci(s, u"ENDIF")) {
      if (nesting == 0) {
        run.pc = i + 1;
        return;
      }
      --nesting;
    } else if (starts_with_ci(s, u"IF") && params_after_gt(s).find(u',') == Text::npos) {
      ++nesting;
    }
  }
  run.pc = run.lines.size();
  report_error(run, tr("Error - missing IF/ENDIF"));
}

int64_t local_day(std::time_t t) {
  std::tm parts = *std::localtime(&t);
  parts.tm_hour = 12;
  parts.tm_min = parts.tm_sec = 0;
  parts.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&parts) / 86400);
}

bool window_exists(Run& run, const Text& subject) {
  if (run.store.substitute(u"%WIN_USEHANDLE%", true) == u"1") {
    auto h = static_cast<platform::WindowHandle>(integer_or_zero(subject));
    return platform::get().desktop->is_window(h);
  }
  return LookupWindowTitle(subject, integer_or_zero(run.store.substitute(u"%WF_TYPE%", true)))
      .has_value();
}

// IfWindowExists, IfFileExists, IfDirectoryExists and IfFileChanged: a test,
// then If with a constant condition.
void run_if_test(Run& run, Code code, TextView params) {
  size_t comma = params.find(u',');
  Text subject =
      run.store.substitute(comma == TextView::npos ? params : params.substr(0, comma), true);
  TextView targets = comma == TextView::npos ? TextView() : params.substr(comma + 1);
  bool holds = false;
  if (code == u"IFW"_code) {
    holds = window_exists(run, subject);
  } else if (code == u"IFE"_code) {
    holds = !matching_paths(subject).empty();
  } else if (code == u"IFD"_code) {
    holds = directory_exists(subject);
  } else {
    size_t c2 = targets.find(u',');
    Text test = run.store.substitute(c2 == TextView::npos ? targets : targets.substr(0, c2), true);
    targets = c2 != TextView::npos ? targets.substr(c2 + 1) : TextView();
    std::optional<std::time_t> mtime = modification_time(subject);
    if (!mtime || !file_exists(subject)) {
      report_error(run, tr("File specifed in IfFileChangedSince is not valid."));
    } else {
      char16_t op = u'=';
      TextView days = test;
      if (!days.empty() && (days[0] == u'<' || days[0] == u'>' || days[0] == u'=')) {
        op = days[0];
        days = days.substr(1);
      }
      int64_t limit = local_day(std::time(nullptr)) - integer_or_zero(days);
      int64_t file_day = local_day(*mtime);
      holds = op == u'<' ? file_day > limit : op == u'>' ? file_day < limit : file_day == limit;
    }
  }
  size_t c = targets.find(u',');
  TextView true_target = c == TextView::npos ? targets : targets.substr(0, c);
  TextView false_target = c == TextView::npos ? TextView() : targets.substr(c + 1);
  Text rewritten;
  if (holds) {
    rewritten = true_target.empty() ? Text(u"{true}") : u"{true}," + Text(true_target);
  } else if (!false_target.empty()) {
    rewritten = u"{true}," + Text(false_target);
  } else {
    rewritten = true_target.empty() ? Text(u"{false}") : u"{false}," + Text(true_target);
  }
  run_if(run, rewritten);
}

void run_until(Run& run, TextView params) {
  Text condition = u"1=0";
  TextView loop_name = params;
  struct Sep {
    const char16_t* text;
    const char16_t* op;
  };
  static constexpr Sep kSeps[] = {
      {u",", u"="}, {u"=", u"="}, {u">", u">"}, {u"<", u"<"}, {u"<>", u"<>"}};
  for (const Sep& sep : kSeps) {
    size_t at = params.find(sep.text);
    if (at == TextView::npos) continue;
    TextView left_raw = params.substr(0, at);
    Text left = run.store.substitute(left_raw, true);
    Text right = run.store.substitute(
        params.substr(at + std::char_traits<char16_t>::length(sep.text)), true);
    if (parse_number(trim(left)) && parse_number(trim(right))) {
      condition = left + sep.op + right;
    } else {
      condition = u"\"" + left + u"\"" + sep.op + u"\"" + right + u"\"";
    }
    loop_name = left_raw;
  }
  std::optional<bool> done = evaluate_condition(run, condition);
  if (!done || *done) return;
  // Search backwards from the Until line itself for the Repeat line.
  for (size_t i = run.pc - 1;; --i) {
    std::optional<TextView> name = name_part(run.lines[i], u"REPEAT");
    if (name && name_matches(run, *name, loop_name, true)) {
      run.pc = i;
      return;
    }
    i = skip_block_comment_backward(run.lines, i);
    if (i == 0) break;
  }
  run.pc = 0;
  report_error(run, tr("Error - Repeat>") + Text(loop_name) + u" " + tr("Not Found!"));
}

void run_export(Run& run, TextView params) {
  Fields f(run, params);
  Text name = f.input();
  Text file = f.rest_input();
  std::optional<std::string> data = find_data_block(run.lines, name);
  if (!data) return;
  if (!write_file_bytes(file, *data)) {
    file_failure("Cannot create file", file);
  }
}

// Where a Macro parameter text splits into the file and the macro
// parameters: the first "/" that begins a parameter item, a "/" followed by
// a name and "=". Absolute paths keep their slashes.
size_t macro_separator(TextView text) {
  for (size_t i = text.find(u'/'); i != TextView::npos; i = text.find(u'/', i + 1)) {
    size_t j = i + 1;
    while (j < text.size() && !is_blank(text[j]) && text[j] != u'/' && text[j] != u'=') ++j;
    if (j > i + 1 && j < text.size() && text[j] == u'=') return i;
  }
  return TextView::npos;
}

void cmd_macro(Run& run, TextView text) {
  size_t sep = macro_separator(text);
  Text file, params;
  if (sep != TextView::npos) {
    file = Text(trim(text.substr(0, sep)));
    params = run.store.substitute(text.substr(sep + 1), true);
  } else {
    file = Text(text);
    params = u"0";
  }
  file = run.store.substitute(file, true);
  if (file.find(u".scp") == Text::npos) file = process().exe_dir + u"/" + file + u".scp";
  if (!file_exists(file)) {
    report_error(
        run, tr("Macro") + u", " + file + u", " + tr("specified in Macro> command Does Not Exist"));
    return;
  }
  Run nested(ScriptSource{ScriptSource::Kind::kFile, file, file}, params, run.log);
  Text result = nested.execute();
  run.store.set(u"MACRO_RESULT", std::move(result));
}

void cmd_on_event(Run& run, TextView params) {
  Fields f(run, params);
  Run::TEvent e;
  e.type = f.input();
  e.first = f.input();
  e.second = f.input();
  e.handler = f.rest_input();
  run.events.push_back(std::move(e));
}

bool key_event_fires(const Run::TEvent& e) {
  platform::Desktop& d = *platform::get().desktop;
  int vk = -1;
  if (e.first.size() == 1) {
    int k = d.key_for_char(e.first[0]);
    if (k >= 0) vk = k & 0xFF;
  } else if (starts_with_ci(e.first, u"VK")) {
    vk = integer_or_zero(TextView(e.first).substr(2));
  }
  if (vk < 0 || !d.key_down(vk)) return false;
  const bool shift = d.key_down(0x10), ctrl = d.key_down(0x11), alt = d.key_down(0x12);
  const bool win = d.key_down(0x5B) || d.key_down(0x5C);
  if (e.second == u"0") return !shift && !ctrl && !alt && !win;
  if (e.second == u"1") return shift;
  if (e.second == u"2") return ctrl;
  if (e.second == u"3") return alt;
  if (e.second == u"4") return shift && alt;
  if (e.second == u"5") return ctrl && alt;
  if (e.second == u"6") return shift && ctrl;
  if (e.second == u"7") return shift && ctrl && alt;
  if (e.second == u"8") return win;
  return false;
}

bool event_fires(Run& run, const Run::TEvent& e) {
  platform::Desktop& d = *platform::get().desktop;
  Text type = upper(e.type);
  if (type == u"WINDOW_OPEN" || type == u"WINDOW_NOTOPEN") {
    int wf = integer_or_zero(e.second);
    std::optional<Text> matched = LookupWindowTitle(e.first, wf);
    if (type == u"WINDOW_NOTOPEN") return !matched;
    if (!matched) return false;
    platform::WindowHandle h = ResolveWindowHandle(*matched, wf);
    return d.window_process_id(h) != d.current_process_id();
  }
  if (type == u"FILE_EXISTS") return !matching_paths(e.first).empty();
  if (type == u"FILE_NOTEXISTS") return matching_paths(e.first).empty();
  if (type == u"WINDOW_NEWACTIVE") {
    platform::WindowHandle fg = d.foreground_window();
    bool fires =
        fg != run.remembered_foreground && d.window_process_id(fg) != d.current_process_id();
    run.remembered_foreground = fg;
    return fires;
  }
  if (type == u"KEY_DOWN") return key_event_fires(e);
  // DIALOG_CHANGE and DIALOG_EVENT read the dialogs of the run, which no
  // command creates yet.
  return false;
}

constexpr CommandEntry kCommands[] = {
    {u"MAC"_code, cmd_macro, Params::kWhole},
    {u"ONE"_code, cmd_on_event, Params::kRaw},
};

}  // namespace

std::optional<Text> check_events(Run& run) {
  if (run.inside_handler) return std::nullopt;
  if (run.just_returned) {
    run.just_returned = false;
    return std::nullopt;
  }
  std::optional<Text> handler;
  for (const Run::TEvent& e : run.events) {
    if (event_fires(run, e)) handler = e.handler;
    platform::get().events->process_pending();
  }
  return handler;
}

bool run_control_flow(Run& run, Code code, TextView params, TextView line) {
  switch (code) {
    case u"GOT"_code:
      run_goto(run, params);
      return true;
    case u"GOS"_code:
      run_gosub(run, params);
      return true;
    case u"SRT"_code:
      run_srt(run, params);
      return true;
    case u"END"_code:
      run_end(run, params, line);
      return true;
    case u"IF>"_code:
      run_if(run, params);
      return true;
    case u"IFW"_code:
    case u"IFE"_code:
    case u"IFC"_code:
    case u"IFD"_code:
      run_if_test(run, code, params);
      return true;
    case u"ELS"_code:
      run_else(run);
      return true;
    case u"UNT"_code:
      run_until(run, params);
      return true;
    case u"EXP"_code:
      run_export(run, params);
      return true;
    case u"DIA"_code:
    case u"VBS"_code:
    case u"CAS"_code:
      return true;
    default:
      return false;
  }
}

std::span<const CommandEntry> flow_commands() {
  return kCommands;
}

}  // namespace talvex
