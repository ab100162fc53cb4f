#include "util/file_io.h"

#include <cstdio>
#include <filesystem>

#include "util/codepage.h"

namespace talvex {

namespace fs = std::filesystem;

std::string path_bytes(TextView path) { return ansi_encode(path); }

bool file_exists(TextView path) {
  std::error_code ec;
  auto st = fs::status(path_bytes(path), ec);
  return !ec && fs::exists(st) && !fs::is_directory(st);
}

bool directory_exists(TextView path) {
  std::error_code ec;
  return fs::is_directory(path_bytes(path), ec);
}

std::optional<std::string> read_file_bytes(TextView path) {
  std::FILE* f = std::fopen(path_bytes(path).c_str(), "rb");
  if (f == nullptr) return std::nullopt;
  std::string data;
  char buf[1 << 16];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

bool append_file_bytes(TextView path, const std::string& bytes) {
  std::FILE* f = std::fopen(path_bytes(path).c_str(), "ab");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

Text current_directory() {
  std::error_code ec;
  auto p = fs::current_path(ec);
  return ec ? Text() : ansi_decode(p.native());
}

}  // namespace talvex
