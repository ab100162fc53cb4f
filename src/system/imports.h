// Imported functions: INI files in the "imports" directory beside the
// runtime turn library functions into commands of their own.
#pragma once

#include <vector>

#include "util/text.h"

namespace talvex {

class Run;

// One section of a definition file (tImports holds one per section).
struct TImport {
  Text section;
  int library = 0;     // the handle number
  bool owned = false;  // loaded by this run (not found loaded already)
  Text function;       // empty: the section defines nothing
  int parms = 0;
  std::vector<bool> buffer_result;  // parameter n is a "BUFFER" with "_EOL" = "RESULT"
};
using tImports = std::vector<TImport>;

// Loads every imports/*.ini beside the runtime with its library.
tImports load_imports();
// When the text before the first ">" of the line names an imported function,
// calls it.
void run_imported_function(Run& run, TextView line);
// Frees the libraries of the table that are still loaded, once each.
void free_imports(tImports& imports);

}  // namespace talvex
