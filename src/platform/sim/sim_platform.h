// The sim backend: an in-memory platform for tests. Time is virtual (sleeping
// advances the clock at once), boxes are recorded and answered from a queue,
// and the system facts are fixed values a test can change.
#pragma once

#include <deque>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace talvex::platform {

class SimPlatform final : public Clock, public Events, public Boxes, public System {
 public:
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

  uint64_t tick_ = 1000;
  LocalTime time_{2026, 12, 11, 14, 3, 7, 45, 6};
  std::vector<Box> boxes_;
  std::deque<BoxAnswer> answers_;
  std::map<Text, Text> env_;
  uint64_t pending_calls_ = 0;
  void (*on_pending_)(SimPlatform&) = nullptr;
};

}  // namespace talvex::platform
