// Command identification of every line of the input.
#include <string_view>

#include "lang/identify.h"
#include "lang/script_list.h"
#include "util/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  Text text = decode_utf8_lossless(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const Text& line : split_lines(text)) {
    Identified id = identify(line);
    if (id.params.size() > line.size()) __builtin_trap();
    (void)raw_code(line);
  }
  return 0;
}
