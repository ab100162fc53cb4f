// The one codec module: every conversion between bytes and the language's
// UTF-16 text goes through here.
//
// The "ANSI code page" of this runtime is UTF-8, decoded losslessly: a byte
// that is not part of valid UTF-8 becomes the lone surrogate U+DC00 + byte and
// encodes back to that same byte, so byte-oriented commands never lose data.
// Setting TALVEX_CODEPAGE=1252 selects Windows-1252 instead.
#pragma once

#include <string>
#include <string_view>

#include "util/text.h"

namespace talvex {

enum class CodePage { kUtf8, kWindows1252 };

// The process's ANSI code page, read once from TALVEX_CODEPAGE.
CodePage ansi_code_page();
// Lets tests switch the code page; not used by the runtime itself.
void set_ansi_code_page(CodePage cp);

Text ansi_decode(std::string_view bytes);
std::string ansi_encode(TextView text);

Text decode_utf8_lossless(std::string_view bytes);
std::string encode_utf8_lossless(TextView text);

Text decode_1252(std::string_view bytes);
std::string encode_1252(TextView text);

Text decode_utf16le(std::string_view bytes);
Text decode_utf16be(std::string_view bytes);
std::string encode_utf16le(TextView text);
std::string encode_utf16be(TextView text);

// Reads the bytes of a text file: a UTF-8, UTF-16LE or UTF-16BE byte-order
// mark selects that encoding (the mark is dropped); without one the bytes are
// taken in the ANSI code page.
Text decode_text_file(std::string_view bytes);

}  // namespace talvex
