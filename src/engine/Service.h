#pragma once
// Engine services keep a process-wide pointer to themselves while they exist, so that other
// code can reach "the" archive or "the" graphics device. Each class can still be made alone
// in a test; the pointer then names the most recently constructed instance.

namespace quarn {

template <class T>
class Service {
 public:
  static T* Instance() { return static_cast<T*>(instance_); }

 protected:
  // The pointer is kept as the base: the derived object does not exist yet while this
  // constructor runs, nor any more while the destructor does.
  Service() { instance_ = this; }
  ~Service() {
    if (instance_ == this)
      instance_ = nullptr;
  }
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

 private:
  static inline Service* instance_ = nullptr;
};

}  // namespace quarn
