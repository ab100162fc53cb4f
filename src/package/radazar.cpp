#include "package/radazar.h"

#include <cstdio>

#include "lang/errors.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"

namespace talvex {

namespace {

constexpr uint32_t kSeedA = 0x13579BDF, kSeedB = 0x2468ACE0, kSeedC = 0xFDB97531;
constexpr size_t kBlock = 2048;
constexpr size_t kHeaderSize = 9;

struct RegisterMasks {
  uint32_t feedback, clear, fill;
};
constexpr RegisterMasks kMaskA{0x80000062, 0x7FFFFFFF, 0x80000000};
constexpr RegisterMasks kMaskB{0x40000020, 0x3FFFFFFF, 0xC0000000};
constexpr RegisterMasks kMaskC{0x10000002, 0x0FFFFFFF, 0xF0000000};

}  // namespace

TRADazar::TRADazar() {
  A = B = C = kSeedA;
}

// One step of a register: the output bit is its lowest bit before the step.
int TRADazar::step(uint32_t& r, const Masks& m) {
  if (r & 1) {
    r = (r ^ (m.feedback >> 1)) | m.fill;
    return 1;
  }
  r = (r >> 1) & m.clear;
  return 0;
}

uint8_t TRADazar::keystream_byte() {
  const Masks a{kMaskA.feedback, kMaskA.clear, kMaskA.fill};
  const Masks b{kMaskB.feedback, kMaskB.clear, kMaskB.fill};
  const Masks c{kMaskC.feedback, kMaskC.clear, kMaskC.fill};
  uint8_t out = 0;
  if (EncryptionLevel == TEncryptionLevel::elWeak32bit) {
    for (int i = 0; i < 8; ++i) out = static_cast<uint8_t>((out << 1) | step(A, a));
    return out;
  }
  int bb = B & 1, bc = C & 1;
  for (int i = 0; i < 8; ++i) {
    if (step(A, a)) {
      bb = step(B, b);
    } else {
      bc = step(C, c);
    }
    out = static_cast<uint8_t>((out << 1) | (bb ^ bc));
  }
  return out;
}

void TRADazar::seed() {
  Text k = Key.empty() ? Text(1, u'\0') : Key;
  for (size_t i = 0; k.size() < 12; ++i) k.push_back(k[i]);
  auto fill = [&](size_t from) {
    uint32_t r = 0;
    for (size_t i = from; i < from + 4; ++i) r = (r << 8) | k[i];
    return r;
  };
  A = fill(0);
  switch (EncryptionLevel) {
    case TEncryptionLevel::elWeak32bit:
      B = C = A;
      break;
    case TEncryptionLevel::elMedium64bit:
      B = fill(4);
      C = B;
      break;
    case TEncryptionLevel::elStrong96bit:
      B = fill(4);
      C = fill(8);
      break;
  }
  if (A == 0) A = kSeedA;
  if (B == 0) B = EncryptionLevel == TEncryptionLevel::elWeak32bit ? A : kSeedB;
  if (C == 0) C = EncryptionLevel == TEncryptionLevel::elMedium64bit ? B : kSeedC;
  if (SupportLongKeys) {
    size_t used = EncryptionLevel == TEncryptionLevel::elWeak32bit     ? 4
                  : EncryptionLevel == TEncryptionLevel::elMedium64bit ? 8
                                                                       : 12;
    for (size_t i = used; i < k.size(); ++i) (void)keystream_byte();
  }
  Key.clear();
}

void TRADazar::transform(char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<char>(p[i] ^ keystream_byte());
}

const char* TRADazar::header(TEncryptionLevel level) {
  switch (level) {
    case TEncryptionLevel::elWeak32bit:
      return "RADAZAR32";
    case TEncryptionLevel::elMedium64bit:
      return "RADAZAR64";
    default:
      return "RADAZAR96";
  }
}

void TRADazar::TransformString(std::string& bytes) {
  seed();
  transform(bytes.data(), bytes.size());
}

namespace {

struct File {
  std::FILE* f;
  ~File() {
    if (f) std::fclose(f);
  }
};

std::FILE* open_or_fail(TextView path, const char* mode, const char* what) {
  std::FILE* f = std::fopen(path_bytes(path).c_str(), mode);
  if (f == nullptr) file_failure(what, path);
  return f;
}

}  // namespace

bool TRADazar::EncryptFile(TextView source, TextView destination) {
  seed();
  if (!file_exists(source)) return false;
  File in{open_or_fail(source, "rb", "Cannot open file")};
  File out{open_or_fail(destination, "wb", "Cannot create file")};
  std::fwrite(header(EncryptionLevel), 1, kHeaderSize, out.f);
  char buf[kBlock];
  for (;;) {
    size_t n = std::fread(buf, 1, kBlock, in.f);
    transform(buf, n);
    if (std::fwrite(buf, 1, n, out.f) != n) {
      file_failure("Cannot write file", destination);
    }
    if (n < kBlock) break;
  }
  return true;
}

bool TRADazar::DecryptFile(TextView source, TextView destination) {
  if (!file_exists(source)) return false;
  std::optional<std::string> bytes = read_file_bytes(source);
  if (!bytes) file_failure("Cannot open file", source);
  std::string plain;
  DecryptStream(*bytes, 0, plain);
  if (!write_file_bytes(destination, plain)) {
    file_failure("Cannot create file", destination);
  }
  return true;
}

bool TRADazar::DecryptStream(const std::string& source, size_t position, std::string& destination) {
  std::string_view rest =
      position < source.size() ? std::string_view(source).substr(position) : std::string_view();
  std::string_view head = rest.substr(0, std::min(kHeaderSize, rest.size()));
  if (head == "RADAZAR32") EncryptionLevel = TEncryptionLevel::elWeak32bit;
  if (head == "RADAZAR64") EncryptionLevel = TEncryptionLevel::elMedium64bit;
  if (head == "RADAZAR96") EncryptionLevel = TEncryptionLevel::elStrong96bit;
  seed();
  size_t at = destination.size();
  destination.append(rest.substr(head.size()));
  transform(destination.data() + at, destination.size() - at);
  return true;
}

Text runtime_key() {
  // Built at run time, so the key never stands in the image as one text.
  const char codes[] = {'T' + 0, 'v' + 0, '7' + 0};
  return Text{static_cast<char16_t>(codes[0]), static_cast<char16_t>(codes[1]),
              static_cast<char16_t>(codes[2])};
}

Text decrypt_embedded_script(const std::string& payload) {
  TRADazar cipher;
  cipher.Key = runtime_key();
  cipher.EncryptionLevel = TEncryptionLevel::elStrong96bit;
  std::string plain;
  cipher.DecryptStream(payload, 0, plain);
  Text text = decode_utf16le(plain);
  if (!text.empty()) text.erase(0, 1);
  return text;
}

}  // namespace talvex
