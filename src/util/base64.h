// Base64 as the runtime uses it: standard encoding, and the lenient decoding
// of the Base64 command and the stored options.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvex {

// Standard Base64 (A-Z, a-z, 0-9, "+", "/"), padded with "=", no line breaks.
std::string base64_encode(std::string_view bytes);

// Decodes text whose length is a multiple of four; nothing otherwise. Every
// character outside A-Z, a-z, 0-9 and "+" counts as 63. In the last group a
// "=" in the third position yields one byte, in the fourth two bytes.
std::optional<std::string> base64_decode(std::string_view text);

}  // namespace talvex
