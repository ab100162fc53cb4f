// The expression parser and evaluator. Failures that end a run are
// RuntimeFailure exceptions; anything else is a fault.
#include <string_view>

#include "lang/errors.h"
#include "lang/expr/parser.h"
#include "platform/sim/sim_platform.h"
#include "util/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace talvex;
  static platform::SimPlatform* sim = [] {
    auto* s = new platform::SimPlatform();
    s->install_now();
    return s;
  }();
  sim->boxes_.clear();
  Text text = decode_utf8_lossless(std::string_view(reinterpret_cast<const char*>(data), size));
  expr::IValue tree = expr::ParseExpression(text, 1);
  if (!tree) return 0;
  try {
    (void)tree->AsString();
  } catch (const RuntimeFailure&) {
  }
  try {
    (void)tree->AsBoolean();
    (void)tree->AsFloat();
    (void)tree->AsInteger();
  } catch (const RuntimeFailure&) {
  }
  return 0;
}
