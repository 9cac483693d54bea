#pragma once

namespace quarn {

class Thread;

// The body a Thread runs; its result is the thread's exit code.
class Runnable {
 public:
  virtual ~Runnable() = default;
  virtual int Run(Thread* thread) = 0;
};

}  // namespace quarn
