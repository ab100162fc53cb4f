#include "app/startup.h"

#include "lang/errors.h"
#include "lang/process.h"
#include "lang/run.h"
#include "package/build.h"
#include "package/exe_mod.h"
#include "package/radazar.h"
#include "platform/platform.h"
#include "util/codepage.h"
#include "util/i18n.h"

namespace talvex {

namespace {

void on_interrupt() {
  request_stop_from_signal();
}

bool has_switch(const Text& text, const char16_t* name) {
  return text.find(Text(u"/") + name) != Text::npos || text.find(Text(u"-") + name) != Text::npos;
}

// The macro parameters of the embedded run: the stored options without their
// switches, trimmed, without a leading "/".
Text macro_parameters(Text options) {
  for (const char16_t* sw :
       {u"-HIDE", u"/HIDE", u"-NOSYSTRAY", u"/NOSYSTRAY", u"-NOSTOPKEY", u"/NOSTOPKEY"}) {
    TextView w(sw);
    for (size_t at; (at = options.find(w)) != Text::npos;) options.erase(at, w.size());
  }
  Text params(trim(options));
  if (!params.empty() && params[0] == u'/') params.erase(0, 1);
  return params;
}

int start(int argc, char** argv) {
  ProcessState& proc = process();
  ExeMod& exe = exe_mod();

  std::string encoded = exe.read_section(u"commandline");
  if (!encoded.empty()) {
    std::optional<Text> options = decode_options(encoded);
    if (!options) {
      show_failure(tr("Base64: Incorrect string format"));
      return 1;
    }
    proc.stored_options = std::move(*options);
  }

  // The tray icon with its hint, unless a switch asks for none; a hidden
  // application window on request.
  auto& shell = *platform::get().shell;
  if (!has_switch(proc.command_line, u"NOSYSTRAY") &&
      !has_switch(proc.stored_options, u"NOSYSTRAY")) {
    shell.show_tray_icon(tr("Shift+Esc To Stop"));
  }
  if (has_switch(proc.command_line, u"HIDE") || has_switch(proc.stored_options, u"HIDE")) {
    shell.hide_application();
  }

  // The stop key of a console runtime is Ctrl+C: it requests a stop and the
  // run ends through its end steps.
  if (!has_switch(proc.command_line, u"NOSTOPKEY") &&
      !has_switch(proc.stored_options, u"NOSTOPKEY")) {
    platform::get().system->on_interrupt(on_interrupt);
  }

  const Text params = macro_parameters(proc.stored_options);
  std::string script = exe.read_section(u"script1");
  if (!script.empty()) {
    ScriptSource source{ScriptSource::Kind::kText, decrypt_embedded_script(script), proc.exe_path};
    script.clear();
    Run run(std::move(source), params, RunLog{});
    run.execute();
  }

  std::vector<Text> args;
  for (int i = 0; i < argc; ++i) args.push_back(ansi_decode(argv[i]));
  if (args.size() > 1 && trim(args[1]).find(u"-COMPILE") != TextView::npos) {
    int built = run_build(args);
    return built != 0 ? built : proc.exit_code;
  }
  // Our extension: talvex -RUN FILE runs a script file as the embedded
  // script would run.
  if (script.empty() && exe.read_section(u"script1").empty() && args.size() > 2 &&
      equals_ci(args[1], u"-RUN")) {
    Run run(ScriptSource{ScriptSource::Kind::kFile, args[2], proc.exe_path}, params, RunLog{});
    run.execute();
  }
  return proc.exit_code;
}

}  // namespace

int start_up(int argc, char** argv) {
  platform::install(platform::posix_platform());
  init_process(argc, argv);
  init_translation(ansi_encode(process().exe_dir));
  try {
    return start(argc, argv);
  } catch (const RuntimeFailure& failure) {
    show_failure(failure.message());
    return 1;
  }
}

}  // namespace talvex
