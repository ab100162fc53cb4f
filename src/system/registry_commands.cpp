// The registry commands on the registry stand-in.
#include <cstdio>

#include "lang/commands.h"
#include "lang/fields.h"
#include "lang/run.h"
#include "system/registry.h"
#include "util/codepage.h"
#include "util/numbers.h"

namespace talvex {

namespace {

// Root, key path and the rest R2, split as RegistryReadKey and
// RegistryWriteKey split them: R1 and R2 are each substituted as a whole
// before they are split again.
struct RegFields {
  Text root, key;
  Text r2;
};

RegFields reg_fields(Run& run, TextView params) {
  Fields f(run, params);
  RegFields r;
  r.root = f.input();
  Text r1 = f.rest_input();
  Fields g(run, r1);
  r.key = g.input();
  r.r2 = g.rest_input();
  return r;
}

Text render(const RegValue& v) {
  switch (v.type) {
    case RegType::kString:
    case RegType::kExpandString:
      return decode_utf8_lossless(v.data);
    case RegType::kDword: {
      if (v.data.size() < 4) return Text();
      uint32_t u = 0;
      for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(v.data[i]);
      return int_to_text(static_cast<int32_t>(u));
    }
    case RegType::kBinary: {
      Text out;
      for (size_t i = 0; i < v.data.size() && i < 255; ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%.02X", static_cast<unsigned char>(v.data[i]));
        out += from_utf8(buf);
      }
      return out;
    }
  }
  return Text();
}

void cmd_registry_read(Run& run, TextView params) {
  RegFields p = reg_fields(run, params);
  Fields h(run, p.r2);
  Text name = h.input();
  TextView var = h.rest_raw();
  std::optional<RegValue> v = registry_read(p.root, p.key, name);
  run.store.set(var, v ? render(*v) : Text());
}

void cmd_registry_write(Run& run, TextView params) {
  RegFields p = reg_fields(run, params);
  Fields h(run, p.r2);
  Text name = h.input();
  Text data = h.rest_input();
  RegValue v{RegType::kString, encode_utf8_lossless(data)};
  if (run.store.substitute(u"%REG_INTASSTR%", true) == u"1") {
    std::optional<int64_t> n = parse_integer64(data);
    if (n && *n >= INT32_MIN && *n <= INT32_MAX) {
      uint32_t u = static_cast<uint32_t>(static_cast<int32_t>(*n));
      v = RegValue{RegType::kDword,
                   std::string{static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                               static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)}};
    }
  }
  registry_write(p.root, p.key, name, v);
}

void cmd_registry_delete_key(Run& run, TextView params) {
  Fields f(run, params);
  Text root = f.input();
  registry_delete_key(root, f.rest_input());
}

void cmd_registry_delete_value(Run& run, TextView params) {
  RegFields p = reg_fields(run, params);
  size_t comma = p.r2.find(u',');
  Text name = run.store.substitute(
      comma == Text::npos ? TextView(p.r2) : TextView(p.r2).substr(comma + 1), true);
  registry_delete_value(p.root, p.key, name);
}

constexpr CommandEntry kCommands[] = {
    {u"RRK"_code, cmd_registry_read, Params::kRaw},
    {u"RWK"_code, cmd_registry_write, Params::kRaw},
    {u"RDK"_code, cmd_registry_delete_key, Params::kRaw},
    {u"RDV"_code, cmd_registry_delete_value, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> registry_commands() {
  return kCommands;
}

}  // namespace talvex
