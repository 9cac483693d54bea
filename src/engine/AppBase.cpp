#include "engine/AppBase.h"

namespace quarn {

AppBase::AppBase() {
  BindToCallingThread();
  instance_ = this;
}

AppBase::~AppBase() {
  if (instance_ == this)
    instance_ = nullptr;
}

int AppBase::Execute(const LaunchOptions& options) {
  options_ = options;
  int result = 0;
  if (InitInstance()) {
    Runnable* runnable = this;
    result = runnable->Run(this);
  }
  ExitInstance();
  return result;
}

}  // namespace quarn
