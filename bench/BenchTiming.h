#pragma once
// Timing helpers: the thread's processor time, and a timer of two pieces of work in the same
// run, so that a benchmark can report its work as a ratio to a baseline (a plain copy, a plain
// split) measured on the same machine, same moment.
#include <time.h>

#include <chrono>

namespace quarn::bench {

// Processor time of the calling thread: the machine is shared, so wall time counts other
// programs too.
inline double ThreadCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

class SplitTimer {
 public:
  template <class F>
  void TimeWork(F&& work) {
    work_ += Time(work);
  }
  template <class F>
  void TimeBaseline(F&& baseline) {
    baseline_ += Time(baseline);
  }
  double WorkSeconds() const { return work_; }
  double BaselineSeconds() const { return baseline_; }
  double Ratio() const { return baseline_ > 0 ? work_ / baseline_ : 0; }

 private:
  template <class F>
  static double Time(F& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  double work_ = 0;
  double baseline_ = 0;
};

}  // namespace quarn::bench
