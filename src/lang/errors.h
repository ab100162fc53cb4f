// The error-report convention and the failures that abandon a run.
#pragma once

#include <stdexcept>

#include "platform/platform.h"
#include "util/text.h"

namespace talvex {

class Run;

// A failure no handler catches (a file that exists but cannot be read): the
// run is abandoned where it stands, without its end steps, and the process
// shows the message and ends with exit code 1.
class RuntimeFailure : public std::runtime_error {
 public:
  explicit RuntimeFailure(Text message)
      : std::runtime_error("runtime failure"), message_(std::move(message)) {}
  const Text& message() const { return message_; }

 private:
  Text message_;
};

// The failure of a file operation: the translated text, a blank and the
// path in double quotes ("Cannot open file" "/tmp/x").
[[noreturn]] void file_failure(const char* what, TextView path);

// A message as every report composes it: "Line" ": " number " " message.
Text line_message(int line, const Text& message);

// Floating-point faults: a result that is not a finite number ends the run
// as a failure no handler catches.
[[noreturn]] void float_fault(const char* message);
double checked_float(double v);

// Reports a script error: "Line" ": " line number " " message in a modal box
// with OK and Abort, unless %IGNOREERRORS% is "1". Abort requests a stop.
// `message` is already translated.
void report_error(Run& run, const Text& message,
                  platform::BoxIcon icon = platform::BoxIcon::kInformation);

// Shows the message of a failure that ends the process (OK only).
void show_failure(const Text& message);

}  // namespace talvex
