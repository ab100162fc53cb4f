// Message translation with a small catalogue written by the test itself.
#include "util/i18n.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "lang/errors.h"
#include "lang/process.h"
#include "lang/run.h"
#include "platform/sim/sim_platform.h"

namespace talvex {
namespace {

// Writes a GNU .mo catalogue holding `messages` (sorted by msgid).
void write_mo(const std::filesystem::path& path,
              const std::map<std::string, std::string>& messages) {
  const uint32_t n = static_cast<uint32_t>(messages.size());
  const uint32_t originals = 28, translations = originals + 8 * n;
  std::string strings;
  std::vector<uint32_t> table;
  uint32_t base = translations + 8 * n;
  std::vector<std::pair<uint32_t, uint32_t>> orig, trans;
  for (const auto& [id, text] : messages) {
    orig.push_back(
        {static_cast<uint32_t>(id.size()), base + static_cast<uint32_t>(strings.size())});
    strings += id + '\0';
  }
  for (const auto& [id, text] : messages) {
    trans.push_back(
        {static_cast<uint32_t>(text.size()), base + static_cast<uint32_t>(strings.size())});
    strings += text + '\0';
  }
  std::string out;
  auto put = [&](uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
  put(0x950412de);
  put(0);
  put(n);
  put(originals);
  put(translations);
  put(0);
  put(0);
  for (auto [len, off] : orig) put(len), put(off);
  for (auto [len, off] : trans) put(len), put(off);
  out += strings;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << out;
}

TEST(Translation, LineIsTranslatedButTheLayoutStays) {
  auto dir = std::filesystem::temp_directory_path() / "talvex-i18n-test";
  write_mo(dir / "locale/de/LC_MESSAGES/default.mo",
           {{"", "Content-Type: text/plain; charset=UTF-8\n"}, {"Line", "Zeile"}});
  setenv("LC_ALL", "C.UTF-8", 1);
  setenv("LANGUAGE", "de", 1);
  init_translation(dir.string());
  EXPECT_EQ(tr("Line"), u"Zeile");
  EXPECT_EQ(tr("Not in the catalogue"), u"Not in the catalogue");

  platform::SimPlatform sim;
  sim.install_now();
  talvex::Run run(ScriptSource{ScriptSource::Kind::kText, u"x", u"x"}, Text(), RunLog{});
  run.execute();
  report_error(run, tr("Something"));
  ASSERT_EQ(sim.boxes_.size(), 1u);
  EXPECT_EQ(sim.boxes_[0].text, u"Zeile: 1 Something");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace talvex
