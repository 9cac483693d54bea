#pragma once
// A movie: an audio stream that also decodes pictures, drawn one per rendered frame into the
// top-left corner of the back buffer at their own size.
#include "engine/AudioStream.h"
#include "platform/VideoFrame.h"

namespace quarn::platform {
class RenderDevice;
}

namespace quarn {

class MoviePlayer : public AudioStream {
 public:
  MoviePlayer();
  ~MoviePlayer() override;

  bool Create() override;
  // False for a file without a video track that can be decoded.
  bool Open(const std::string& path) override;
  void Close() override;
  // Copies the newest picture due into the back buffer, unscaled, at the top-left corner.
  // False, drawing nothing, while the movie is not running or no picture is due yet.
  virtual bool DrawFrame();

  // The device drawn into; null (the default): the graphics device service's.
  void SetRenderDevice(platform::RenderDevice* device) { device_ = device; }

 private:
  platform::RenderDevice* device_ = nullptr;
  platform::VideoFrame frame_;  // reused for every picture
  bool videoReady_ = false;
};

}  // namespace quarn
