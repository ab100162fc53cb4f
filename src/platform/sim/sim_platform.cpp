#include "platform/sim/sim_platform.h"

namespace talvex::platform {

void SimPlatform::install_now() { install(Platform{this, this, this, this}); }

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
