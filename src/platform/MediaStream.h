#pragma once
// A media file played as a stream: its sound goes to a streaming voice of an audio device,
// its pictures are handed out as the newest frame due at the stream's clock.
//
// The clock is the position of the sound while there is sound to play, otherwise the time the
// stream has been running by the audio device's own time line. On an output device the
// stream keeps its voice fed from a thread of its own; on a loopback or silent device every
// call does that work first, so that a stream moves only with its device's time (exact,
// repeatable tests and headless runs).
//
// When a running stream has played everything, its end-of-stream event is set; Run, Stop and
// Seek reset it. All operations may be called from any thread.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/AudioStreamVoice.h"
#include "platform/Event.h"
#include "platform/MediaDecoder.h"
#include "platform/VideoFrame.h"

namespace quarn::platform {

class AudioDevice;

class MediaStream {
 public:
  enum class State { Stopped, Running };

  // device null: the stream has no sound and keeps time by the system clock. The device must
  // outlive the stream.
  explicit MediaStream(AudioDevice* device);
  ~MediaStream();
  MediaStream(const MediaStream&) = delete;
  MediaStream& operator=(const MediaStream&) = delete;

  // Which tracks the next Open plays (both on at construction).
  void EnableAudio(bool enable);
  void EnableVideo(bool enable);

  // Opens path (closing a file already open), stopped at the start. False (and *error says
  // why) when no track asked for can be played.
  bool Open(const std::string& path, std::string* error);
  void Close();
  bool IsOpen();

  bool Run();
  bool Stop();
  // Goes back to the start of the file; a running stream keeps running from there.
  bool Rewind();
  State GetState();
  Event& EndOfStreamEvent() { return endOfStream_; }
  // Waits while the end-of-stream event is set (until Run, Stop or Rewind answers it) or
  // for timeoutMs at most; true when no end is pending.
  bool WaitWhileEndPending(int timeoutMs);

  // Volume of the sound, hundredths of a decibel from kSilentVolume to kFullVolume.
  bool SetVolume(int32_t volume);
  int32_t GetVolume();

  bool HasAudio();
  bool HasVideo();
  int Width();
  int Height();
  // The stream's clock, in seconds from the start of the file.
  double Position();
  // Copies the newest frame due at the clock into *frame. False while the stream is stopped
  // and before its first frame is due.
  bool FetchFrame(VideoFrame* frame);

  // Catches up with the device's time: feeds the voice, notices the end. Streams on an output
  // device do this on their own thread.
  void Update();

 private:
  // Everything below runs with mutex_ held.
  void UpdateLocked();
  void FeedAudio();
  double ClockLocked();
  double DeviceNow();
  void ResetPlayback();
  void AnswerEnd();
  void StartFeeder();
  void StopFeeder();

  AudioDevice* device_;
  bool audioEnabled_ = true;
  bool videoEnabled_ = true;
  std::mutex mutex_;
  std::condition_variable changed_;
  MediaDecoder decoder_;
  bool open_ = false;
  State state_ = State::Stopped;
  std::unique_ptr<AudioStreamVoice> voice_;
  int32_t volume_ = 0;
  std::vector<uint8_t> chunk_;
  bool audioDecoded_ = false;   // the decoder has given all of the sound
  bool audioFinished_ = false;  // and the voice has played it
  double clockBase_ = 0.0;      // the clock when it last stopped following the sound or time
  double timeBase_ = 0.0;       // device time at that moment
  VideoFrame current_;
  VideoFrame next_;
  bool haveCurrent_ = false;
  bool haveNext_ = false;
  bool videoDecoded_ = false;
  Event endOfStream_;
  bool endSignalled_ = false;
  std::thread feeder_;
  bool stopFeeder_ = false;
};

}  // namespace quarn::platform
