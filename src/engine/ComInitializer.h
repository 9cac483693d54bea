#pragma once
// Start-up of the component runtime of the calling thread; here it starts the media library
// that music and movies are decoded with.
#include "engine/Service.h"

namespace quarn {

class ComInitializer : public Service<ComInitializer> {
 public:
  ComInitializer() = default;
  virtual ~ComInitializer() = default;
  // True only for the first initialisation on this thread; a second one is undone and fails,
  // as the runtime it stands for reports "already initialised".
  virtual bool Create();
  virtual void Release();

 private:
  bool created_ = false;
};

}  // namespace quarn
