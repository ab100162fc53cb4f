// The POSIX backend: a console runtime without a desktop.
//
// Modal boxes print their text to standard error, one block per box, and take
// an answer from the file named by TALVEX_ANSWERS (one answer a line, used in
// order) or, when there is none, their default button.
#include <dlfcn.h>
#include <fcntl.h>
#include <ffi.h>
#include <pwd.h>
#include <sched.h>
#include <setjmp.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "util/codepage.h"

namespace talvex::platform {

namespace {

class PosixClock final : public Clock {
 public:
  uint64_t tick_ms() override {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }

  LocalTime now() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts{};
    localtime_r(&ts.tv_sec, &parts);
    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    t.day_of_week = parts.tm_wday + 1;
    return t;
  }

  void sleep_ms(uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

  // The run loop yields at every line. A system call per line would cost more
  // than the line itself, so the time slice is given up at most once per
  // millisecond: other programs still get the processor, and the stop
  // request arrives by signal in any case.
  void yield() override {
    if (++calls_ % 64 != 0) return;
    uint64_t now = tick_ms();
    if (now == last_yield_) return;
    last_yield_ = now;
    sched_yield();
  }

 private:
  uint64_t calls_ = 0;
  uint64_t last_yield_ = 0;
};

class PosixEvents final : public Events {
 public:
  // A console runtime has no window messages; signals arrive on their own.
  void process_pending() override {}
};

class ConsoleBoxes final : public Boxes {
 public:
  BoxAnswer message_box(const Text& text, const Text& /*title*/, BoxButtons buttons,
                        BoxIcon /*icon*/) override {
    BoxAnswer answer = default_answer(buttons);
    if (auto scripted = next_scripted_answer()) {
      if (auto a = parse_answer(*scripted, buttons)) answer = *a;
    }
    std::string block = ansi_encode(text);
    block += "\n[";
    block += buttons_label(buttons);
    block += "] ";
    block += answer_label(answer);
    block += "\n";
    std::fflush(stdout);
    std::fwrite(block.data(), 1, block.size(), stderr);
    std::fflush(stderr);
    return answer;
  }

 private:
  static BoxAnswer default_answer(BoxButtons b) {
    return b == BoxButtons::kAbortIgnore ? BoxAnswer::kIgnore : BoxAnswer::kOk;
  }

  static const char* buttons_label(BoxButtons b) {
    switch (b) {
      case BoxButtons::kOk:
        return "OK";
      case BoxButtons::kOkAbort:
        return "OK/Abort";
      case BoxButtons::kAbortIgnore:
        return "Abort/Ignore";
    }
    return "";
  }

  static const char* answer_label(BoxAnswer a) {
    switch (a) {
      case BoxAnswer::kOk:
        return "OK";
      case BoxAnswer::kAbort:
        return "Abort";
      case BoxAnswer::kIgnore:
        return "Ignore";
    }
    return "";
  }

  static std::optional<BoxAnswer> parse_answer(const std::string& s, BoxButtons b) {
    auto is = [&](const char* word) { return strcasecmp(s.c_str(), word) == 0; };
    if (is("OK") && b != BoxButtons::kAbortIgnore) return BoxAnswer::kOk;
    if (is("Abort") && b != BoxButtons::kOk) return BoxAnswer::kAbort;
    if (is("Ignore") && b == BoxButtons::kAbortIgnore) return BoxAnswer::kIgnore;
    return std::nullopt;
  }

  // The next line of the answers file, opened at the first box.
  std::optional<std::string> next_scripted_answer() {
    if (!opened_) {
      opened_ = true;
      if (const char* path = std::getenv("TALVEX_ANSWERS")) answers_.open(path);
    }
    std::string line;
    if (!answers_.is_open() || !std::getline(answers_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }

  bool opened_ = false;
  std::ifstream answers_;
};

// Starts a program with its arguments, looked up in PATH; its pid, or
// nothing when it cannot be started.
std::optional<pid_t> spawn(const std::vector<Text>& args) {
  if (args.empty()) return std::nullopt;
  std::vector<std::string> bytes;
  for (const Text& a : args) bytes.push_back(ansi_encode(a));
  std::vector<char*> argv;
  for (std::string& b : bytes) argv.push_back(b.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
  return pid;
}

Text env_text(const char* name) {
  const char* v = std::getenv(name);
  return v ? ansi_decode(v) : Text();
}

// The path of an XDG user directory from user-dirs.dirs, with $HOME
// expanded, or `fallback` below the home directory.
Text xdg_user_dir(const char* key, const char* fallback) {
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  std::string config = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  if (config.empty()) config = home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line, prefix = std::string(key) + "=\"";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0 || line.size() < prefix.size() + 1 || line.back() != '"') {
      continue;
    }
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    return ansi_decode(value);
  }
  return ansi_decode(home + "/" + fallback);
}

class PosixSystem final : public System {
 public:
  Text os_version() override {
    utsname u{};
    if (uname(&u) != 0) return u"Linux";
    // "6.1.0-18-amd64" gives the major, minor and build numbers 6, 1 and 0.
    int parts[3] = {0, 0, 0};
    std::sscanf(u.release, "%d.%d.%d", &parts[0], &parts[1], &parts[2]);
    std::string s = std::string(u.sysname) + "." + std::to_string(parts[0]) + "." +
                    std::to_string(parts[1]) + "." + std::to_string(parts[2]);
    return ansi_decode(s.substr(0, 100));
  }

