#include "lang/fuzz_entry.h"

#include <string_view>

#include "lang/identify.h"
#include "lang/script_list.h"
#include "lang/var_store.h"
#include "util/codepage.h"

namespace talvex {

void fuzz_load_script(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ScriptList lines = split_lines(decode_text_file(bytes));
  for (size_t i = 0; i < lines.size(); ++i) {
    (void)identify(lines[i]);
    (void)skip_block_comment_forward(lines, i);
    (void)skip_block_comment_backward(lines, i);
  }
  if (!lines.empty()) (void)find_data_block(lines, TextView(lines[0]).substr(0, 8));
}

void fuzz_substitute(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Text text = decode_utf8_lossless(bytes);
  size_t split = text.find(u'\x1e');  // record separator: definitions, then the text
  TextView defs = split == Text::npos ? TextView() : TextView(text).substr(0, split);
  TextView subject = split == Text::npos ? TextView(text) : TextView(text).substr(split + 1);
  VarStore store;
  store.set(u"_LINE_NUM", u"0");
  store.set(u"VAREXPLICIT", u"0");
  store.set(u"IGNORESPACES", u"0");
  for (const Text& line : split_lines(defs)) {
    size_t eq = line.find(u'=');
    if (eq != Text::npos) store.set(TextView(line).substr(0, eq), line.substr(eq + 1));
  }
  (void)store.substitute(subject, true);
  (void)store.substitute(subject, false);
  (void)store.substitute_for_expression(subject);
}

}  // namespace talvex
