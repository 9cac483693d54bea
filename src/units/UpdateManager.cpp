#include "units/UpdateManager.h"

#include <algorithm>

#include "units/Updatable.h"

namespace quarn {

bool UpdateManager::Register(Updatable* object, unsigned priority) {
  if (object == nullptr)
    return false;
  for (const Entry& entry : entries_) {
    if (entry.object == object && entry.priority == priority)
      return false;
  }
  auto at = std::upper_bound(entries_.begin(), entries_.end(), priority,
                             [](unsigned p, const Entry& entry) { return p < entry.priority; });
  entries_.insert(at, Entry{priority, object});
  return true;
}

bool UpdateManager::Unregister(const Updatable* object) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [object](const Entry& entry) { return entry.object == object; });
  if (it == entries_.end())
    return false;
  entries_.erase(it);
  return true;
}

bool UpdateManager::Contains(const Updatable* object) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [object](const Entry& entry) { return entry.object == object; });
}

void UpdateManager::UpdateAll() {
  // A pass started from inside a pass (a hook that updates the stage) gets a copy of its own.
  std::vector<Updatable*> local;
  std::vector<Updatable*>& pass = passing_ ? local : pass_;
  pass.clear();
  for (const Entry& entry : entries_)
    pass.push_back(entry.object);
  const bool outer = !passing_;
  passing_ = true;
  for (Updatable* object : pass)
    object->Update();
  if (outer)
    passing_ = false;
  for (Updatable* hook : {cameraHook_, groundHook_, hudHook_}) {
    if (hook != nullptr)
      hook->Update();
  }
}

}  // namespace quarn
