// Finding windows by title: the exact query, the trailing-"*" wildcard and
// the window-type filter of WF_TYPE.
#pragma once

#include <optional>

#include "platform/platform.h"
#include "util/text.h"

namespace talvex {

// Whether a window with title `title` exists under filter `wf_type`; when it
// does, the matched title (the exact text of the window found).
std::optional<Text> LookupWindowTitle(const Text& title, int wf_type);

// The handle of the first candidate whose text equals `exact` (case
// sensitive) under filter `wf_type`, or 0.
platform::WindowHandle ResolveWindowHandle(const Text& exact, int wf_type);

}  // namespace talvex
