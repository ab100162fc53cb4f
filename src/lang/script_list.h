// The script list of a run and the preprocessing the run loop applies to it:
// loading with byte-order-mark recognition, line splitting, block comments,
// Include and data blocks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "util/text.h"

namespace talvex {

using ScriptList = std::vector<Text>;

// Splits text into lines at CR, LF or CR LF. A last line without a line end
// still counts; a line end at the very end adds no empty line; U+0000 ends
// the text.
ScriptList split_lines(TextView text);
// The same splitting for data files, where U+0000 is text like any other.
ScriptList split_text_lines(TextView text);

// Loads a script file: a UTF-8, UTF-16LE or UTF-16BE byte-order mark selects
// that encoding, otherwise the ANSI code page. A file that exists but cannot
// be read throws RuntimeFailure.
ScriptList load_script_file(TextView path);

// The line pointer after taking the line at `index`: when that line opens a
// block comment ("/*" without a closing "*/" on the same line), the index
// after the closing line, or the end of the list when nothing closes it;
// otherwise index + 1.
size_t skip_block_comment_forward(const ScriptList& lines, size_t index);

// For searches that walk backwards: when the line at `index` closes a block
// comment that it did not open, the index of the line that opens it (or 0);
// otherwise `index` itself.
size_t skip_block_comment_backward(const ScriptList& lines, size_t index);

// Replaces the line at `index` by the lines of the file; false, with the
// list unchanged, when no file of that name exists.
bool include_file(ScriptList& lines, size_t index, TextView path);

// The decoded bytes of the data block whose name line is `name` ":", or
// nothing when there is no such block or it holds no data.
std::optional<std::string> find_data_block(const ScriptList& lines, TextView name);

// Decodes hexadecimal text two digits per byte, stopping at the first
// character that is not a hexadecimal digit.
std::string decode_hex(TextView text);

}  // namespace talvex
