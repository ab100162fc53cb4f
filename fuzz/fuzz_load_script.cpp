// Script loading, line splitting, comment skips and data blocks.
#include "lang/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  talvex::fuzz_load_script(data, size);
  return 0;
}
