#include "system/ini_file.h"

#include <filesystem>
#include <vector>

#include "lang/script_list.h"
#include "util/codepage.h"
#include "util/file_io.h"

namespace talvex {

namespace {

// The section name of a header line "[name]", or nothing.
std::optional<TextView> header_name(TextView line) {
  TextView t = trim(line);
  if (t.empty() || t[0] != u'[') return std::nullopt;
  size_t close = t.find(u']');
  TextView name = close == TextView::npos ? t.substr(1) : t.substr(1, close - 1);
  return trim(name);
}

bool is_comment(TextView line) {
  TextView t = trim_left(line);
  return !t.empty() && t[0] == u';';
}

}  // namespace

IniDocument::IniDocument(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") encoding_ = Encoding::kUtf16Le;
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") encoding_ = Encoding::kUtf16Be;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") encoding_ = Encoding::kUtf8Bom;
  Text text = decode_text_file(bytes);
  lf_only_ = text.find(u'\n') != Text::npos && text.find(u"\r\n") == Text::npos;
  lines_ = split_text_lines(text);
}

IniDocument::Found IniDocument::locate(TextView section, TextView entry) const {
  Found f;
  TextView want_section = trim(section), want_entry = trim(entry);
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::optional<TextView> name = header_name(lines_[i]);
    if (f.section_line == SIZE_MAX) {
      if (name && equals_ci(*name, want_section)) {
        f.section_line = i;
        f.insert_at = i + 1;
      }
      continue;
    }
    if (name) break;  // the next section ends the first matching one
    if (is_comment(lines_[i])) {
      f.insert_at = i + 1;
      continue;
    }
    size_t eq = lines_[i].find(u'=');
    if (eq == Text::npos) {
      if (!trim(lines_[i]).empty()) f.insert_at = i + 1;
      continue;
    }
    f.insert_at = i + 1;
    if (f.entry_line == SIZE_MAX &&
        equals_ci(trim(TextView(lines_[i]).substr(0, eq)), want_entry)) {
      f.entry_line = i;
    }
  }
  return f;
}

std::optional<Text> IniDocument::read(TextView section, TextView entry) const {
  Found f = locate(section, entry);
  if (f.entry_line == SIZE_MAX) return std::nullopt;
  const Text& line = lines_[f.entry_line];
  TextView value = trim(TextView(line).substr(line.find(u'=') + 1));
  if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
    value = value.substr(1, value.size() - 2);
  }
  return Text(value);
}

void IniDocument::write(TextView section, TextView entry, TextView value) {
  Found f = locate(section, entry);
  Text line = Text(trim(entry)) + u"=" + Text(value);
  if (f.entry_line != SIZE_MAX) {
    // Keep the entry's own spelling of its name.
    const Text& old = lines_[f.entry_line];
    lines_[f.entry_line] = Text(trim(TextView(old).substr(0, old.find(u'=')))) + u"=" + Text(value);
  } else if (f.section_line != SIZE_MAX) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(f.insert_at), line);
  } else {
    lines_.push_back(u"[" + Text(trim(section)) + u"]");
    lines_.push_back(line);
  }
}

std::vector<Text> IniDocument::sections() const {
  std::vector<Text> out;
  for (const Text& line : lines_) {
    std::optional<TextView> name = header_name(line);
    if (!name) continue;
    bool seen = false;
    for (const Text& s : out) seen = seen || equals_ci(s, *name);
    if (!seen) out.emplace_back(*name);
  }
  return out;
}

std::string IniDocument::bytes() const {
  Text text;
  const char16_t* end = lf_only_ ? u"\n" : u"\r\n";
  for (const Text& l : lines_) text += l + end;
  switch (encoding_) {
    case Encoding::kUtf16Le:
      return "\xFF\xFE" + encode_utf16le(text);
    case Encoding::kUtf16Be:
      return "\xFE\xFF" + encode_utf16be(text);
    case Encoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + encode_utf8_lossless(text);
    default:
      return ansi_encode(text);
  }
}

std::optional<Text> read_ini_entry(TextView file, TextView section, TextView entry) {
  std::optional<std::string> bytes = read_file_bytes(file);
  if (!bytes) return std::nullopt;
  std::optional<Text> value = IniDocument(*bytes).read(section, entry);
  if (value && value->size() > 2047) value->resize(2047);
  return value;
}

bool write_ini_entry(TextView file, TextView section, TextView entry, TextView value) {
  std::optional<std::string> bytes = read_file_bytes(file);
  if (!bytes) return false;
  IniDocument doc(*bytes);
  doc.write(section, entry, value);
  // A temporary file beside the original, renamed over it, so a failed write
  // never leaves half a file.
  namespace fs = std::filesystem;
  fs::path target(path_bytes(file));
  fs::path temp = target;
  temp += ".talvex-tmp";
  if (!write_file_bytes(ansi_decode(temp.native()), doc.bytes())) return false;
  std::error_code ec, ignored;
  fs::rename(temp, target, ec);
  if (ec) fs::remove(temp, ignored);
  return !ec;
}

}  // namespace talvex
