#pragma once
// Reads a media file with FFmpeg: its first audio track as 16-bit PCM (mono stays mono, more
// channels are mixed down to stereo) and its first video track as 0xAARRGGBB frames at their
// native size. Not thread-safe: its owner serialises every call.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/AudioFormat.h"
#include "platform/VideoFrame.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;
struct SwsContext;

namespace quarn::platform {

class MediaDecoder {
 public:
  MediaDecoder();
  ~MediaDecoder();
  MediaDecoder(const MediaDecoder&) = delete;
  MediaDecoder& operator=(const MediaDecoder&) = delete;

  // Opens path, with the tracks asked for. False (and *error says why) when the file cannot
  // be read or holds none of the tracks asked for.
  bool Open(const std::string& path, bool wantAudio, bool wantVideo, std::string* error);
  void Close();
  bool IsOpen() const { return format_ != nullptr; }

  bool HasAudio() const { return audio_ != nullptr; }
  bool HasVideo() const { return video_ != nullptr; }
  // The PCM that DecodeAudio gives.
  const AudioFormat& GetAudioFormat() const { return audioFormat_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Appends at least minFrames of audio to out (fewer at the end of the track) and adds their
  // number to *frames. False once the track has nothing more.
  bool DecodeAudio(uint32_t minFrames, std::vector<uint8_t>* out, uint32_t* frames);
  // The next video frame into *frame (its buffer is reused). False at the end of the track.
  bool DecodeVideo(VideoFrame* frame);
  // Reads ahead until the container's video is known up to time seconds (or the end), so that
  // VideoEnd can be relied on without decoding pictures.
  void ReadVideoUntil(double time);
  // When the last video frame read so far ends (seconds).
  double VideoEnd() const { return videoEnd_; }
  // True once every packet of the file has been read.
  bool ReadAll() const { return endOfFile_; }
  // Back to the start of the file. False if neither seeking nor reopening works.
  bool Rewind();

 private:
  bool OpenDecoder(int index, AVCodecContext** context);
  // Reads one packet into the queue of its track. False at the end of the file.
  bool ReadPacket();
  // One decoded frame of a track into frame_; false when the track is over.
  bool NextFrame(AVCodecContext* context, std::deque<AVPacket*>& queue, bool* flushed);
  double Seconds(int64_t timestamp, int streamIndex) const;
  void ClearQueues();

  std::string path_;
  bool wantAudio_ = false;
  bool wantVideo_ = false;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* audio_ = nullptr;
  AVCodecContext* video_ = nullptr;
  int audioIndex_ = -1;
  int videoIndex_ = -1;
  AVFrame* frame_ = nullptr;
  SwrContext* resampler_ = nullptr;
  SwsContext* scaler_ = nullptr;
  AudioFormat audioFormat_;
  int width_ = 0;
  int height_ = 0;
  std::deque<AVPacket*> audioPackets_;
  std::deque<AVPacket*> videoPackets_;
  bool endOfFile_ = false;
  bool audioFlushed_ = false;
  bool videoFlushed_ = false;
  double videoEnd_ = 0.0;
  uint64_t videoFrames_ = 0;
};

}  // namespace quarn::platform
