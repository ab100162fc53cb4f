#include "desktop/window_lookup.h"

namespace talvex {

namespace {

using platform::WindowHandle;

// Window texts and class names are read with a limit of 254 characters.
constexpr size_t kTextLimit = 254;

Text text_of(platform::Desktop& d, WindowHandle w) {
  Text t = d.window_text(w);
  if (t.size() > kTextLimit) t.resize(kTextLimit);
  return t;
}

Text class_of(platform::Desktop& d, WindowHandle w) {
  Text t = d.class_name(w);
  if (t.size() > kTextLimit) t.resize(kTextLimit);
  return t;
}

// A taskbar thumbnail is skipped with all its descendants.
bool is_thumbnail(platform::Desktop& d, WindowHandle w) {
  return class_of(d, w) == u"ThumbnailClass" && class_of(d, d.parent(w)) == u"Shell_TrayWnd";
}

bool top_level_passes(platform::Desktop& d, WindowHandle w, int wf) {
  if (wf <= 1) return true;
  if (wf == 2) return d.is_visible(w);
  return false;
}

bool descendant_passes(platform::Desktop& d, WindowHandle w, int wf) {
  if (wf <= 0) return false;
  if (wf == 1) return true;
  return d.is_visible(w);
}

}  // namespace

std::optional<Text> LookupWindowTitle(const Text& title, int wf) {
  auto& p = platform::get();
  platform::Desktop& d = *p.desktop;
  if (title.empty() || title.back() != u'*') {
    WindowHandle w = d.find_top_level(title);
    if (w != 0 && (wf < 2 || d.is_visible(w))) return title;
    return std::nullopt;
  }
  Text shortened = title.substr(0, title.size() - 1);
  if (WindowHandle w = d.find_top_level(shortened); w != 0) {
    if (wf < 2 || d.is_visible(w)) return shortened;
    return std::nullopt;
  }
  std::vector<Text> candidates;
  for (WindowHandle top : d.top_level_windows()) {
    if (is_thumbnail(d, top)) continue;
    if (top_level_passes(d, top, wf)) {
      if (Text t = text_of(d, top); !t.empty()) candidates.push_back(std::move(t));
    }
    if (wf <= 0) continue;
    for (WindowHandle child : d.descendants(top)) {
      if (!descendant_passes(d, child, wf)) continue;
      if (Text t = text_of(d, child); !t.empty()) candidates.push_back(std::move(t));
    }
  }
  Text wanted = upper(shortened);
  for (const Text& c : candidates) {
    if (upper(c).find(wanted) != Text::npos) return c;
    p.events->process_pending();
  }
  return std::nullopt;
}

WindowHandle ResolveWindowHandle(const Text& exact, int wf) {
  platform::Desktop& d = *platform::get().desktop;
  for (WindowHandle top : d.top_level_windows()) {
    if (is_thumbnail(d, top)) continue;
    if (top_level_passes(d, top, wf) && text_of(d, top) == exact && !exact.empty()) return top;
    if (wf <= 0) continue;
    for (WindowHandle child : d.descendants(top)) {
      if (descendant_passes(d, child, wf) && !exact.empty() && text_of(d, child) == exact) {
        return child;
      }
    }
  }
  return 0;
}

}  // namespace talvex
