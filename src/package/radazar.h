// TRADazar: the keyed stream cipher of embedded scripts and of the Crypt
// command. Up to three 32-bit shift registers make the keystream; encryption
// and decryption are the same XOR. Encrypted data is a 9-byte header naming
// the level ("RADAZAR32", "RADAZAR64" or "RADAZAR96") and the ciphertext.
#pragma once

#include <cstdint>
#include <string>

#include "util/text.h"

namespace talvex {

enum class TEncryptionLevel { elWeak32bit, elMedium64bit, elStrong96bit };

class TRADazar {
 public:
  TRADazar();

  TEncryptionLevel EncryptionLevel = TEncryptionLevel::elWeak32bit;
  // Every operation consumes the key: after seeding it is empty.
  Text Key;
  bool SupportLongKeys = false;

  // Seeds from Key, then XORs every byte with the keystream.
  void TransformString(std::string& bytes);
  // Seeds from Key and writes the header and the encrypted source; false
  // when the source does not exist.
  bool EncryptFile(TextView source, TextView destination);
  // Reads the header (which sets the level when it names one), seeds from
  // Key and writes the decrypted rest; false when the source does not exist.
  bool DecryptFile(TextView source, TextView destination);
  // As DecryptFile, on byte strings: reads `source` from `position` and
  // appends to `destination`. Always true.
  bool DecryptStream(const std::string& source, size_t position, std::string& destination);

  // The registers, for tests.
  uint32_t A = 0, B = 0, C = 0;

 private:
  struct Masks {
    uint32_t feedback, clear, fill;
  };
  static int step(uint32_t& r, const Masks& m);
  uint8_t keystream_byte();
  void seed();
  void transform(char* p, size_t n);
  static const char* header(TEncryptionLevel level);
};

// The runtime key: three ASCII characters shared by the build and the run.
Text runtime_key();

// Decrypts an encrypted script section with the runtime key at the strongest
// level and reads it as UTF-16LE text after its byte-order mark.
Text decrypt_embedded_script(const std::string& payload);

}  // namespace talvex
