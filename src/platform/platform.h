// The platform layer: every operating-system or desktop service the runtime
// uses is reached through the interfaces below, never directly. A backend
// implements them (posix for Linux consoles, sim for tests; a desktop backend
// comes later) and is installed once at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "util/text.h"

namespace talvex::platform {

struct LocalTime {
  int year = 0, month = 0, day = 0;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int day_of_week = 0;  // 1 = Sunday .. 7 = Saturday
};

class Clock {
 public:
  virtual ~Clock() = default;
  // A millisecond tick that only moves forward.
  virtual uint64_t tick_ms() = 0;
  virtual LocalTime now() = 0;
  virtual void sleep_ms(uint32_t ms) = 0;
  // Gives up the rest of the time slice.
  virtual void yield() = 0;
};

class Events {
 public:
  virtual ~Events() = default;
  // Handles whatever is pending for the runtime's own windows and keys.
  virtual void process_pending() = 0;
};

enum class BoxButtons { kOk, kOkAbort, kAbortIgnore };
enum class BoxIcon { kNone, kInformation, kWarning, kError };
enum class BoxAnswer { kOk, kAbort, kIgnore };

class Boxes {
 public:
  virtual ~Boxes() = default;
  // A modal box over all other windows; returns the button chosen.
  virtual BoxAnswer message_box(const Text& text, const Text& title, BoxButtons buttons,
                                BoxIcon icon) = 0;
};

// The folders a script can ask for by name.
enum class Folder { kDocuments, kDesktop };

class System {
 public:
  virtual ~System() = default;
  // The version text of the operating system, as OS_VER shows it.
  virtual Text os_version() = 0;
  // The directories that play the role of the system's own directories.
  virtual Text windows_dir() = 0;
  virtual Text system_dir() = 0;
  virtual Text user_name() = 0;
  // The computer name, or nothing when it cannot be read.
  virtual std::optional<Text> computer_name() = 0;
  // The temporary directory with its trailing separator, or empty.
  virtual Text temp_dir() = 0;
  virtual Text folder(Folder f) = 0;
  // The full path of the running executable.
  virtual Text executable_path() = 0;
  virtual std::optional<Text> get_env(const Text& name) = 0;
  virtual bool set_env(const Text& name, const Text& value) = 0;
  // Replaces icon images of an executable: each pair is an icon resource
  // identifier and the image bytes, written in order. False when the update
  // cannot begin (executables of this platform carry no icon resources).
  virtual bool replace_icon_images(const Text& executable,
                                   const std::vector<std::pair<int, std::string>>& images) = 0;
  // Plays a sound file to its end; a missing file, player or audio device is
  // silent.
  virtual void play_sound(const Text& path) = 0;
  // Takes an exclusive lock on a lock file (created when missing), waiting
  // for other processes that hold it; a handle, or nothing on failure.
  virtual std::optional<int> lock_file(const Text& path) = 0;
  virtual void unlock_file(int handle) = 0;
  // Creates a new empty file of a unique name in `dir` whose name begins
  // with `prefix`; its path, or nothing when none can be made.
  virtual std::optional<Text> make_temp_file(const Text& dir, const Text& prefix) = 0;
  // Makes an interrupt from the console (Ctrl+C) call `handler`. The handler
  // runs asynchronously and may only set flags.
  virtual void on_interrupt(void (*handler)()) = 0;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's text, or nothing when it holds no text.
  virtual std::optional<Text> text() = 0;
  // Replaces the clipboard's content; false when another program has the
  // clipboard open.
  virtual bool set_text(const Text& text) = 0;
  // True while another program has the clipboard open.
  virtual bool open_elsewhere() = 0;
};

// A window handle: an unsigned 32-bit value, 0 for none.
using WindowHandle = uint32_t;

// The desktop's windows and keys, as window lookup and events see them.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // A top-level window whose title equals `title` ignoring case, or 0.
  virtual WindowHandle find_top_level(const Text& title) = 0;
  // The top-level windows, top of the Z order first.
  virtual std::vector<WindowHandle> top_level_windows() = 0;
  // All descendants of a window, depth first, parents before children.
  virtual std::vector<WindowHandle> descendants(WindowHandle w) = 0;
  virtual Text window_text(WindowHandle w) = 0;
  virtual Text class_name(WindowHandle w) = 0;
  virtual WindowHandle parent(WindowHandle w) = 0;
  virtual bool is_visible(WindowHandle w) = 0;
  virtual bool is_window(WindowHandle w) = 0;
  virtual WindowHandle foreground_window() = 0;
  virtual uint32_t window_process_id(WindowHandle w) = 0;
  virtual uint32_t current_process_id() = 0;
  // True while the key with this virtual-key code is down.
  virtual bool key_down(int vk) = 0;
  // The virtual-key code of a character in the keyboard layout, or -1.
  virtual int key_for_char(char16_t c) = 0;
};

// Starting other programs.
class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a program with its arguments (args[0] is the program, looked up
  // in PATH when it holds no "/") in the current directory; an id, or
  // nothing when it cannot be started.
  virtual std::optional<int64_t> start(const std::vector<Text>& args, bool hidden) = 0;
  // The exit code once the process has ended; nothing while it runs.
  virtual std::optional<int> exit_code(int64_t id) = 0;
};

// The runtime's own presence on the desktop: the tray icon with its hint
// and blinking, and the hidden application window. A console has none of
// them.
class AppShell {
 public:
  virtual ~AppShell() = default;
  // Shows the tray icon; false when it cannot be shown.
  virtual bool show_tray_icon(const Text& hint) = 0;
  virtual void set_tray_blinking(bool on) = 0;
  // Hides the application window and the main form.
  virtual void hide_application() = 0;
};

// One argument of a library call: a 32-bit integer or an address.
struct CallArg {
  bool is_pointer = false;
  int32_t value = 0;
  void* pointer = nullptr;
};

// Shared libraries and calls into them.
class Libraries {
 public:
  virtual ~Libraries() = default;
  // The handle of a library already loaded in the process, or null.
  virtual void* find_loaded(const Text& name) = 0;
  // Loads a library; null when it cannot be loaded.
  virtual void* load(const Text& name) = 0;
  virtual void unload(void* handle) = 0;
  virtual void* symbol(void* handle, const std::string& name) = 0;
  // Calls a function with the arguments and a 32-bit integer result; nothing
  // when the call faults (the runtime survives it).
  virtual std::optional<int32_t> call(void* function, const std::vector<CallArg>& args) = 0;
};

enum class PowerAction { kShutDown, kRestart, kLogOff };

// Ending the session or the machine.
class Power {
 public:
  virtual ~Power() = default;
  // Asks the system to shut down, restart or log off; false when it refuses.
  virtual bool request(PowerAction action, bool forced) = 0;
};

struct Platform {
  Clock* clock;
  Events* events;
  Boxes* boxes;
  System* system;
  Clipboard* clipboard;
  Desktop* desktop;
  Processes* processes;
  AppShell* shell;
  Libraries* libraries;
  Power* power;
};

// The virtual-key code of a character on a US keyboard layout (letters,
// digits, blank and the common punctuation), or -1.
int ascii_key_for_char(char16_t c);

// The installed backend. The runtime installs the POSIX backend at start-up;
// tests install the sim backend.
Platform& get();
void install(const Platform& p);

// The POSIX backend, created on first use.
Platform posix_platform();

}  // namespace talvex::platform
