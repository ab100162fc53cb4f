// Decoding of the stored options, and its round trip.
#include <string>

#include "package/build.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  std::string payload(reinterpret_cast<const char*>(data), size);
  if (std::optional<Text> options = decode_options(payload)) {
    if (decode_options(encode_options(*options)) != options) __builtin_trap();
  }
  return 0;
}
