#include "lang/fields.h"

#include "lang/run.h"

namespace talvex {

TextView Fields::raw() {
  size_t comma = rest_.find(u',');
  if (comma == TextView::npos) return TextView();
  TextView field = rest_.substr(0, comma);
  rest_ = rest_.substr(comma + 1);
  return field;
}

Text Fields::input() {
  return run_.store.substitute(raw(), true);
}

Text Fields::rest_input() {
  return run_.store.substitute(rest_, true);
}

}  // namespace talvex
