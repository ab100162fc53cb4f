#include "system/shell_file_op.h"

#include <filesystem>

#include "util/codepage.h"
#include "util/file_io.h"

namespace talvex {

namespace fs = std::filesystem;

namespace {

fs::path to_path(TextView t) {
  return fs::path(path_bytes(t));
}
Text to_text(const fs::path& p) {
  return ansi_decode(p.native());
}

bool path_exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

void remove_path(const fs::path& p) {
  std::error_code ec;
  fs::remove_all(p, ec);
}

// The target of one source: into an existing directory, else the name given.
fs::path target_of(const fs::path& source, const fs::path& destination, bool into_directory) {
  std::error_code ec;
  if (into_directory || fs::is_directory(destination, ec)) return destination / source.filename();
  return destination;
}

// Resolves a collision at `target`: a new name, or the old one removed.
fs::path resolve_collision(const fs::path& target, bool rename_on_collision) {
  if (!path_exists(target)) return target;
  if (rename_on_collision) return to_path(non_colliding_name(to_text(target)));
  std::error_code ec;
  if (!fs::is_directory(target, ec)) fs::remove(target, ec);
  return target;
}

void copy_one(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::copy(from, to,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing |
               fs::copy_options::copy_symlinks,
           ec);
}

void move_one(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return;
  // Across file systems: copy, then delete the source.
  copy_one(from, to);
  if (path_exists(to)) remove_path(from);
}

}  // namespace

Text non_colliding_name(TextView path) {
  fs::path p = to_path(path);
  fs::path dir = p.parent_path();
  std::string stem = p.stem().native(), ext = p.extension().native();
  if (fs::is_directory(p)) stem = p.filename().native(), ext.clear();
  for (int n = 1;; ++n) {
    std::string name = stem + (n == 1 ? " (copy)" : " (copy " + std::to_string(n) + ")") + ext;
    fs::path candidate = dir / name;
    if (!path_exists(candidate)) return to_text(candidate);
  }
}

void TShellFileOp::Execute(Operation op, TextView destination) {
  std::vector<fs::path> matched;
  for (const Text& source : sources_) {
    for (const Text& m : matching_paths(source)) {
      std::error_code ec;
      if (FilesOnly && source.find_first_of(u"*?") != Text::npos &&
          fs::is_directory(to_path(m), ec)) {
        continue;
      }
      matched.push_back(to_path(m));
    }
  }
  sources_.clear();
  if (matched.empty()) return;
  fs::path dest = to_path(destination);

  if (op == Operation::kDelete) {
    for (const fs::path& p : matched) remove_path(p);
    return;
  }
  // Several sources go into a directory, made when it does not exist.
  bool into_directory = matched.size() > 1;
  if (into_directory && !path_exists(dest)) {
    std::error_code ec;
    fs::create_directories(dest, ec);
  }
  for (const fs::path& from : matched) {
    fs::path to = op == Operation::kRename ? dest : target_of(from, dest, into_directory);
    // A file onto itself: only a copy under a new name makes sense.
    std::error_code same_ec;
    if (fs::equivalent(from, to, same_ec) && (op != Operation::kCopy || !RenameOnCollision)) {
      continue;
    }
    to = resolve_collision(to, RenameOnCollision);
    if (op == Operation::kCopy) {
      copy_one(from, to);
    } else {
      move_one(from, to);
    }
  }
}

}  // namespace talvex
