// Substitution: definitions before a record separator, then the text.
#include "lang/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  talvex::fuzz_substitute(data, size);
  return 0;
}
