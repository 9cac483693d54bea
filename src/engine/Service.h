#pragma once
// Engine services keep a process-wide pointer to themselves while they exist, so that other
// code can reach "the" archive or "the" graphics device. Each class can still be made alone
// in a test; the pointer then names the most recently constructed instance.

namespace quarn {

template <class T>
class Service {
 public:
  static T* Instance() { return instance_; }

 protected:
  Service() { instance_ = static_cast<T*>(this); }
  ~Service() {
    if (instance_ == static_cast<T*>(this)) instance_ = nullptr;
  }
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

 private:
  static inline T* instance_ = nullptr;
};

}  // namespace quarn
