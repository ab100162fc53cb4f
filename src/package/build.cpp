#include "package/build.h"

#include <filesystem>

#include "lang/errors.h"
#include "lang/process.h"
#include "package/exe_mod.h"
#include "package/icons.h"
#include "package/radazar.h"
#include "platform/platform.h"
#include "system/process_launcher.h"
#include "util/base64.h"
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/i18n.h"

namespace talvex {

namespace fs = std::filesystem;

namespace {

void show(const Text& text, platform::BoxIcon icon) {
  platform::get().boxes->message_box(text, process().app_title, platform::BoxButtons::kOk, icon);
}

Text today() {
  platform::LocalTime t = platform::get().clock->now();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.year, t.month, t.day);
  return from_utf8(buf);
}

bool all_exist(const Text& dir, std::initializer_list<const char16_t*> names) {
  for (const char16_t* n : names) {
    if (!file_exists(dir + u"/" + n)) return false;
  }
  return true;
}

// The words of the text-capture commands, found anywhere in the upper-cased
// script, comments included.
bool uses_text_capture(const Text& upper_script) {
  for (const char16_t* w : {u"GTI>", u"GTA>", u"GWE>", u"WST>", u"GETTEXTINRECT>",
                            u"GETTEXTATPOINT>", u"GETWINDOWTEXTEX>", u"WAITSCREENTEXT>"}) {
    if (upper_script.find(w) != Text::npos) return true;
  }
  return false;
}

// Encrypts the source into a temporary file and appends it as script1. A
// source that is not UTF-16LE with a byte-order mark is converted to it
// first, as the run side reads nothing else.
void append_script(ExeMod& exe, const Text& source) {
  std::optional<std::string> bytes = read_file_bytes(source);
  if (!bytes) file_failure("Cannot open file", source);
  Text plain_path = source;
  Text converted;
  if (bytes->size() < 2 || bytes->compare(0, 2, "\xFF\xFE") != 0) {
    converted = temporary_file_name();
    std::string utf16 = "\xFF\xFE" + encode_utf16le(decode_text_file(*bytes));
    if (!write_file_bytes(converted, utf16)) {
      file_failure("Cannot create file", converted);
    }
    plain_path = converted;
  }
  TRADazar cipher;
  cipher.Key = runtime_key();
  cipher.EncryptionLevel = TEncryptionLevel::elStrong96bit;
  Text encrypted = temporary_file_name();
  cipher.EncryptFile(plain_path, encrypted);
  exe.append_file_as_section(u"script1", encrypted);
  std::error_code ec;
  fs::remove(path_bytes(encrypted), ec);
  if (!converted.empty()) fs::remove(path_bytes(converted), ec);
}

// Replaces the icon images of the output with those of an icon file.
void replace_icons(const Text& icon_path, const Text& output) {
  std::optional<std::string> file = read_file_bytes(icon_path);
  if (!file) return;
  std::optional<IconSlots> slots = assign_icon_slots(*file);
  if (!slots) return;
  if (!slots->default_image) {
    show(tr("No 16x16 icon found in") + u" " + icon_path, platform::BoxIcon::kNone);
    return;
  }
  auto bytes_of = [&](const IconImage& image) {
    return image.offset < file->size() ? file->substr(image.offset, image.size) : std::string();
  };
  std::vector<std::pair<int, std::string>> images;
  for (int id = 1; id <= 10; ++id) images.emplace_back(id, bytes_of(*slots->default_image));
  for (int id = 1; id <= 10; ++id) {
    if (slots->slots[id - 1]) images.emplace_back(id, bytes_of(*slots->slots[id - 1]));
  }
  // Executables here carry no icon resources: when the update cannot begin
  // the icons stay as they are, without a message.
  platform::get().system->replace_icon_images(output, images);
}

}  // namespace

std::string encode_options(TextView options) {
  std::string bytes = ansi_encode(options);
  for (char& c : bytes) c = static_cast<char>(~c);
  return base64_encode(bytes);
}

std::optional<Text> decode_options(const std::string& payload) {
  std::optional<std::string> bytes = base64_decode(payload);
  if (!bytes) return std::nullopt;
  for (char& c : *bytes) c = static_cast<char>(~c);
  return ansi_decode(*bytes);
}

