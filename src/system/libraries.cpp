#include "system/libraries.h"

#include "lang/errors.h"
#include "lang/run.h"
#include "platform/platform.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"
#include "util/numbers.h"

namespace talvex {

namespace {

struct Slot {
  void* handle = nullptr;
  bool listed = false;  // on the loaded-library list
};

// Process-wide: the loaded-library list outlives a run; a stop request of
// any run frees what is on it.
std::vector<Slot>& slots() {
  static std::vector<Slot> table;
  return table;
}

}  // namespace

int library_id(void* handle) {
  if (handle == nullptr) return 0;
  auto& t = slots();
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i].handle == handle) return static_cast<int>(i + 1);
  }
  t.push_back({handle, false});
  return static_cast<int>(t.size());
}

void* library_handle(int id) {
  auto& t = slots();
  return id >= 1 && static_cast<size_t>(id) <= t.size() ? t[id - 1].handle : nullptr;
}

int load_library(const Text& name, bool put_on_list) {
  auto& libs = *platform::get().libraries;
  if (void* h = libs.find_loaded(name)) return library_id(h);
  void* h = libs.load(name);
  if (h == nullptr) return 0;
  int id = library_id(h);
  if (put_on_list) slots()[id - 1].listed = true;
  return id;
}

void free_library(int id) {
  void* h = library_handle(id);
  if (h == nullptr) return;
  platform::get().libraries->unload(h);
  slots()[id - 1] = Slot{};
}

void release_listed_libraries() {
  for (Slot& s : slots()) {
    if (s.listed && s.handle) {
      platform::get().libraries->unload(s.handle);
      s = Slot{};
    }
  }
}

void call_library_function(Run& run, const Text& library, const Text& function, TextView var,
                           const std::vector<Text>& args, bool wide) {
  auto& libs = *platform::get().libraries;
  // A non-zero integer is a handle; otherwise a loaded module of that name,
  // or the library loaded for this call only.
  void* handle = nullptr;
  bool temporary = false;
  if (std::optional<int32_t> id = parse_integer(library); id && *id != 0) {
    handle = library_handle(*id);
  } else if (!(handle = libs.find_loaded(library))) {
    handle = libs.load(library);
    temporary = handle != nullptr;
  }

  struct Arg {
    bool is_int = false;
    bool by_ref = false;
    int32_t slot = 0;
    std::string bytes;    // LibFunc buffer
    std::u16string wide;  // LibFuncW buffer
  };
  std::vector<Arg> prepared(args.size());
  std::vector<platform::CallArg> call_args;
  for (size_t i = 0; i < args.size(); ++i) {
    TextView text = args[i];
    Arg& a = prepared[i];
    bool force_text = false;
    if (starts_with_ci(text, u"REF:")) {
      a.by_ref = true;
      text = text.substr(4);
    } else if (starts_with_ci(text, u"STR:")) {
      force_text = true;
      text = text.substr(4);
    }
    int32_t size = 0;
    if (const TVariableTable* e = run.store.find(Text(text) + u"_SIZE"))
      size = integer_or_zero(e->value);
    if (size <= 0) size = 255;
    Text value = run.store.substitute(text, true);
    std::optional<int32_t> n = parse_integer(value);
    if (n && !force_text) {
      a.is_int = true;
      a.slot = *n;
    } else if (wide) {
      a.wide = value;
      // The buffer holds the text and its terminating zero, and is never
      // smaller than the text.
      a.wide.resize(std::max<size_t>(static_cast<size_t>(size), value.size()) + 1, u'\0');
    } else {
      a.bytes = ansi_encode(value);
      a.bytes.resize(std::max<size_t>(static_cast<size_t>(size), a.bytes.size()) + 1, '\0');
    }
  }
  for (Arg& a : prepared) {
    platform::CallArg c;
    if (a.is_int && !a.by_ref) {
      c.value = a.slot;
    } else {
      c.is_pointer = true;
      c.pointer = a.is_int ? static_cast<void*>(&a.slot)
                  : wide   ? static_cast<void*>(a.wide.data())
                           : static_cast<void*>(a.bytes.data());
    }
    call_args.push_back(c);
  }

  void* fn = libs.symbol(handle, path_bytes(function));
  if (handle == nullptr || fn == nullptr) {
    run.store.set(var, u"Unable to load DLL");
    if (temporary) libs.unload(handle);
    return;
  }
  std::optional<int32_t> result = libs.call(fn, call_args);
  // A library function may change the current directory behind our back.
  forget_current_directory();
  if (!result) {
    run.store.set(var, u"Error Calling DLL");
    if (run.store.substitute(u"%IGNOREERRORS%", true) != u"1") {
      Text text =
          line_message(run.store.line_number(),
                       tr("Error Calling DLL - Possible wrong number or type of parameters."));
      platform::get().boxes->message_box(text, u"", platform::BoxButtons::kOk,
                                         platform::BoxIcon::kInformation);
    }
  } else {
    run.store.set(var, int_to_text(*result));
    for (size_t i = 0; i < prepared.size(); ++i) {
      const Arg& a = prepared[i];
      Text out;
      if (a.is_int) {
        out = int_to_text(a.slot);
      } else if (wide) {
        out = Text(a.wide.c_str());
      } else {
        out = ansi_decode(std::string(a.bytes.c_str()));
      }
      run.store.set(Text(var) + u"_" + int_to_text(static_cast<int64_t>(i + 1)), std::move(out));
    }
  }
  if (temporary) libs.unload(handle);
}

}  // namespace talvex
