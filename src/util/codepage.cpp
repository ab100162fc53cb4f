#include "util/codepage.h"

#include <cstdlib>
#include <cstring>

namespace talvex {

namespace {

CodePage read_code_page_setting() {
  const char* v = std::getenv("TALVEX_CODEPAGE");
  if (v != nullptr && std::strcmp(v, "1252") == 0) return CodePage::kWindows1252;
  return CodePage::kUtf8;
}

CodePage g_code_page = read_code_page_setting();

// Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as the platform does.
constexpr char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kEscapeBase = 0xDC00;

bool is_escape(char16_t c) {
  return c >= 0xDC80 && c <= 0xDCFF;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

CodePage ansi_code_page() {
  return g_code_page;
}
void set_ansi_code_page(CodePage cp) {
  g_code_page = cp;
}

Text ansi_decode(std::string_view bytes) {
  return g_code_page == CodePage::kWindows1252 ? decode_1252(bytes) : decode_utf8_lossless(bytes);
}

std::string ansi_encode(TextView text) {
  return g_code_page == CodePage::kWindows1252 ? encode_1252(text) : encode_utf8_lossless(text);
}

Text decode_utf8_lossless(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    // Work out the length of the sequence and the smallest code point it may
    // encode, so that overlong forms and surrogates count as invalid.
    size_t len = 0;
    char32_t cp = 0, min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      len = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4, cp = b & 0x07, min = 0x10000;
    }
    bool ok = len != 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(static_cast<char16_t>(kEscapeBase + b));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string encode_utf8_lossless(TextView text) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      append_utf8(out, cp);
      ++i;
    } else if (is_escape(c)) {
      out.push_back(static_cast<char>(c - kEscapeBase));
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      // A lone surrogate that no byte produced has no UTF-8 form.
      out.push_back('?');
    } else {
      append_utf8(out, c);
    }
  }
  return out;
}

Text decode_1252(std::string_view bytes) {
  Text out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    out.push_back((b >= 0x80 && b <= 0x9F) ? k1252High[b - 0x80] : b);
  }
  return out;
}

std::string encode_1252(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (k1252High[k] == c) {
        mapped = static_cast<char>(0x80 + k);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

Text decode_utf16le(std::string_view bytes) {
  Text out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

Text decode_utf16be(std::string_view bytes) {
  Text out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>((static_cast<unsigned char>(bytes[2 * i]) << 8) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]));
  }
  return out;
}

std::string encode_utf16le(TextView text) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<char>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return out;
}

std::string encode_utf16be(TextView text) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<char>(text[i] >> 8);
    out[2 * i + 1] = static_cast<char>(text[i] & 0xFF);
  }
  return out;
}

Text decode_text_file(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return decode_utf8_lossless(bytes.substr(3));
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return decode_utf16le(bytes.substr(2));
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return decode_utf16be(bytes.substr(2));
  return ansi_decode(bytes);
}

}  // namespace talvex