int run_build(const std::vector<Text>& args) {
  const Text& line = process().command_line;
  const bool quiet = line.find(u"-QUIET") != Text::npos;
  const bool del = line.find(u"-DEL") != Text::npos;
  const Text source = args.size() > 2 ? args[2] : Text();
  const Text output = args.size() > 3 ? args[3] : Text();
  // A relative source is read, and deleted, in the directory current at start.
  std::error_code ec;
  const Text source_abs =
      source.empty() ? Text() : ansi_decode(fs::absolute(path_bytes(source), ec).native());

  if (source.empty() || !file_exists(source_abs)) {
    if (!quiet)
      show(tr("Error:") + u" " + source + u" " + tr("does not exist."), platform::BoxIcon::kError);
    return 1;
  }

  ExeMod& exe = exe_mod();
  exe.load_image(process().exe_path);
  append_script(exe, source_abs);

  std::optional<std::string> source_bytes = read_file_bytes(source_abs);
  Text script = upper(decode_text_file(source_bytes.value_or(std::string())));
  const Text& sys = process().sys_dir;
  const Text& dir = process().exe_dir;
  if (script.find(u"VBSTART") != Text::npos) {
    if (all_exist(sys, {u"vbscript.dll", u"msscript.ocx", u"scrrun.dll"})) {
      exe.append_file_as_section(u"vb1", sys + u"/vbscript.dll");
      exe.append_file_as_section(u"vb2", sys + u"/msscript.ocx");
      exe.append_file_as_section(u"vb3", sys + u"/scrrun.dll");
    } else if (!quiet) {
      show(tr("Cannot compile - cannot locate VBScript Runtimes"), platform::BoxIcon::kError);
    }
  }
  if (uses_text_capture(script)) {
    if (all_exist(dir, {u"GetWordNT.dll", u"ICall.dll"})) {
      exe.append_file_as_section(u"gw2", dir + u"/GetWordNT.dll");
      exe.append_file_as_section(u"gw5", dir + u"/ICall.dll");
    } else if (!quiet) {
      show(tr("Cannot compile - cannot locate GetWord Runtimes"), platform::BoxIcon::kError);
    }
  }

  Text icon;
  if (size_t opts = line.find(u"-OPTS:"); opts != Text::npos) {
    Text options = line.substr(opts + 6);
    if (size_t at = options.find(u"-ICON:"); at != Text::npos) {
      icon = options.substr(at + 6);
      options.resize(at);
    }
    exe.append_section(u"commandline", encode_options(options));
  }
  exe.append_section(u"cdt", path_bytes(today()));
  exe.write_image(output);

  if (!icon.empty()) {
    exe.load_image(output);
    std::string script1 = exe.read_section(u"script1");
    std::string options = exe.read_section(u"commandline");
    bool vb = !exe.read_section(u"vb1").empty() && !exe.read_section(u"vb2").empty() &&
              !exe.read_section(u"vb3").empty();
    bool gw = !exe.read_section(u"gw2").empty() && !exe.read_section(u"gw5").empty();
    replace_icons(icon, output);
    exe.load_image(output);
    exe.append_section(u"script1", script1);
    exe.append_section(u"commandline", options);
    exe.append_section(u"cdt", path_bytes(today()));
    if (vb) {
      exe.append_file_as_section(u"vb1", sys + u"/vbscript.dll");
      exe.append_file_as_section(u"vb2", sys + u"/msscript.ocx");
      exe.append_file_as_section(u"vb3", sys + u"/scrrun.dll");
    }
    if (gw) {
      exe.append_file_as_section(u"gw2", dir + u"/GetWordNT.dll");
      exe.append_file_as_section(u"gw5", dir + u"/ICall.dll");
    }
    exe.write_image(output);
  }
  fs::permissions(path_bytes(output),
                  fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, ec);

  if (file_exists(dir + u"/upx"))
    launch(u"\"" + dir + u"/upx\" -9 -qqq --force \"" + output + u"\"", true, true);
  if (del) fs::remove(path_bytes(source_abs), ec);
  if (!quiet) show(tr("Created:") + u" " + output, platform::BoxIcon::kInformation);
  return 0;
}

}  // namespace talvex
