// The cipher's decrypt path and the embedded-script loader.
#include "package/radazar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  std::string payload(reinterpret_cast<const char*>(data), size);
  (void)decrypt_embedded_script(payload);
  TRADazar cipher;
  cipher.Key = size > 0 ? Text(1, static_cast<char16_t>(data[0] * 257)) : Text();
  cipher.SupportLongKeys = size > 1 && (data[1] & 1);
  std::string out;
  cipher.DecryptStream(payload, size / 3, out);
  return 0;
}
