// Message translation. Every fixed text the runtime shows passes through the
// catalogue of the gettext text domain "default", piece by piece before the
// pieces are joined. Catalogues live in a "locale" directory beside the
// runtime: locale/<language>/LC_MESSAGES/default.mo. Without a catalogue the
// texts are shown as written.
#pragma once

#include <string>

#include "util/text.h"

namespace talvex {

// Binds the text domain to `<runtime_dir>/locale` and takes the message
// language from the environment. Called once at start-up.
void init_translation(const std::string& runtime_dir);

// The translation of one fixed text (UTF-8 in the source), as UTF-16.
Text tr(const char* msgid);

}  // namespace talvex
