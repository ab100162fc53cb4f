#include "platform/platform.h"

namespace talvex::platform {

namespace {
Platform g_platform{};
bool g_installed = false;
}  // namespace

Platform& get() {
  if (!g_installed) install(posix_platform());
  return g_platform;
}

int ascii_key_for_char(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - u'a' + 'A';
  if ((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ') return c;
  switch (c) {
    case u';':
      return 0xBA;
    case u'=':
      return 0xBB;
    case u',':
      return 0xBC;
    case u'-':
      return 0xBD;
    case u'.':
      return 0xBE;
    case u'/':
      return 0xBF;
    case u'`':
      return 0xC0;
    case u'[':
      return 0xDB;
    case u'\\':
      return 0xDC;
    case u']':
      return 0xDD;
    case u'\'':
      return 0xDE;
    default:
      return -1;
  }
}

void install(const Platform& p) {
  g_platform = p;
  g_installed = true;
}

}  // namespace talvex::platform
