#include "lang/script_list.h"

#include "lang/errors.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"

namespace talvex {

namespace {

bool opens_block_comment(TextView line) {
  TextView t = trim_left(line);
  return t.size() >= 2 && t[0] == u'/' && t[1] == u'*';
}

bool closes_block_comment(TextView line) {
  TextView t = trim_right(line);
  return t.size() >= 2 && t[t.size() - 2] == u'*' && t[t.size() - 1] == u'/';
}

int hex_value(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

ScriptList split_lines(TextView text) {
  size_t nul = text.find(u'\0');
  return split_text_lines(nul == TextView::npos ? text : text.substr(0, nul));
}

ScriptList split_text_lines(TextView text) {
  ScriptList lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

ScriptList load_script_file(TextView path) {
  std::optional<std::string> bytes = read_file_bytes(path);
  if (!bytes) file_failure("Cannot open file", path);
  Text text = decode_text_file(*bytes);
  bytes.reset();
  return split_lines(text);
}

size_t skip_block_comment_forward(const ScriptList& lines, size_t index) {
  const Text& t = lines[index];
  if (!opens_block_comment(t) || closes_block_comment(t)) return index + 1;
  for (size_t i = index + 1; i < lines.size(); ++i) {
    if (closes_block_comment(lines[i])) return i + 1;
  }
  return lines.size();
}

size_t skip_block_comment_backward(const ScriptList& lines, size_t index) {
  if (!closes_block_comment(lines[index]) || opens_block_comment(lines[index])) return index;
  while (index > 0 && !opens_block_comment(lines[index])) --index;
  return index;
}

bool include_file(ScriptList& lines, size_t index, TextView path) {
  if (!file_exists(path)) return false;
  ScriptList inserted = load_script_file(path);
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index),
               std::make_move_iterator(inserted.begin()), std::make_move_iterator(inserted.end()));
  return true;
}

std::optional<std::string> find_data_block(const ScriptList& lines, TextView name) {
  Text name_line = Text(name) + u":";
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    if (lines[i] != name_line) continue;
    Text data;
    for (size_t k = i + 1; k < lines.size() && !lines[k].empty(); ++k) data += lines[k];
    if (data.empty()) return std::nullopt;
    return decode_hex(data);
  }
  return std::nullopt;
}

std::string decode_hex(TextView text) {
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = hex_value(text[i]), lo = hex_value(text[i + 1]);
    if (hi < 0 || lo < 0) break;
    out.push_back(static_cast<char>(hi * 16 + lo));
  }
  return out;
}

}  // namespace talvex
