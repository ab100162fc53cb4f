// Window lookup and the window and key events, on the sim desktop.
#include <gtest/gtest.h>

#include "desktop/window_lookup.h"
#include "lang/process.h"
#include "lang/run.h"
#include "platform/sim/sim_platform.h"

namespace talvex {
namespace {

using platform::SimPlatform;

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim.install_now();
    process().args.clear();
  }
  platform::WindowHandle add(const char16_t* text, platform::WindowHandle parent = 0,
                             bool visible = true, uint32_t pid = 2) {
    return sim.add_window({0, parent, text, u"Class", visible, pid});
  }
  SimPlatform sim;
};

TEST_F(DesktopTest, LookupWindowTitle) {
  platform::WindowHandle copy = add(u"Report Copy", 0, false);
  add(u"Report");
  platform::WindowHandle note = add(u"Untitled - Notepad");
  add(u"OK", note);
  EXPECT_EQ(LookupWindowTitle(u"untitled - notepad", 1),
            std::optional<Text>(u"untitled - notepad"));
  EXPECT_EQ(LookupWindowTitle(u"Notepad*", 1), std::optional<Text>(u"Untitled - Notepad"));
  EXPECT_EQ(LookupWindowTitle(u"note*", 1), std::optional<Text>(u"Untitled - Notepad"));
  EXPECT_EQ(LookupWindowTitle(u"Notepad", 1), std::nullopt);  // no wildcard: exact only
  EXPECT_EQ(LookupWindowTitle(u"Report Cop*", 2), std::nullopt);
  EXPECT_EQ(LookupWindowTitle(u"Report Cop*", 1), std::optional<Text>(u"Report Copy"));
  EXPECT_EQ(LookupWindowTitle(u"ok*", 0), std::nullopt);  // children are not candidates
  EXPECT_EQ(LookupWindowTitle(u"ok*", 1), std::optional<Text>(u"OK"));
  EXPECT_EQ(LookupWindowTitle(u"*", 1), std::optional<Text>(u"Report Copy"));
  EXPECT_EQ(ResolveWindowHandle(u"Report Copy", 1), copy);
  EXPECT_EQ(ResolveWindowHandle(u"Report Copy", 2), 0u);
  EXPECT_EQ(ResolveWindowHandle(u"report copy", 1), 0u);  // resolution is case-sensitive
  EXPECT_EQ(ResolveWindowHandle(u"Report", 3), 0u);       // 3: no top-level window
}

TEST_F(DesktopTest, AnInvisibleExactMatchStopsTheWildcardSearch) {
  add(u"Report", 0, false);
  add(u"Report 2");
  EXPECT_EQ(LookupWindowTitle(u"Report*", 2), std::nullopt);
  EXPECT_EQ(LookupWindowTitle(u"Report*", 1), std::optional<Text>(u"Report"));
}

Text run_script(const Text& script) {
  ::talvex::Run run(ScriptSource{ScriptSource::Kind::kText, script, u"x"}, Text(), RunLog{});
  run.execute();
  return run.store.substitute(u"%out%", true);
}

TEST_F(DesktopTest, IfWindowExists) {
  platform::WindowHandle h = add(u"Calculator");
  EXPECT_EQ(run_script(u"IfWindowExists>Calc*,yes,no\nLabel>no\nLet>out=no\nExit>0\nLabel>yes\n"
                       u"Let>out=yes"),
            u"yes");
  EXPECT_EQ(run_script(u"IfWindowExists>Calc,yes,no\nLabel>no\nLet>out=no\nExit>0\nLabel>yes\n"
                       u"Let>out=yes"),
            u"no");
  EXPECT_EQ(run_script(u"Let>WIN_USEHANDLE=1\nIfWindowExists>" + int_to_text(h) +
                       u"\nLet>out=handle\nEndif"),
            u"handle");
}

TEST_F(DesktopTest, WindowEvents) {
  sim.on_pending_ = [](SimPlatform& s) {
    if (s.pending_calls_ == 40) s.add_window({0, 0, u"Popup", u"C", true, 2});
  };
  Text script =
      u"OnEventHandler>WINDOW_OPEN,Popup,1,Seen\n"
      u"Let>out=waiting\n"
      u"Label>loop\n"
      u"If>%out%=waiting,loop\n"
      u"Exit>0\n"
      u"SRT>Seen\n"
      u"Let>out=seen\n"
      u"END>Seen";
  EXPECT_EQ(run_script(script), u"seen");
}

TEST_F(DesktopTest, AWindowOfTheRuntimeItselfDoesNotCountAsOpen) {
  add(u"Own", 0, true, sim.current_process_id());
  Text script =
      u"OnEventHandler>WINDOW_OPEN,Own,1,Seen\n"
      u"Let>out=not seen\n"
      u"Let>x=1\n"
      u"Exit>0\n"
      u"SRT>Seen\n"
      u"Let>out=seen\n"
      u"END>Seen";
  EXPECT_EQ(run_script(script), u"not seen");
}

TEST_F(DesktopTest, KeyDownEventsAndModifiers) {
  struct Case {
    std::set<int> down;
    const char16_t* key;
    const char16_t* modifier;
    bool fires;
  } cases[] = {
      {{113}, u"VK113", u"0", true},
      {{113, 0x10}, u"VK113", u"0", false},
      {{113, 0x10}, u"VK113", u"1", true},
      {{113, 0x10, 0x11}, u"vk113", u"1", true},  // other modifiers may be down
      {{113, 0x11, 0x12}, u"VK113", u"5", true},
      {{113, 0x11}, u"VK113", u"5", false},
      {{113, 0x5C}, u"VK113", u"8", true},
      {{'A'}, u"a", u"0", true},
      {{'A'}, u"ab", u"0", false},
      {{113}, u"VK113", u"9", false},
  };
  for (const auto& c : cases) {
    sim.keys_down_ = c.down;
    Text script = Text(u"OnEventHandler>KEY_DOWN,") + c.key + u"," + c.modifier +
                  u",Pressed\nLet>out=no\nLet>x=1\nExit>0\nSRT>Pressed\nLet>out=yes\nEND>Pressed";
    EXPECT_EQ(run_script(script), c.fires ? u"yes" : u"no")
        << to_utf8(c.key) << " " << to_utf8(c.modifier);
  }
}

TEST_F(DesktopTest, NewActiveWindowEvent) {
  platform::WindowHandle a = add(u"A");
  platform::WindowHandle b = add(u"B");
  sim.foreground_ = a;
  sim.on_pending_ = [](SimPlatform& s) {
    if (s.pending_calls_ == 30) s.foreground_ = s.top_level_windows()[1];
  };
  (void)b;
  Text script =
      u"OnEventHandler>WINDOW_NEWACTIVE,,,Changed\n"
      u"Let>out=same\n"
      u"Label>loop\n"
      u"If>%out%=same,loop\n"
      u"Exit>0\n"
      u"SRT>Changed\n"
      u"Let>out=changed\n"
      u"END>Changed";
  EXPECT_EQ(run_script(script), u"changed");
}

}  // namespace
}  // namespace talvex
