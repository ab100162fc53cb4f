// The section container: named sections appended to an executable file.
//
// A section is the start marker ("SO!#" and the upper-cased name), the
// payload and the end marker ("EO!#" and the name). There is no directory:
// a section is found by the first occurrence of each marker in the whole
// file. The container holds one image buffer per process: the bytes of one
// executable plus the sections appended since it was loaded.
#pragma once

#include <string>

#include "util/text.h"

namespace talvex {

class ExeMod {
 public:
  // Replaces the buffer with the bytes of a file; throws RuntimeFailure when
  // the file cannot be read.
  void load_image(TextView path);
  // The payload of a section; empty when the section is absent.
  std::string read_section(TextView name);
  // Writes a non-empty payload to a file (relative paths are resolved
  // against the runtime's directory, see write_image).
  void extract_section(TextView name, TextView path);
  void append_section(TextView name, std::string_view bytes);
  void append_file_as_section(TextView name, TextView path);
  // Makes the runtime's directory current and writes the buffer to `path`.
  void write_image(TextView path);

  const std::string& image() { return ensure_loaded(); }
  void set_own_path(Text path) { own_path_ = std::move(path); }

 private:
  const std::string& ensure_loaded();
  Text own_path_;
  std::string image_;
};

// The process's container, loading the runtime's own executable on first use.
ExeMod& exe_mod();

// The start and end markers of a section name. The marker prefixes live in
// the runtime as lower-case text and are upper-cased only here, so the
// runtime's own image never holds a marker.
std::string start_marker(TextView name);
std::string end_marker(TextView name);

// Finds a section's payload in `image` as the container does.
std::string find_section(const std::string& image, TextView name);

}  // namespace talvex
