// Base64 decoding, and encoding round trips.
#include <string>

#include "util/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  std::string text(reinterpret_cast<const char*>(data), size);
  (void)base64_decode(text);
  if (base64_decode(base64_encode(text)) != text) __builtin_trap();
  return 0;
}