  Text windows_dir() override { return u"/usr"; }
  Text system_dir() override { return u"/usr/bin"; }

  Text user_name() override {
    if (passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr) {
      return ansi_decode(pw->pw_name);
    }
    return env_text("USER");
  }

  std::optional<Text> computer_name() override {
    char buf[256] = {};
    if (gethostname(buf, sizeof buf - 1) != 0) return std::nullopt;
    return ansi_decode(std::string(buf).substr(0, 15));
  }

  Text temp_dir() override {
    Text dir = env_text("TMPDIR");
    dir = Text(trim(dir));
    if (dir.empty()) dir = u"/tmp";
    if (dir.back() != u'/') dir.push_back(u'/');
    return dir;
  }

  Text folder(Folder f) override {
    return f == Folder::kDocuments ? xdg_user_dir("XDG_DOCUMENTS_DIR", "Documents")
                                   : xdg_user_dir("XDG_DESKTOP_DIR", "Desktop");
  }

  Text executable_path() override {
    std::string buf(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0) return Text();
    buf.resize(static_cast<size_t>(n));
    return ansi_decode(buf);
  }

  std::optional<Text> get_env(const Text& name) override {
    const char* v = std::getenv(ansi_encode(name).c_str());
    if (v == nullptr) return std::nullopt;
    return ansi_decode(v);
  }

  bool set_env(const Text& name, const Text& value) override {
    return setenv(ansi_encode(name).c_str(), ansi_encode(value).c_str(), 1) == 0;
  }

  bool replace_icon_images(const Text&, const std::vector<std::pair<int, std::string>>&) override {
    return false;
  }

  // Sound goes through the desktop's command-line players (PulseAudio's
  // paplay, else ALSA's aplay), whichever is installed.
  void play_sound(const Text& path) override {
    if (access(ansi_encode(path).c_str(), R_OK) != 0) return;
    for (const char* player : {"/usr/bin/paplay", "/usr/bin/aplay"}) {
      if (access(player, X_OK) != 0) continue;
      if (std::optional<pid_t> pid = spawn({ansi_decode(player), path})) {
        int status = 0;
        waitpid(*pid, &status, 0);
      }
      return;
    }
  }

  std::optional<int> lock_file(const Text& path) override {
    int fd = open(ansi_encode(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return std::nullopt;
    while (flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd);
        return std::nullopt;
      }
    }
    return fd;
  }

  void unlock_file(int handle) override {
    flock(handle, LOCK_UN);
    close(handle);
  }

  std::optional<Text> make_temp_file(const Text& dir, const Text& prefix) override {
    std::string path = ansi_encode(dir);
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path += ansi_encode(prefix) + "XXXXXX.tmp";
    int fd = mkstemps(path.data(), 4);
    if (fd < 0) return std::nullopt;
    close(fd);
    return ansi_decode(path);
  }

  void on_interrupt(void (*handler)()) override {
    // A process started with interrupts ignored (in the background of a
    // shell without job control, say) keeps ignoring them.
    struct sigaction old {};
    if (sigaction(SIGINT, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) return;
    g_interrupt_handler = handler;
    struct sigaction sa {};
    sa.sa_handler = [](int) {
      if (g_interrupt_handler) g_interrupt_handler();
    };
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
  }

 private:
  static inline void (*g_interrupt_handler)() = nullptr;
};

// Without a desktop the clipboard lives in the process: scripts can still
// put text there and read it back.
class ProcessClipboard final : public Clipboard {
 public:
  std::optional<Text> text() override { return text_; }
  bool set_text(const Text& text) override {
    text_ = text;
    return true;
  }
  bool open_elsewhere() override { return false; }

