#pragma once
// Music: a media stream whose sound goes to the sound device, with a volume from 1 (full)
// down to 0, mapped onto hundredths of a decibel as gain x 5000 - 5000 (so 0 is -50 dB).
#include "engine/MediaStream.h"

namespace quarn {

class AudioStream : public MediaStream {
 public:
  AudioStream();
  ~AudioStream() override;

  // False without a sound device.
  bool Create() override;
  // False for a file without a sound track (a movie: without pictures either).
  bool Open(const std::string& path) override;
  void Close() override;
  virtual bool SetVolume(float gain);
  virtual bool GetVolume(float* gain);

 private:
  bool volumeControl_ = false;
};

}  // namespace quarn
