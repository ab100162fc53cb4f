// The file and directory commands.
#include <filesystem>
#include <fstream>

#include "lang/commands.h"
#include "lang/errors.h"
#include "lang/fields.h"
#include "lang/process.h"
#include "lang/run.h"
#include "lang/script_list.h"
#include "platform/platform.h"
#include "system/ini_file.h"
#include "system/process_launcher.h"
#include "system/shell_file_op.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex {

namespace {

namespace fs = std::filesystem;

bool setting_on(Run& run, const char16_t* reference) {
  return run.store.substitute(reference, true) == u"1";
}

fs::path to_path(TextView t) {
  return fs::path(path_bytes(t));
}

void cmd_change_directory(Run& run, TextView dir) {
  if (directory_exists(dir)) {
    change_directory(dir);
    return;
  }
  report_error(run, tr("Directory") + u" " + Text(dir) + u" " + tr("Does Not Exist."),
               platform::BoxIcon::kWarning);
}

// Copy, move and rename split at the last comma: commas may stand in the
// source but not in the destination.
void shell_operation(Run& run, TextView params, TShellFileOp::Operation op, const char* missing) {
  size_t comma = params.rfind(u',');
  if (comma == TextView::npos) {
    report_error(run, tr(missing));
    return;
  }
  Text source = run.store.substitute(params.substr(0, comma), true);
  Text destination = run.store.substitute(params.substr(comma + 1), true);
  TShellFileOp shell;
  shell.RenameOnCollision = !setting_on(run, u"%CF_OVERWRITE%");
  shell.AddSource(source);
  shell.Execute(op, destination);
}

void cmd_copy(Run& run, TextView params) {
  shell_operation(run, params, TShellFileOp::Operation::kCopy,
                  "Error - CopyFile has Missing Parameter.");
}

void cmd_move(Run& run, TextView params) {
  auto op = setting_on(run, u"%MF_RENAME%") ? TShellFileOp::Operation::kRename
                                            : TShellFileOp::Operation::kMove;
  shell_operation(run, params, op, "Error - MoveFile has Missing Parameter.");
}

void cmd_rename(Run& run, TextView params) {
  shell_operation(run, params, TShellFileOp::Operation::kRename,
                  "Error - RenameFile has Missing Parameter.");
}

void cmd_delete(Run&, TextView path) {
  TShellFileOp shell;
  shell.AddSource(path);
  shell.Execute(TShellFileOp::Operation::kDelete);
}

void cmd_create_dir(Run&, TextView dir) {
  std::error_code ec;
  fs::create_directory(to_path(dir), ec);
}

void cmd_append_files(Run& run, TextView params) {
  Fields f(run, params);
  Text first = f.input();
  Text r1 = f.rest_input();
  Fields g(run, r1);
  Text second = g.input();
  Text r2 = g.rest_input();
  Fields h(run, r2);
  Text output = h.input();
  TextView var = h.rest_raw();
  std::optional<std::string> a = file_exists(first) ? read_file_bytes(first) : std::nullopt;
  std::optional<std::string> b = file_exists(second) ? read_file_bytes(second) : std::nullopt;
  if (!a || !b) {
    run.store.set(var, u"-1");
    return;
  }
  if (!write_file_bytes(output, *a + *b)) {
    file_failure("Cannot create file", output);
  }
  run.store.set(var, int_to_text(static_cast<int64_t>(a->size() + b->size())));
}

// The directory part of a pattern, without a trailing separator.
Text directory_part(TextView pattern) {
  size_t slash = pattern.rfind(u'/');
  return slash == TextView::npos ? Text() : Text(pattern.substr(0, slash));
}

void cmd_get_file_list(Run& run, TextView params) {
  Fields f(run, params);
  Text pattern = f.input();
  TextView rest = f.rest_raw();
  TextView var = rest;
  Text separator = u";";
  if (size_t comma = rest.find(u','); comma != TextView::npos) {
    var = rest.substr(0, comma);
    separator = run.store.substitute(rest.substr(comma + 1), true);
  }
  const bool dirs = setting_on(run, u"%GFL_TYPE%");
  Text dir = directory_part(pattern);
  Text list;
  for (const Text& path : matching_paths(pattern)) {
    std::error_code ec;
    if (fs::is_directory(to_path(path), ec) != dirs) continue;
    Text name = to_path(path).filename().native().empty()
                    ? path
                    : ansi_decode(to_path(path).filename().native());
    if (name == u"." || name == u"..") continue;
    Text entry = dir.empty() ? name : dir + u"/" + name;
    list = entry + separator + list;
  }
  if (!list.empty()) list.resize(list.size() - separator.size());
  run.store.set(var, std::move(list));
}

int64_t count_files(const fs::path& dir, TextView mask, bool recurse) {
  int64_t count = 0;
  std::error_code ec;
  std::vector<fs::path> subdirs;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e2;
    if (it->is_directory(e2)) {
      subdirs.push_back(it->path());
      continue;
    }
    Text name = ansi_decode(it->path().filename().native());
    if (mask == u"*.*" || wildcard_match(mask, name)) ++count;
  }
  if (recurse) {
    for (const fs::path& sub : subdirs) count += count_files(sub, mask, true);
  }
  return count;
}