 private:
  std::optional<Text> text_;
};

// A console has no windows and no keys held down.
class NoDesktop final : public Desktop {
 public:
  WindowHandle find_top_level(const Text&) override { return 0; }
  std::vector<WindowHandle> top_level_windows() override { return {}; }
  std::vector<WindowHandle> descendants(WindowHandle) override { return {}; }
  Text window_text(WindowHandle) override { return Text(); }
  Text class_name(WindowHandle) override { return Text(); }
  WindowHandle parent(WindowHandle) override { return 0; }
  bool is_visible(WindowHandle) override { return false; }
  bool is_window(WindowHandle) override { return false; }
  WindowHandle foreground_window() override { return 0; }
  uint32_t window_process_id(WindowHandle) override { return 0; }
  uint32_t current_process_id() override { return static_cast<uint32_t>(getpid()); }
  bool key_down(int) override { return false; }
  int key_for_char(char16_t c) override { return ascii_key_for_char(c); }
};

class PosixProcesses final : public Processes {
 public:
  std::optional<int64_t> start(const std::vector<Text>& args, bool /*hidden*/) override {
    return spawn(args);
  }

  std::optional<int> exit_code(int64_t id) override {
    int status = 0;
    pid_t r = waitpid(static_cast<pid_t>(id), &status, WNOHANG);
    if (r == 0) return std::nullopt;
    if (r < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

class ConsoleShell final : public AppShell {
 public:
  bool show_tray_icon(const Text&) override { return false; }
  void set_tray_blinking(bool) override {}
  void hide_application() override {}
};

// Library calls through dlopen and libffi. A call that faults (a bad pointer,
// a wrong number of arguments) is caught by a signal handler that jumps back
// out of the call, so the runtime reports it instead of dying.
class PosixLibraries final : public Libraries {
 public:
  void* find_loaded(const Text& name) override {
    return dlopen(ansi_encode(name).c_str(), RTLD_NOW | RTLD_NOLOAD);
  }
  void* load(const Text& name) override { return dlopen(ansi_encode(name).c_str(), RTLD_NOW); }
  void unload(void* handle) override {
    if (handle) dlclose(handle);
  }
  void* symbol(void* handle, const std::string& name) override {
    return handle ? dlsym(handle, name.c_str()) : nullptr;
  }

  std::optional<int32_t> call(void* function, const std::vector<CallArg>& args) override {
    std::vector<ffi_type*> types;
    std::vector<void*> values;
    std::vector<int32_t> ints(args.size());
    std::vector<void*> pointers(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
      if (args[i].is_pointer) {
        pointers[i] = args[i].pointer;
        types.push_back(&ffi_type_pointer);
        values.push_back(&pointers[i]);
      } else {
        ints[i] = args[i].value;
        types.push_back(&ffi_type_sint32);
        values.push_back(&ints[i]);
      }
    }
    ffi_cif cif;
    if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(types.size()), &ffi_type_sint32,
                     types.data()) != FFI_OK) {
      return std::nullopt;
    }
    ffi_arg result = 0;
    struct sigaction old[4];
    const int signals[4] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
    struct sigaction sa {};
    sa.sa_handler = [](int) { siglongjmp(g_fault_jump, 1); };
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_NODEFER;
    for (int i = 0; i < 4; ++i) sigaction(signals[i], &sa, &old[i]);
    bool faulted = sigsetjmp(g_fault_jump, 1) != 0;
    if (!faulted) ffi_call(&cif, FFI_FN(function), &result, values.data());
    for (int i = 0; i < 4; ++i) sigaction(signals[i], &old[i], nullptr);
    if (faulted) return std::nullopt;
    return static_cast<int32_t>(result);
  }

 private:
  static inline sigjmp_buf g_fault_jump;
};

// Power requests go to systemd's tools; tests use the sim backend, so a
// test never reaches them.
class PosixPower final : public Power {
 public:
  bool request(PowerAction action, bool forced) override {
    std::vector<Text> args;
    switch (action) {
      case PowerAction::kShutDown:
        args = {u"systemctl", u"poweroff"};
        break;
      case PowerAction::kRestart:
        args = {u"systemctl", u"reboot"};
        break;
      case PowerAction::kLogOff:
        args = {u"loginctl", u"terminate-user", ansi_decode(std::to_string(geteuid()))};
        break;
    }
    if (forced && action != PowerAction::kLogOff) args.push_back(u"--force");
    std::optional<pid_t> pid = spawn(args);
    if (!pid) return false;
    int status = 0;
    waitpid(*pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
};

}  // namespace

Platform posix_platform() {
  static PosixClock clock;
  static PosixEvents events;
  static ConsoleBoxes boxes;
  static PosixSystem system;
  static ProcessClipboard clipboard;
  static NoDesktop desktop;
  static PosixProcesses processes;
  static ConsoleShell shell;
  static PosixLibraries libraries;
  static PosixPower power;
  return Platform{&clock,   &events,    &boxes, &system,    &clipboard,
                  &desktop, &processes, &shell, &libraries, &power};
}

}  // namespace talvex::platform
