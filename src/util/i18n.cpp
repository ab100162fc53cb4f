#include "util/i18n.h"

#include <libintl.h>

#include <clocale>

namespace talvex {

namespace {
constexpr const char* kDomain = "default";
bool g_bound = false;
}  // namespace

void init_translation(const std::string& runtime_dir) {
  // Only the message category follows the user's locale: numbers are always
  // read and written with "." whatever the environment says.
  std::setlocale(LC_MESSAGES, "");
  std::string dir = runtime_dir + "/locale";
  bindtextdomain(kDomain, dir.c_str());
  bind_textdomain_codeset(kDomain, "UTF-8");
  g_bound = true;
}

Text tr(const char* msgid) {
  if (!g_bound) return from_utf8(msgid);
  return from_utf8(dgettext(kDomain, msgid));
}

}  // namespace talvex
