// TShellFileOp: copy, move, rename and delete with wildcards, as the
// desktop's shell file operation does them: no confirmation, no recycle bin,
// a new name on collision (or overwriting), directories handled whole.
// Failures are silent.
#pragma once

#include <set>

#include "util/text.h"

namespace talvex {

class TShellFileOp {
 public:
  enum class Operation { kCopy, kMove, kRename, kDelete };

  bool FilesOnly = false;
  bool NoConfirmation = true;
  bool AutoMakeDir = false;
  bool RenameOnCollision = true;
  bool Animate = false;

  void AddSource(TextView path) { sources_.insert(Text(path)); }
  // Runs the operation on the sources and clears them.
  void Execute(Operation op, TextView destination = TextView());

 private:
  std::set<Text> sources_;
};

// A name that does not exist yet beside `path`, the way a desktop file
// manager names copies: "name (copy).ext", then "name (copy 2).ext", ...
Text non_colliding_name(TextView path);

}  // namespace talvex
