#include "engine/MoviePlayer.h"

#include "engine/GraphicsDevice.h"
#include "platform/Diagnostics.h"
#include "platform/RenderDevice.h"

namespace quarn {

MoviePlayer::MoviePlayer() = default;

MoviePlayer::~MoviePlayer() {
  MoviePlayer::Close();
}

bool MoviePlayer::Create() {
  if (!AudioStream::Create())
    return false;
  Stream()->EnableVideo(true);
  return true;
}

bool MoviePlayer::Open(const std::string& path) {
  if (!AudioStream::Open(path))
    return false;
  if (!Stream()->HasVideo()) {
    platform::ReportProblem(path, "has no video track that can be decoded");
    Close();
    return false;
  }
  videoReady_ = true;
  return true;
}

void MoviePlayer::Close() {
  videoReady_ = false;
  AudioStream::Close();
}

bool MoviePlayer::DrawFrame() {
  if (!videoReady_ || Stream() == nullptr)
    return false;
  SettleEnd();
  if (!Stream()->FetchFrame(&frame_))
    return false;
  platform::RenderDevice* device = device_;
  if (device == nullptr && GraphicsDevice::Instance() != nullptr) {
    device = GraphicsDevice::Instance()->GetDevice();
  }
  if (device == nullptr)
    return false;
  return device->WriteBackBuffer(0, 0, frame_.width, frame_.height, frame_.pixels.data(),
                                 frame_.width);
}

}  // namespace quarn
