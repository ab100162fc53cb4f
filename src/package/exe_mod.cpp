#include "package/exe_mod.h"

#include <filesystem>

#include "lang/errors.h"
#include "lang/process.h"
#include "util/file_io.h"
#include "util/i18n.h"

namespace talvex {

namespace {

// Upper-cases a marker at run time. The prefix is read through a volatile
// pointer so that the compiler cannot fold the upper-case marker into the
// runtime's image as a constant.
std::string marker(const char* lower_prefix, TextView name) {
  std::string m;
  const volatile char* p = lower_prefix;
  for (size_t i = 0; i < 4; ++i) m.push_back(p[i]);
  for (char16_t c : name) m.push_back(static_cast<char>(c & 0xFF));
  for (char& c : m) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return m;
}

constexpr char kStartPrefix[] = "so!#";
constexpr char kEndPrefix[] = "eo!#";

}  // namespace

std::string start_marker(TextView name) {
  return marker(kStartPrefix, name);
}
std::string end_marker(TextView name) {
  return marker(kEndPrefix, name);
}

std::string find_section(const std::string& image, TextView name) {
  const std::string s = start_marker(name), e = end_marker(name);
  size_t start = image.find(s);
  if (start == std::string::npos) return std::string();
  size_t payload = start + s.size();
  size_t end = image.find(e);
  if (end == std::string::npos || end < payload) return std::string();
  return image.substr(payload, end - payload);
}

const std::string& ExeMod::ensure_loaded() {
  if (image_.empty()) load_image(own_path_.empty() ? process().exe_path : own_path_);
  return image_;
}

void ExeMod::load_image(TextView path) {
  std::optional<std::string> bytes = read_file_bytes(path);
  if (!bytes) file_failure("Cannot open file", path);
  image_ = std::move(*bytes);
}

std::string ExeMod::read_section(TextView name) {
  return find_section(ensure_loaded(), name);
}

void ExeMod::extract_section(TextView name, TextView path) {
  std::string payload = read_section(name);
  if (payload.empty()) return;
  change_directory(process().exe_dir);
  if (!write_file_bytes(path, payload)) file_failure("Cannot create file", path);
}

void ExeMod::append_section(TextView name, std::string_view bytes) {
  ensure_loaded();
  image_ += start_marker(name);
  image_ += bytes;
  image_ += end_marker(name);
}

void ExeMod::append_file_as_section(TextView name, TextView path) {
  std::optional<std::string> bytes = read_file_bytes(path);
  if (!bytes) file_failure("Cannot open file", path);
  append_section(name, *bytes);
}

void ExeMod::write_image(TextView path) {
  if (ensure_loaded().empty()) return;
  change_directory(process().exe_dir);
  if (!write_file_bytes(path, image_)) file_failure("Cannot create file", path);
}

ExeMod& exe_mod() {
  static ExeMod container;
  return container;
}

}  // namespace talvex
