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

void install(const Platform& p) {
  g_platform = p;
  g_installed = true;
}

}  // namespace talvex::platform
