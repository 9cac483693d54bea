#pragma once
// The application as a thread object bound to the main thread.
#include "engine/LaunchOptions.h"
#include "engine/Thread.h"

namespace quarn {

class AppBase : public Thread {
 public:
  // Binds to the calling thread and becomes the process's application.
  AppBase();
  ~AppBase() override;

  virtual bool InitInstance() { return true; }
  virtual void ExitInstance() {}

  // Stores the launch options; InitInstance, then (if it succeeded) Run through the Runnable
  // interface; ExitInstance always. The result of Run, or 0.
  int Execute(const LaunchOptions& options);

  const LaunchOptions& Options() const { return options_; }
  static AppBase* Instance() { return instance_; }

 private:
  LaunchOptions options_;
  static inline AppBase* instance_ = nullptr;
};

}  // namespace quarn
