// The profile engine: reading and writing entries of INI files with the
// semantics of the desktop platform's profile functions. Section and entry
// names compare without regard to case, the first match wins, blanks around
// names and values are trimmed, lines beginning with ";" are comments, and a
// missing section or entry is created at the end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/text.h"

namespace talvex {

class IniDocument {
 public:
  // Parses the bytes of a file (byte-order marks recognised).
  explicit IniDocument(std::string_view bytes);

  // The value of an entry, or nothing when section or entry is missing.
  std::optional<Text> read(TextView section, TextView entry) const;
  void write(TextView section, TextView entry, TextView value);
  // The section names in file order, the first of each name only.
  std::vector<Text> sections() const;
  // The file's bytes in the encoding and line ends it was read with.
  std::string bytes() const;

 private:
  struct Found {
    size_t section_line = SIZE_MAX;  // the section header
    size_t entry_line = SIZE_MAX;
    size_t insert_at = SIZE_MAX;  // after the section's last entry line
  };
  Found locate(TextView section, TextView entry) const;

  std::vector<Text> lines_;
  enum class Encoding { kAnsi, kUtf8Bom, kUtf16Le, kUtf16Be } encoding_ = Encoding::kAnsi;
  bool lf_only_ = false;
};

// Reads an entry from a file; nothing when the file, section or entry is
// missing. At most 2047 characters come back, as from a buffer of 2048.
std::optional<Text> read_ini_entry(TextView file, TextView section, TextView entry);
// Writes an entry, replacing the file through a temporary file in its
// directory; false when the file cannot be written.
bool write_ini_entry(TextView file, TextView section, TextView entry, TextView value);

}  // namespace talvex
