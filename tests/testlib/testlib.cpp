// A small library for the library-call tests.
#include <cstring>

extern "C" {

int tl_add(int a, int b) {
  return a + b;
}

int tl_fill(char* buffer) {
  std::strcpy(buffer, "filled");
  return 6;
}

int tl_wfill(char16_t* buffer) {
  const char16_t text[] = u"wide \u00E9";
  std::memcpy(buffer, text, sizeof text);
  return 6;
}

int tl_upper(char* buffer) {
  int n = 0;
  for (; buffer[n]; ++n) {
    if (buffer[n] >= 'a' && buffer[n] <= 'z') buffer[n] = static_cast<char>(buffer[n] - 32);
  }
  return n;
}

int tl_inc(int* slot) {
  return ++*slot;
}

int tl_crash(int a) {
  volatile int* nowhere = nullptr;
  return *nowhere + a;
}
}
