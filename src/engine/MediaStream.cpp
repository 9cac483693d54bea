#include "engine/MediaStream.h"

#include <array>

#include "engine/SoundDevice.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
// The worker answers an end at once; this only bounds the wait should it be held up.
constexpr int kEndAnswerWaitMs = 2000;
}  // namespace

MediaStream::MediaStream() = default;

MediaStream::~MediaStream() {
  MediaStream::Close();
}

bool MediaStream::Create() {
  Close();
  SoundDevice* sound = SoundDevice::Instance();
  stream_ =
      std::make_unique<platform::MediaStream>(sound != nullptr ? sound->GetAudioDevice() : nullptr);
  stream_->EnableAudio(false);
  stream_->EnableVideo(false);
  return true;
}

bool MediaStream::Open(const std::string& path) {
  if (stream_ == nullptr && !Create()) {
    Close();
    return false;
  }
  // A file already open is replaced by the new one on the same stream and worker.
  std::string error;
  if (!stream_->Open(path, &error)) {
    platform::ReportProblem(path, error);
    Close();
    return false;
  }
  if (!thread_.IsRunning()) {
    workerRunning_.Reset();
    if (!thread_.Start(&worker_)) {
      platform::ReportProblem(path, "cannot start the stream's thread");
      Close();
      return false;
    }
    workerRunning_.Wait(kEndAnswerWaitMs);
  }
  return true;
}

void MediaStream::Close() {
  int exitCode = 0;
  thread_.Stop(kInfinite, &exitCode);
  stream_.reset();
}

bool MediaStream::Play(bool loop) {
  if (stream_ == nullptr || !stream_->Run())
    return false;
  loop_ = loop ? 1 : 0;
  return true;
}

bool MediaStream::Stop() {
  return stream_ != nullptr && stream_->Stop();
}

bool MediaStream::Rewind() {
  if (stream_ == nullptr || !stream_->Stop() || !stream_->Rewind())
    return false;
  loop_ = 0;
  return true;
}

int MediaStream::RunWorker(Thread* thread) {
  WorkerStarted();
  const std::array<platform::Event*, 2> events = {thread->GetStopEvent(),
                                                  &stream_->EndOfStreamEvent()};
  for (;;) {
    const int which = platform::Event::WaitAny(events);
    if (which == 0)
      return 0;
    if (which != 1)
      continue;
    if (loop_ != 0) {
      stream_->Rewind();
    } else {
      stream_->Stop();
      loop_ = 0;
    }
  }
}

void MediaStream::SettleEnd() {
  if (stream_ == nullptr)
    return;
  stream_->Update();
  if (thread_.IsRunning())
    stream_->WaitWhileEndPending(kEndAnswerWaitMs);
}

bool MediaStream::IsRunning() {
  if (stream_ == nullptr)
    return false;
  SettleEnd();
  return stream_->GetState() == platform::MediaStream::State::Running;
}

}  // namespace quarn
