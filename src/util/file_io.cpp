#include "util/file_io.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "util/codepage.h"

namespace talvex {

namespace fs = std::filesystem;

std::string path_bytes(TextView path) {
  return ansi_encode(path);
}

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
  // Read in one piece when the size is known, so a large file is not copied
  // again and again as the buffer grows.
  std::string data;
  std::error_code ec;
  if (auto size = fs::file_size(path_bytes(path), ec); !ec && size > 0) {
    data.resize(static_cast<size_t>(size));
    data.resize(std::fread(data.data(), 1, data.size(), f));
  }
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

bool wildcard_match(TextView pattern, TextView name) {
  // Iterative matching with one backtracking point for the last "*".
  size_t p = 0, n = 0, star = TextView::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      mark = n;
    } else if (star != TextView::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::vector<Text> matching_paths(TextView pattern) {
  std::vector<Text> out;
  size_t slash = pattern.rfind(u'/');
  TextView dir = slash == TextView::npos ? TextView(u".") : pattern.substr(0, slash);
  TextView leaf = slash == TextView::npos ? pattern : pattern.substr(slash + 1);
  if (slash == 0) dir = u"/";
  if (leaf.find_first_of(u"*?") == TextView::npos) {
    std::error_code ec;
    if (!pattern.empty() && fs::exists(path_bytes(pattern), ec)) out.emplace_back(pattern);
    return out;
  }
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(path_bytes(dir), ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().native());
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    Text t = ansi_decode(name);
    if (wildcard_match(leaf, t)) {
      out.push_back(slash == TextView::npos ? t : Text(pattern.substr(0, slash + 1)) + t);
    }
  }
  return out;
}

std::optional<std::time_t> modification_time(TextView path) {
  std::error_code ec;
  auto t = fs::last_write_time(path_bytes(path), ec);
  if (ec) return std::nullopt;
  auto sys = std::chrono::file_clock::to_sys(t);
  return std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
}

bool write_file_bytes(TextView path, const std::string& bytes) {
  std::FILE* f = std::fopen(path_bytes(path).c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

namespace {
std::optional<Text> g_current_directory;
}  // namespace

const Text& current_directory() {
  if (!g_current_directory) {
    std::error_code ec;
    auto p = fs::current_path(ec);
    g_current_directory = ec ? Text() : ansi_decode(p.native());
  }
  return *g_current_directory;
}

bool change_directory(TextView path) {
  std::error_code ec;
  fs::current_path(path_bytes(path), ec);
  g_current_directory.reset();
  return !ec;
}

void forget_current_directory() {
  g_current_directory.reset();
}

}  // namespace talvex
