#include "system/imports.h"

#include <algorithm>
#include <filesystem>

#include "lang/process.h"
#include "lang/run.h"
#include "platform/platform.h"
#include "system/ini_file.h"
#include "system/libraries.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/numbers.h"

namespace talvex {

namespace fs = std::filesystem;

tImports load_imports() {
  tImports table;
  Text dir = process().exe_dir + u"/imports";
  if (!directory_exists(dir)) return table;
  for (const Text& ini : matching_paths(dir + u"/*.ini")) {
    std::optional<std::string> bytes = read_file_bytes(ini);
    if (!bytes) continue;
    Text library = ini.substr(0, ini.size() - 4) + u".so";
    // A library that is already loaded (by the run that started this one
    // with Macro, say) is used, and left to whoever loaded it.
    bool owned = platform::get().libraries->find_loaded(library) == nullptr;
    int id = load_library(library);
    IniDocument doc(*bytes);
    for (const Text& section : doc.sections()) {
      TImport e;
      e.section = section;
      e.library = id;
      e.owned = owned;
      e.function = doc.read(section, u"FunctionName").value_or(Text());
      e.parms = integer_or_zero(doc.read(section, u"Parms").value_or(Text()));
      for (int n = 1; n <= e.parms; ++n) {
        Text key = u"Parm" + int_to_text(n);
        bool buffer = equals_ci(doc.read(section, key).value_or(Text()), u"BUFFER");
        bool result = equals_ci(doc.read(section, key + u"_EOL").value_or(Text()), u"RESULT");
        e.buffer_result.push_back(buffer && result);
      }
      table.push_back(std::move(e));
    }
  }
  return table;
}

void run_imported_function(Run& run, TextView line) {
  size_t gt = line.find(u'>');
  if (gt == TextView::npos) return;
  TextView name = trim(line.substr(0, gt));
  auto it = std::find_if(run.imports.begin(), run.imports.end(),
                         [&](const TImport& e) { return e.section == name; });
  if (it == run.imports.end() || it->function.empty() || it->parms <= 0) return;
  // Exactly "Parms" comma-terminated arguments, then the result variable.
  TextView rest = line.substr(gt + 1);
  std::vector<Text> args;
  for (int n = 0; n < it->parms; ++n) {
    size_t comma = rest.find(u',');
    if (comma == TextView::npos) return;
    args.emplace_back(rest.substr(0, comma));
    rest = rest.substr(comma + 1);
  }
  if (rest.find(u',') != TextView::npos) return;
  Text var(rest);
  call_library_function(run, int_to_text(it->library), it->function, var, args, false);
  const TVariableTable* result = run.store.find(var);
  int32_t length = result ? integer_or_zero(result->value) : 0;
  for (int n = 1; n <= it->parms; ++n) {
    if (!it->buffer_result[n - 1]) continue;
    const TVariableTable* value = run.store.find(var + u"_" + int_to_text(n));
    Text text = value ? value->value : Text();
    if (length >= 0 && static_cast<size_t>(length) < text.size()) text.resize(length);
    run.store.set(args[n - 1], std::move(text));
  }
}

void free_imports(tImports& imports) {
  std::vector<int> freed;
  for (const TImport& e : imports) {
    if (!e.owned || e.library == 0 ||
        std::find(freed.begin(), freed.end(), e.library) != freed.end()) {
      continue;
    }
    free_library(e.library);
    freed.push_back(e.library);
  }
  imports.clear();
}

}  // namespace talvex
