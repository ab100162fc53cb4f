// The INI engine: parse, read, write and read back.
#include "system/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  IniDocument doc(bytes);
  (void)doc.read(u"a", u"k");
  doc.write(u"a", u"k", u"value");
  IniDocument again(doc.bytes());
  if (again.read(u"a", u"k") != std::optional<Text>(u"value")) __builtin_trap();
  return 0;
}
