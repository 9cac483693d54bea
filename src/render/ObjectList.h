#pragma once
// A list of objects that the list does not own: the render manager's drawables, the stage's
// registries, the collision manager's ground list. Entries are unique, kept in the order they
// were added, and removing one keeps the order of the rest.
#include <algorithm>
#include <vector>

namespace quarn {

template <class T>
class ObjectList {
 public:
  // Appends object; false for null or an object already listed.
  bool Add(T* object) {
    if (object == nullptr || Contains(object))
      return false;
    items_.push_back(object);
    return true;
  }
  // Erases the (only) occurrence; false when the object is not listed.
  bool Remove(const T* object) {
    auto it = std::find(items_.begin(), items_.end(), object);
    if (it == items_.end())
      return false;
    items_.erase(it);
    return true;
  }
  bool Contains(const T* object) const {
    return std::find(items_.begin(), items_.end(), object) != items_.end();
  }
  void Clear() { items_.clear(); }

  const std::vector<T*>& Items() const { return items_; }
  size_t Size() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  T* operator[](size_t i) const { return items_[i]; }

 private:
  std::vector<T*> items_;
};

}  // namespace quarn