void cmd_count_files(Run& run, TextView params) {
  Fields f(run, params);
  Text path = f.input();
  TextView rest = f.rest_raw();
  TextView var;
  Text flag;
  if (size_t comma = rest.find(u','); comma != TextView::npos) {
    var = rest.substr(0, comma);
    flag = run.store.substitute(rest.substr(comma + 1), true);
  } else {
    flag = run.store.substitute(rest, true);
  }
  size_t slash = path.rfind(u'/');
  Text dir = slash == Text::npos ? current_directory() : path.substr(0, slash + 1);
  Text mask = slash == Text::npos ? path : path.substr(slash + 1);
  if (mask.empty()) mask = u"*.*";
  run.store.set(var, int_to_text(count_files(to_path(dir), mask, flag == u"1")));
}

// File, then the result variable as written.
struct FileAndVariable {
  Text file;
  TextView var;
};
FileAndVariable file_and_variable(Run& run, TextView params) {
  Fields f(run, params);
  Text file = f.input();
  return {file, f.rest_raw()};
}

void cmd_file_size(Run& run, TextView params) {
  auto [file, var] = file_and_variable(run, params);
  for (const Text& path : matching_paths(file)) {
    std::error_code ec;
    auto size = fs::file_size(to_path(path), ec);
    if (ec) continue;
    run.store.set(var, int_to_text(static_cast<int64_t>(size)));
    return;
  }
  run.store.set(var, u"File Not Found");
}

void file_time(Run& run, TextView params, const char* format) {
  auto [file, var] = file_and_variable(run, params);
  std::optional<std::time_t> t = file_exists(file) ? modification_time(file) : std::nullopt;
  if (!t) {
    run.store.set(var, u"File Not Found");
    return;
  }
  std::tm parts = *std::localtime(&*t);
  char buf[32];
  std::strftime(buf, sizeof buf, format, &parts);
  run.store.set(var, from_utf8(buf));
}

void cmd_file_date(Run& run, TextView params) {
  file_time(run, params, "%Y%m%d");
}
void cmd_file_time(Run& run, TextView params) {
  file_time(run, params, "%H%M%S");
}

