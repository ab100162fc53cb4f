// The shared field rules every handler uses to split its parameter text:
// fields are separated by commas, the last field takes the rest (commas
// included), there is no quoting, and input fields are substituted after
// they have been split off.
#pragma once

#include "util/text.h"

namespace talvex {

class Run;

class Fields {
 public:
  Fields(Run& run, TextView params) : run_(run), rest_(params) {}

  // The next field as written: the text before the first comma of the rest,
  // which keeps the text after it. Without a comma the field is empty and
  // the rest stays whole.
  TextView raw();
  // The next field, substituted (repeated substitution on).
  Text input();
  // The remaining text as written; it is the last field.
  TextView rest_raw() const { return rest_; }
  // The remaining text, substituted.
  Text rest_input();
  // The next field as the name of a result variable: never substituted.
  TextView variable() { return raw(); }

 private:
  Run& run_;
  TextView rest_;
};

}  // namespace talvex
