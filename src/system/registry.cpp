#include "system/registry.h"

#include <filesystem>
#include <map>

#include "platform/platform.h"
#include "util/codepage.h"
#include "util/file_io.h"

namespace talvex {

namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kRoots[] = {u"HKEY_CLASSES_ROOT",   u"HKEY_CURRENT_USER",
                                      u"HKEY_LOCAL_MACHINE",  u"HKEY_USERS",
                                      u"HKEY_CURRENT_CONFIG", u"HKEY_DYN_DATA"};

// A key path with its separators tidied: no leading, trailing or doubled
// backslashes.
Text normal_path(TextView root, TextView key) {
  Text out(root);
  size_t i = 0;
  while (i < key.size()) {
    while (i < key.size() && key[i] == u'\\') ++i;
    size_t j = key.find(u'\\', i);
    if (j == TextView::npos) j = key.size();
    if (j > i) out += u"\\" + Text(key.substr(i, j - i));
    i = j;
  }
  return out;
}

struct Key {
  Text path;                                         // as first written
  std::map<Text, std::pair<Text, RegValue>> values;  // upper-cased name → name, value
};

// A store file: keys by upper-cased path.
using Store = std::map<Text, Key>;

std::string escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
      out += buf;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::string to_hex(const std::string& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    out.push_back(digits[static_cast<unsigned char>(c) >> 4]);
    out.push_back(digits[static_cast<unsigned char>(c) & 15]);
  }
  return out;
}

std::string from_hex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

Text store_dir() {
  auto& sys = *platform::get().system;
  Text config = sys.get_env(u"XDG_CONFIG_HOME").value_or(Text());
  if (config.empty()) config = sys.get_env(u"HOME").value_or(Text()) + u"/.config";
  return config + u"/talvex";
}

Text store_file(TextView root) {
  return store_dir() + (root == u"HKEY_CURRENT_USER" ? u"/user.reg" : u"/machine.reg");
}

Store load(const Text& file) {
  Store store;
  std::optional<std::string> bytes = read_file_bytes(file);
  if (!bytes) return store;
  size_t start = 0;
  while (start < bytes->size()) {
    size_t end = bytes->find('\n', start);
    if (end == std::string::npos) end = bytes->size();
    std::string line = bytes->substr(start, end - start);
    start = end + 1;
    if (line.size() < 2) continue;
    try {
      if (line[0] == 'K') {
        Text path = decode_utf8_lossless(unescape(line.substr(2)));
        store.emplace(upper(path), Key{path, {}});
      } else if (line[0] == 'V') {
        std::string rest = line.substr(2);
        size_t t1 = rest.find('\t'), t2 = rest.find('\t', t1 + 1), t3 = rest.find('\t', t2 + 1);
        if (t3 == std::string::npos) continue;
        Text path = decode_utf8_lossless(unescape(rest.substr(0, t1)));
        Text name = decode_utf8_lossless(unescape(rest.substr(t1 + 1, t2 - t1 - 1)));
        RegValue v{static_cast<RegType>(std::stoi(rest.substr(t2 + 1, t3 - t2 - 1))),
                   from_hex(rest.substr(t3 + 1))};
        Key& key = store.emplace(upper(path), Key{path, {}}).first->second;
        key.values[upper(name)] = {name, v};
      }
    } catch (const std::exception&) {
      // A damaged line is skipped; the rest of the store stays readable.
    }
  }
  return store;
}

bool save(const Text& file, const Store& store) {
  std::string out = "TALVEX-REGISTRY 1\n";
  for (const auto& [upper_path, key] : store) {
    std::string path = escape(encode_utf8_lossless(key.path));
    out += "K " + path + "\n";
    for (const auto& [upper_name, entry] : key.values) {
      out += "V " + path + "\t" + escape(encode_utf8_lossless(entry.first)) + "\t" +
             std::to_string(static_cast<int>(entry.second.type)) + "\t" +
             to_hex(entry.second.data) + "\n";
    }
  }
  std::error_code ec;
  fs::path target(path_bytes(file));
  fs::path temp = target;
  temp += ".tmp" + std::to_string(static_cast<long>(platform::get().clock->tick_ms()));
  if (!write_file_bytes(ansi_decode(temp.native()), out)) return false;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
  }
  return !ec;
}

// Changes a store under its lock: read, change, replace.
template <typename Change>
bool modify(TextView root, Change change) {
  std::error_code ec;
  fs::create_directories(path_bytes(store_dir()), ec);
  Text file = store_file(root);
  auto& sys = *platform::get().system;
  std::optional<int> lock = sys.lock_file(file + u".lock");
  if (!lock) return false;
  Store store = load(file);
  bool ok = change(store) ? save(file, store) : true;
  sys.unlock_file(*lock);
  return ok;
}

}  // namespace

bool is_registry_root(TextView root) {
  for (const char16_t* r : kRoots) {
    if (root == r) return true;
  }
  return false;
}

bool registry_key_exists(TextView root, TextView key) {
  if (!is_registry_root(root)) return false;
  Store store = load(store_file(root));
  return store.count(upper(normal_path(root, key))) != 0;
}

std::optional<RegValue> registry_read(TextView root, TextView key, TextView name) {
  if (!is_registry_root(root)) return std::nullopt;
  Store store = load(store_file(root));
  auto k = store.find(upper(normal_path(root, key)));
  if (k == store.end()) return std::nullopt;
  auto v = k->second.values.find(upper(name));
  if (v == k->second.values.end()) return std::nullopt;
  return v->second.second;
}

bool registry_write(TextView root, TextView key, TextView name, const RegValue& value) {
  if (!is_registry_root(root)) return false;
  Text path = normal_path(root, key);
  return modify(root, [&](Store& store) {
    // The key and every key above it.
    for (size_t at = path.find(u'\\');; at = path.find(u'\\', at + 1)) {
      Text part = at == Text::npos ? path : path.substr(0, at);
      store.emplace(upper(part), Key{part, {}});
      if (at == Text::npos) break;
    }
    Key& k = store[upper(path)];
    auto it = k.values.find(upper(name));
    Text shown = it == k.values.end() ? Text(name) : it->second.first;
    k.values[upper(name)] = {shown, value};
    return true;
  });
}

void registry_delete_key(TextView root, TextView key) {
  if (!is_registry_root(root)) return;
  Text path = upper(normal_path(root, key));
  if (path == upper(Text(root))) return;
  modify(root, [&](Store& store) {
    bool changed = false;
    for (auto it = store.begin(); it != store.end();) {
      bool below = it->first == path || (it->first.size() > path.size() &&
                                         it->first.compare(0, path.size(), path) == 0 &&
                                         it->first[path.size()] == u'\\');
      if (below) {
        it = store.erase(it);
        changed = true;
      } else {
        ++it;
      }
    }
    return changed;
  });
}

void registry_delete_value(TextView root, TextView key, TextView name) {
  if (!is_registry_root(root)) return;
  Text path = upper(normal_path(root, key));
  modify(root, [&](Store& store) {
    auto k = store.find(path);
    return k != store.end() && k->second.values.erase(upper(name)) > 0;
  });
}

}  // namespace talvex
