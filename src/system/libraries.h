// Library handles as scripts see them, the loaded-library list, and calls of
// library functions with integer and text arguments.
#pragma once

#include <vector>

#include "util/text.h"

namespace talvex {

class Run;

// Scripts see a library as a small decimal number that maps to the real
// handle (a pointer does not fit the 32-bit integer rule); 0 is none.
int library_id(void* handle);
void* library_handle(int id);

// LibLoad: a library already loaded in the process is used as it is; any
// other is loaded and put on the loaded-library list. 0 when it cannot load.
int load_library(const Text& name, bool put_on_list = true);
// LibFree: frees the library and takes it off the list.
void free_library(int id);
// Frees every library still on the list once, and empties it (a stop).
void release_listed_libraries();

// Calls a function as LibFunc (ANSI texts) or LibFuncW (UTF-16 texts) do:
// `library` is a handle number or a name, `args` the argument texts as
// written. Stores the result and the arguments' values in `var` and
// var_1 ... var_n.
void call_library_function(Run& run, const Text& library, const Text& function, TextView var,
                           const std::vector<Text>& args, bool wide);

}  // namespace talvex
