#pragma once
// The audio device: sample buffers, voices that play them, and voices fed with a queue of
// blocks for streamed sound. Volumes are hundredths of a decibel (AudioFormat.h).
//
// Three kinds:
// - Output: the sound card through OpenAL Soft; plays by itself in real time.
// - Loopback: OpenAL Soft mixing into memory when Render is called (tests: the mix is exact
//   and repeatable).
// - Silent: outputs nothing but behaves like an output device: voices have a status and
//   positions that advance with its clock. Used when no sound card opens and in headless runs.
//
// Buffers and voices belong to whoever created them and must be gone before the device.
// Every operation may be called from any thread.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/AudioBuffer.h"
#include "platform/AudioFormat.h"
#include "platform/AudioStreamVoice.h"
#include "platform/AudioVoice.h"

namespace quarn::platform {

class Clock;

class AudioDevice {
 public:
  enum class Kind { Output, Loopback, Silent };

  virtual ~AudioDevice() = default;

  virtual Kind GetKind() const = 0;
  // True for a device that plays by itself in real time: whoever streams into it must keep
  // its queues filled from a thread of their own. Loopback and silent devices move only when
  // rendered or when their clock moves, so they are fed whenever someone asks.
  bool PlaysInRealTime() const { return GetKind() == Kind::Output; }
  // Seconds on the device's own time line (only differences mean anything): real time for an
  // output device, frames rendered for a loopback device, the clock of a silent one.
  virtual double Now() = 0;

  // A buffer with a copy of frames of data in format; null when the format is unusable.
  virtual std::unique_ptr<AudioBuffer> CreateBuffer(const AudioFormat& format, const void* data,
                                                    uint32_t frames) = 0;
  // A voice on a buffer made by this device, stopped at the start, full volume, the buffer's
  // own frequency. Null for a buffer of another device or when no voice can be made.
  virtual std::unique_ptr<AudioVoice> CreateVoice(const AudioBuffer& buffer) = 0;
  virtual std::unique_ptr<AudioStreamVoice> CreateStreamVoice(const AudioFormat& format) = 0;

  // Loopback only: mixes the next frames into out, interleaved floats with OutputChannels()
  // per frame. False on other kinds.
  virtual bool Render(float* out, uint32_t frames);
  virtual int OutputChannels() const = 0;
  virtual int OutputRate() const = 0;

  // The default sound card; null (and *error says why) when none opens.
  static std::unique_ptr<AudioDevice> OpenOutput(std::string* error);
  // A loopback device mixing channels (1 or 2) at rate frames per second.
  static std::unique_ptr<AudioDevice> OpenLoopback(int rate, int channels, std::string* error);
  // A silent device timed by clock (null: the system clock); the clock must outlive it.
  static std::unique_ptr<AudioDevice> OpenSilent(Clock* clock);
};

}  // namespace quarn::platform
