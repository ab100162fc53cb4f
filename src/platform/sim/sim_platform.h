// The sim backend: an in-memory platform for tests. Time is virtual (sleeping
// advances the clock at once), boxes are recorded and answered from a queue,
// and the system facts are fixed values a test can change.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <vector>

#include "platform/platform.h"

namespace talvex::platform {

class SimPlatform final : public Power,
                          public Clock,
                          public Events,
                          public Boxes,
                          public System,
                          public Clipboard,
                          public Desktop {
 public:
  struct Window {
    WindowHandle handle = 0;
    WindowHandle parent = 0;  // 0 for a top-level window
    Text text;
    Text class_name;
    bool visible = true;
    uint32_t process_id = 2;
  };

  struct Box {
    Text text;
    BoxButtons buttons;
    BoxIcon icon;
  };

  // Installs this platform as the current one.
  void install_now();

  // Clock: virtual milliseconds.
  uint64_t tick_ms() override { return tick_; }
  LocalTime now() override { return time_; }
  void sleep_ms(uint32_t ms) override { tick_ += ms; }
  void yield() override {}

  // Events: each call counts; a test may hook a callback (a stop key, say).
  void process_pending() override;

  BoxAnswer message_box(const Text& text, const Text& title, BoxButtons buttons,
                        BoxIcon icon) override;

  Text os_version() override { return u"Sim.1.0.0"; }
  Text windows_dir() override { return u"/sim/win"; }
  Text system_dir() override { return u"/sim/win/sys"; }
  Text user_name() override { return u"simuser"; }
  std::optional<Text> computer_name() override { return u"SIMHOST"; }
  Text temp_dir() override { return u"/sim/tmp/"; }
  Text folder(Folder f) override { return f == Folder::kDocuments ? u"/sim/docs" : u"/sim/desk"; }
  Text executable_path() override { return u"/sim/bin/talvex"; }
  std::optional<Text> get_env(const Text& name) override;
  bool set_env(const Text& name, const Text& value) override;
  void on_interrupt(void (*)()) override {}
  std::optional<Text> make_temp_file(const Text&, const Text&) override { return std::nullopt; }
  void play_sound(const Text& path) override { sounds_.push_back(path); }
  std::vector<Text> sounds_;
  std::optional<int> lock_file(const Text& path) override {
    return posix_platform().system->lock_file(path);
  }
  void unlock_file(int handle) override { posix_platform().system->unlock_file(handle); }
  bool replace_icon_images(const Text&, const std::vector<std::pair<int, std::string>>&) override {
    return false;
  }

  std::optional<Text> text() override { return clipboard_; }
  bool set_text(const Text& text) override;
  bool open_elsewhere() override { return clipboard_busy_; }

  // Adds a window; top-level windows are added below the earlier ones in the
  // Z order, children after their parent's earlier children.
  WindowHandle add_window(Window w);
  WindowHandle find_top_level(const Text& title) override;
  std::vector<WindowHandle> top_level_windows() override;
  std::vector<WindowHandle> descendants(WindowHandle w) override;
  Text window_text(WindowHandle w) override;
  Text class_name(WindowHandle w) override;
  WindowHandle parent(WindowHandle w) override;
  bool is_visible(WindowHandle w) override;
  bool is_window(WindowHandle w) override { return windows_.count(w) != 0; }
  WindowHandle foreground_window() override { return foreground_; }
  uint32_t window_process_id(WindowHandle w) override;
  uint32_t current_process_id() override { return 1; }
  bool key_down(int vk) override { return keys_down_.count(vk) != 0; }
  int key_for_char(char16_t c) override { return ascii_key_for_char(c); }

  bool request(PowerAction action, bool forced) override {
    power_requests_.push_back({action, forced});
    return true;
  }
  std::vector<std::pair<PowerAction, bool>> power_requests_;

  uint64_t tick_ = 1000;
  LocalTime time_{2026, 12, 11, 14, 3, 7, 45, 6};
  std::vector<Box> boxes_;
  std::deque<BoxAnswer> answers_;
  std::map<Text, Text> env_;
  uint64_t pending_calls_ = 0;
  void (*on_pending_)(SimPlatform&) = nullptr;
  std::optional<Text> clipboard_;
  bool clipboard_busy_ = false;
  std::map<WindowHandle, Window> windows_;
  std::vector<WindowHandle> order_;  // every window, in enumeration order
  WindowHandle next_handle_ = 100;
  WindowHandle foreground_ = 0;
  std::set<int> keys_down_;
};

}  // namespace talvex::platform
