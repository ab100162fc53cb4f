// Small file helpers shared by the loader and the commands. Paths are
// language text, encoded to bytes through the ANSI code page.
#pragma once

#include <optional>
#include <string>

#include "util/text.h"

namespace talvex {

std::string path_bytes(TextView path);

// True when `path` names an existing file that is not a directory.
bool file_exists(TextView path);
bool directory_exists(TextView path);

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> read_file_bytes(TextView path);

// Appends bytes to a file, creating it; false when it cannot be written.
bool append_file_bytes(TextView path, const std::string& bytes);

// The current directory, as text.
Text current_directory();

}  // namespace talvex
