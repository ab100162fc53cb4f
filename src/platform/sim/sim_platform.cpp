#include "platform/sim/sim_platform.h"

namespace talvex::platform {

void SimPlatform::install_now() {
  Platform posix = posix_platform();
  install(Platform{this, this, this, this, this, this, posix.processes, posix.shell,
                   posix.libraries, this});
}

bool SimPlatform::set_text(const Text& text) {
  if (clipboard_busy_) return false;
  clipboard_ = text;
  return true;
}

WindowHandle SimPlatform::add_window(Window w) {
  if (w.handle == 0) w.handle = next_handle_++;
  windows_[w.handle] = w;
  order_.push_back(w.handle);
  return w.handle;
}

WindowHandle SimPlatform::find_top_level(const Text& title) {
  for (WindowHandle h : order_) {
    const Window& w = windows_[h];
    if (w.parent == 0 && equals_ci(w.text, title)) return h;
  }
  return 0;
}

std::vector<WindowHandle> SimPlatform::top_level_windows() {
  std::vector<WindowHandle> r;
  for (WindowHandle h : order_) {
    if (windows_[h].parent == 0) r.push_back(h);
  }
  return r;
}

std::vector<WindowHandle> SimPlatform::descendants(WindowHandle w) {
  std::vector<WindowHandle> r;
  for (WindowHandle h : order_) {
    if (windows_[h].parent != w) continue;
    r.push_back(h);
    for (WindowHandle d : descendants(h)) r.push_back(d);
  }
  return r;
}

Text SimPlatform::window_text(WindowHandle w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? Text() : it->second.text;
}

Text SimPlatform::class_name(WindowHandle w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? Text() : it->second.class_name;
}

WindowHandle SimPlatform::parent(WindowHandle w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? 0 : it->second.parent;
}

bool SimPlatform::is_visible(WindowHandle w) {
  auto it = windows_.find(w);
  return it != windows_.end() && it->second.visible;
}

uint32_t SimPlatform::window_process_id(WindowHandle w) {
  auto it = windows_.find(w);
  return it == windows_.end() ? 0 : it->second.process_id;
}

void SimPlatform::process_pending() {
  ++pending_calls_;
  if (on_pending_) on_pending_(*this);
}

BoxAnswer SimPlatform::message_box(const Text& text, const Text&, BoxButtons buttons,
                                   BoxIcon icon) {
  boxes_.push_back({text, buttons, icon});
  if (!answers_.empty()) {
    BoxAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return buttons == BoxButtons::kAbortIgnore ? BoxAnswer::kIgnore : BoxAnswer::kOk;
}

std::optional<Text> SimPlatform::get_env(const Text& name) {
  auto it = env_.find(name);
  if (it == env_.end()) return std::nullopt;
  return it->second;
}

bool SimPlatform::set_env(const Text& name, const Text& value) {
  env_[name] = value;
  return true;
}

}  // namespace talvex::platform
