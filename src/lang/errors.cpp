#include "lang/errors.h"

#include <cmath>

#include "lang/process.h"
#include "lang/run.h"
#include "util/i18n.h"

namespace talvex {

void file_failure(const char* what, TextView path) {
  throw RuntimeFailure(tr(what) + u" \"" + Text(path) + u"\"");
}

Text line_message(int line, const Text& message) {
  return tr("Line") + u": " + int_to_text(line) + u" " + message;
}

void report_error(Run& run, const Text& message, platform::BoxIcon icon) {
  Text text = line_message(run.store.line_number(), message);
  if (run.store.substitute(u"%IGNOREERRORS%", true) == u"1") return;
  auto answer = platform::get().boxes->message_box(text, u"", platform::BoxButtons::kOkAbort, icon);
  if (answer == platform::BoxAnswer::kAbort) request_stop();
}

void float_fault(const char* message) {
  throw RuntimeFailure(tr(message));
}

double checked_float(double v) {
  if (std::isnan(v)) float_fault("Invalid floating point operation");
  if (std::isinf(v)) float_fault("Floating point overflow");
  return v;
}

void show_failure(const Text& message) {
  platform::get().boxes->message_box(message, u"", platform::BoxButtons::kOk,
                                     platform::BoxIcon::kError);
}

}  // namespace talvex
