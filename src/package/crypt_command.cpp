// Crypt>key,text,result: the cipher as a script command.
#include "lang/commands.h"
#include "lang/fields.h"
#include "lang/run.h"
#include "package/radazar.h"
#include "util/codepage.h"

namespace talvex {

namespace {

void cmd_crypt(Run& run, TextView params) {
  Fields f(run, params);
  TRADazar cipher;
  cipher.Key = f.input();
  Text text = f.input();
  Text level = run.store.substitute(u"%CRYPT_LEVEL%", true);
  cipher.EncryptionLevel = level == u"2"   ? TEncryptionLevel::elMedium64bit
                           : level == u"3" ? TEncryptionLevel::elStrong96bit
                                           : TEncryptionLevel::elWeak32bit;
  std::string bytes = ansi_encode(text);
  cipher.TransformString(bytes);
  run.store.set(f.rest_raw(), ansi_decode(bytes));
}

constexpr CommandEntry kCommands[] = {
    {u"CRY"_code, cmd_crypt, Params::kRaw},
};

}  // namespace

std::span<const CommandEntry> package_commands() {
  return kCommands;
}

}  // namespace talvex
