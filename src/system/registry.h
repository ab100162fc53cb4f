// The registry stand-in: a per-user store on disk under
// $XDG_CONFIG_HOME/talvex/ (default ~/.config/talvex/) holding keys,
// subkeys and typed values. HKEY_CURRENT_USER lives in user.reg; the
// machine-wide roots share machine.reg beside it. Writers take a lock and
// replace the file atomically, so two runtimes never lose each other's
// values.
#pragma once

#include <optional>
#include <string>

#include "util/text.h"

namespace talvex {

enum class RegType { kString = 1, kExpandString = 2, kBinary = 3, kDword = 4 };

struct RegValue {
  RegType type = RegType::kString;
  std::string data;  // UTF-8 text, four little-endian bytes, or raw bytes
};

// The root names, compared exactly; nothing for any other text.
bool is_registry_root(TextView root);

std::optional<RegValue> registry_read(TextView root, TextView key, TextView name);
// Creates the key (and those above it) when needed; false when the store
// cannot be written.
bool registry_write(TextView root, TextView key, TextView name, const RegValue& value);
void registry_delete_key(TextView root, TextView key);
void registry_delete_value(TextView root, TextView key, TextView name);
// Whether the key exists.
bool registry_key_exists(TextView root, TextView key);

}  // namespace talvex
