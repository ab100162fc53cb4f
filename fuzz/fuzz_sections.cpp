// The section container's reader on an arbitrary image.
#include "package/exe_mod.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  std::string image(reinterpret_cast<const char*>(data), size);
  for (const char16_t* name : {u"script1", u"commandline", u"cdt", u"vb1", u"gw5", u"a"}) {
    std::string payload = find_section(image, name);
    if (payload.size() > image.size()) __builtin_trap();
  }
  return 0;
}
