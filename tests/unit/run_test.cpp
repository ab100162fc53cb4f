#include "lang/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lang/errors.h"
#include "lang/process.h"
#include "platform/sim/sim_platform.h"

namespace talvex {
namespace {

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim.install_now();
    process().args.clear();
    process().exit_code = 0;
  }
  void TearDown() override { process().args.clear(); }

  // Runs a script given as text and gives the virtual milliseconds it took.
  uint64_t run_text(const Text& script, RunLog log = {}) {
    uint64_t t0 = sim.tick_;
    talvex::Run run(ScriptSource{ScriptSource::Kind::kText, script, u"/sim/bin/talvex"}, Text(),
                    std::move(log));
    run.execute();
    return sim.tick_ - t0;
  }

  platform::SimPlatform sim;
};

TEST_F(RunTest, WaitTakesDecimalSeconds) {
  struct Case {
    const char16_t* script;
    uint64_t ms;
  } cases[] = {
      {u"Wait>0.25", 250}, {u"Wait>abc", 0},    {u"Wait 1", 1000},   {u"Wait>-2", 0},
      {u"Wait>0.0004", 0}, {u"Wait>0.0005", 1}, {u"Wait>%T%", 2000}, {u"Wait>1\nWait>2", 3000},
  };
  process().args = {u"/T=2"};
  for (const auto& c : cases) EXPECT_EQ(run_text(c.script), c.ms) << to_utf8(c.script);
}

TEST_F(RunTest, StepDelayComesBeforeEveryLine) {
  process().args = {u"/STEP_DELAY=500"};
  EXPECT_EQ(run_text(u"a\nb\nc"), 1500u);
}

TEST_F(RunTest, AStopRequestEndsAWaitAndTheRun) {
  sim.on_pending_ = [](platform::SimPlatform& s) {
    if (s.pending_calls_ == 100) request_stop();
  };
  EXPECT_LT(run_text(u"Wait>60\nWait>60"), 1000u);
  EXPECT_TRUE(process().stop.load());
}

TEST_F(RunTest, ExitSetsTheProcessExitCode) {
  run_text(u"Exit>3\nWait>10");
  EXPECT_EQ(process().exit_code, 3);
  process().args = {u"/CODE=$10"};
  EXPECT_EQ(run_text(u"Exit>%CODE%\nWait>10"), 0u);
  EXPECT_EQ(process().exit_code, 16);
}

TEST_F(RunTest, LineNumberFollowsTheTakenLine) {
  talvex::Run run(ScriptSource{ScriptSource::Kind::kText, u"a\nb\nc", u"x"}, Text(), RunLog{});
  run.execute();
  EXPECT_EQ(run.store.entries()[0].name, u"_LINE_NUM");
  EXPECT_EQ(run.store.entries()[0].value, u"3");
  EXPECT_EQ(run.store.entries()[1].name, u"VAREXPLICIT");
  EXPECT_EQ(run.store.entries()[2].name, u"IGNORESPACES");
}

TEST_F(RunTest, MacroResultIsItsOwnReferenceWhenNeverSet) {
  talvex::Run run(ScriptSource{ScriptSource::Kind::kText, u"", u"x"}, Text(), RunLog{});
  EXPECT_EQ(run.execute(), u"%MACRO_RESULT%");
  process().args = {u"/MACRO_RESULT=done"};
  talvex::Run run2(ScriptSource{ScriptSource::Kind::kText, u"", u"x"}, Text(), RunLog{});
  EXPECT_EQ(run2.execute(), u"done");
}

TEST_F(RunTest, ErrorReportShowsLineAndMessageAndAbortStops) {
  talvex::Run run(ScriptSource{ScriptSource::Kind::kText, u"a\nb", u"x"}, Text(), RunLog{});
  run.execute();
  process().stop = false;
  sim.answers_.push_back(platform::BoxAnswer::kOk);
  report_error(run, u"Something failed");
  ASSERT_EQ(sim.boxes_.size(), 1u);
  EXPECT_EQ(sim.boxes_[0].text, u"Line: 2 Something failed");
  EXPECT_EQ(sim.boxes_[0].buttons, platform::BoxButtons::kOkAbort);
  EXPECT_FALSE(process().stop.load());
  sim.answers_.push_back(platform::BoxAnswer::kAbort);
  report_error(run, u"Again", platform::BoxIcon::kWarning);
  EXPECT_EQ(sim.boxes_[1].icon, platform::BoxIcon::kWarning);
  EXPECT_TRUE(process().stop.load());
}

TEST_F(RunTest, IgnoreErrorsSuppressesTheBox) {
  process().args = {u"/IGNOREERRORS=1"};
  talvex::Run run(ScriptSource{ScriptSource::Kind::kText, u"", u"x"}, Text(), RunLog{});
  run.execute();
  report_error(run, u"hidden");
  EXPECT_TRUE(sim.boxes_.empty());
}

TEST_F(RunTest, LogWritesDateTimeAndText) {
  auto path = std::filesystem::temp_directory_path() / "talvex-run-test.log";
  std::filesystem::remove(path);
  process().args = {u"/LOGFILE=" + from_utf8(path.string())};
  run_text(u"  Wait>0\n// one\n// two\nExit>0");
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(),
            "2026-12-11 14:03:07:045 - Started Macro : /sim/bin/talvex\r\n"
            "2026-12-11 14:03:07:045 - START: Wait>0\r\n"
            "2026-12-11 14:03:07:045 -   END: Wait>0\r\n"
            "2026-12-11 14:03:07:045 - START: // one\r\n"
            "2026-12-11 14:03:07:045 -   END: // one\r\n"
            "2026-12-11 14:03:07:045 - START: Exit>0\r\n"
            "2026-12-11 14:03:07:045 - Finished Macro : /sim/bin/talvex\r\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace talvex

namespace talvex {
namespace {

// ShutDownWindows asks the platform for a power action (the sim records it,
// so no test ever shuts the machine down) and stops the run.
TEST_F(RunTest, ShutDownModes) {
  using platform::PowerAction;
  struct Case {
    const char16_t* mode;
    PowerAction action;
    bool forced;
  } cases[] = {
      {u"0", PowerAction::kShutDown, false}, {u"1", PowerAction::kRestart, false},
      {u"2", PowerAction::kLogOff, false},   {u"3", PowerAction::kShutDown, true},
      {u"4", PowerAction::kRestart, true},   {u"5", PowerAction::kLogOff, true},
      {u"7", PowerAction::kLogOff, true},    {u"-1", PowerAction::kLogOff, false},
  };
  for (const auto& c : cases) {
    sim.power_requests_.clear();
    run_text(u"ShutDownWindows>" + Text(c.mode) + u"\nLet>after=1");
    ASSERT_EQ(sim.power_requests_.size(), 1u) << to_utf8(c.mode);
    EXPECT_EQ(sim.power_requests_[0].first, c.action) << to_utf8(c.mode);
    EXPECT_EQ(sim.power_requests_[0].second, c.forced) << to_utf8(c.mode);
    EXPECT_TRUE(process().stop.load());
  }
}

}  // namespace
}  // namespace talvex

namespace talvex {
namespace {

TEST_F(RunTest, PlaySoundGoesToThePlatform) {
  process().args = {u"/dir=/sounds"};
  run_text(u"PlaySound>%dir%/ding.wav");
  ASSERT_EQ(sim.sounds_.size(), 1u);
  EXPECT_EQ(sim.sounds_[0], u"/sounds/ding.wav");
}

}  // namespace
}  // namespace talvex
