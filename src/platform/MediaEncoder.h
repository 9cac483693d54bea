#pragma once
// Writes media files from generated samples and pictures (tests and the demo content):
// Ogg with Vorbis sound and Theora pictures, AVI with PCM sound and Motion JPEG pictures, or
// a WAVE file of 16-bit PCM.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DeviceTypes.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVAudioFifo;
struct SwrContext;
struct SwsContext;

namespace quarn::platform {

class MediaEncoder {
 public:
  enum class Container { Ogg, Avi, Wav };

  struct AudioTrack {
    int rate = 0;  // 0: no sound
    int channels = 2;
  };
  struct VideoTrack {
    int width = 0;  // 0: no pictures
    int height = 0;
    int framesPerSecond = 15;
  };

  MediaEncoder();
  ~MediaEncoder();
  MediaEncoder(const MediaEncoder&) = delete;
  MediaEncoder& operator=(const MediaEncoder&) = delete;

  // Starts the file at path. False (and *error says why) when it cannot be written.
  bool Open(const std::string& path, Container container, const AudioTrack& audio,
            const VideoTrack& video, std::string* error);
  // Adds frames of interleaved 16-bit samples, channels per frame.
  bool WriteAudio(const int16_t* samples, uint32_t frames);
  // Adds one picture of 0xAARRGGBB pixels, rows top to bottom, pitch in pixels.
  bool WriteVideo(const Argb* pixels, int pitch);
  // Flushes the encoders and completes the file. False if anything failed on the way.
  bool Finish();

 private:
  struct Track {
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    int64_t next = 0;  // timestamp of the next frame, in the codec's time base
  };

  bool AddTrack(Track* track, const char* codecName, std::string* error);
  bool Encode(Track* track, AVFrame* frame);
  bool DrainAudio(bool flush);
  void Free();

  AVFormatContext* format_ = nullptr;
  Track audio_;
  Track video_;
  AVFrame* audioFrame_ = nullptr;
  AVFrame* videoFrame_ = nullptr;
  AVAudioFifo* fifo_ = nullptr;
  SwrContext* resampler_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int channels_ = 0;
  bool failed_ = false;
  bool headerWritten_ = false;
};

}  // namespace quarn::platform