void cmd_read_line(Run& run, TextView params) {
  Fields f(run, params);
  Text file = f.input();
  Text rest = f.rest_input();
  Fields g(run, rest);
  std::optional<int32_t> number = parse_integer(g.input());
  TextView var = g.rest_raw();
  if (!number || !file_exists(file)) {
    run.store.set(var, u"##NOFILE##");
    return;
  }
  std::ifstream in(path_bytes(file), std::ios::binary);
  if (!in) {
    run.store.set(var, u"##ERR## - Code : " + int_to_text(errno));
    return;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  // CR, LF and CR LF all end a line; a NUL is text like any other.
  ScriptList lines = split_text_lines(ansi_decode(bytes));
  int64_t wanted = *number;
  int64_t read = 0;
  Text last;
  while (read < static_cast<int64_t>(lines.size()) && read < wanted &&
         !process().stop.load(std::memory_order_relaxed)) {
    last = lines[static_cast<size_t>(read++)];
  }
  bool at_end = read == static_cast<int64_t>(lines.size());
  run.store.set(var, !at_end || read == wanted ? last : Text(u"##EOF##"));
}

void cmd_read_file(Run& run, TextView params) {
  auto [file, var] = file_and_variable(run, params);
  if (!file_exists(file)) {
    run.store.set(var, u"##NOFILE##");
    return;
  }
  std::optional<std::string> bytes = read_file_bytes(file);
  if (!bytes) file_failure("Cannot open file", file);
  if (bytes->size() >= 2 && bytes->compare(0, 2, "\xFF\xFE") == 0) {
    run.store.set(var, decode_utf16le(*bytes));
  } else {
    run.store.set(var, ansi_decode(*bytes));
  }
}

void cmd_write_line(Run& run, TextView params) {
  Fields f(run, params);
  Text file = f.input();
  Text rest = f.rest_input();
  Fields g(run, rest);
  TextView var = g.raw();
  Text text = g.rest_input();
  std::string bytes = ansi_encode(text);
  if (!setting_on(run, u"%WLN_NOCRLF%")) bytes += "\r\n";
  std::FILE* out = std::fopen(path_bytes(file).c_str(), "ab");
  if (out == nullptr) {
    run.store.set(var, int_to_text(errno));
    return;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  ok = std::fclose(out) == 0 && ok;
  if (!ok) file_failure("Cannot write file", file);
  run.store.set(var, u"0");
}

// Plays a sound file to its end; a missing file, player or audio device is
// silent.
void cmd_play_sound(Run&, TextView file) {
  platform::get().system->play_sound(Text(file));
}

// EditIniFile and ReadIniFile: file, section and entry are evaluated.
struct IniFields {
  Text file, section, entry;
  TextView rest;
};
IniFields ini_fields(Run& run, TextView params) {
  Fields f(run, params);
  IniFields r;
  r.file = f.input();
  r.section = f.input();
  r.entry = f.input();
  r.rest = f.rest_raw();
  return r;
}

void cmd_edit_ini(Run& run, TextView params) {
  IniFields p = ini_fields(run, params);
  if (p.file.empty() || p.section.empty() || p.entry.empty()) {
    report_error(run, tr("Error in EditIniFile command."));
    return;
  }
  if (!file_exists(p.file)) {
    report_error(run, tr("Ini file in EditIniFile does not exist."));
    return;
  }
  Text value = run.store.substitute(p.rest, true);
  if (!write_ini_entry(p.file, p.section, p.entry, value)) {
    throw RuntimeFailure(tr("Unable to write to ") + p.file);
  }
}

void cmd_read_ini(Run& run, TextView params) {
  IniFields p = ini_fields(run, params);
  if (p.file.empty() || p.section.empty() || p.entry.empty()) {
    report_error(run, tr("Error in ReadIniFile command."));
    return;
  }
  if (!file_exists(p.file)) {
    report_error(run, tr("Ini file in ReadIniFile does not exist."));
    return;
  }
  run.store.set(p.rest, read_ini_entry(p.file, p.section, p.entry).value_or(Text()));
}

constexpr CommandEntry kCommands[] = {
    {u"CHA"_code, cmd_change_directory, Params::kWhole},
    {u"COP"_code, cmd_copy, Params::kRaw},
    {u"MOV"_code, cmd_move, Params::kRaw},
    {u"REN"_code, cmd_rename, Params::kRaw},
    {u"DEL"_code, cmd_delete, Params::kWhole},
    {u"CRE"_code, cmd_create_dir, Params::kWhole},
    {u"APP"_code, cmd_append_files, Params::kRaw},
    {u"GFL"_code, cmd_get_file_list, Params::kRaw},
    {u"COU"_code, cmd_count_files, Params::kRaw},
    {u"FSZ"_code, cmd_file_size, Params::kRaw},
    {u"FDT"_code, cmd_file_date, Params::kRaw},
    {u"FTM"_code, cmd_file_time, Params::kRaw},
    {u"RLN"_code, cmd_read_line, Params::kRaw},
    {u"RFL"_code, cmd_read_file, Params::kRaw},
    {u"WLN"_code, cmd_write_line, Params::kRaw},
    {u"PLA"_code, cmd_play_sound, Params::kWhole},
    {u"EDI"_code, cmd_edit_ini, Params::kRaw},
    {u"REA"_code, cmd_read_ini, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> file_commands() {
  return kCommands;
}

}  // namespace talvex
