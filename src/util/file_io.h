// Small file helpers shared by the loader and the commands. Paths are
// language text, encoded to bytes through the ANSI code page.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "util/text.h"

namespace talvex {

std::string path_bytes(TextView path);

// True when `path` names an existing file that is not a directory.
bool file_exists(TextView path);
bool directory_exists(TextView path);

// Matches a name against a pattern with the wildcards "*" (any run of
// characters) and "?" (any one character).
bool wildcard_match(TextView pattern, TextView name);

// The paths matching a pattern whose last component may hold wildcards, in
// the directory's sorted order; a pattern without wildcards gives itself when
// it exists. Files and directories both match.
std::vector<Text> matching_paths(TextView pattern);

// The local modification time of a file, or nothing when it does not exist.
std::optional<std::time_t> modification_time(TextView path);

// Replaces a file's content; false when it cannot be written.
bool write_file_bytes(TextView path, const std::string& bytes);

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> read_file_bytes(TextView path);

// Appends bytes to a file, creating it; false when it cannot be written.
bool append_file_bytes(TextView path, const std::string& bytes);

// The current directory, as text. It is read from the system once and then
// kept: every change of directory the runtime makes goes through
// change_directory, and forget_current_directory covers changes made behind
// its back (by a library function).
const Text& current_directory();
bool change_directory(TextView path);
void forget_current_directory();

}  // namespace talvex
