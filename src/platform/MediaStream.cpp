#include "platform/MediaStream.h"

#include <chrono>

#include "platform/AudioDevice.h"

namespace quarn::platform {

namespace {
// Sound decoded ahead of the voice, and the size of each block handed to it.
constexpr double kLeadSeconds = 0.35;
constexpr double kBlockSeconds = 0.05;
// How often the feeder thread of a real-time stream looks at its voice.
constexpr auto kFeedPeriod = std::chrono::milliseconds(10);
// A frame due within this much of the clock is shown: clocks count whole samples.
constexpr double kFrameTolerance = 0.001;
}  // namespace

MediaStream::MediaStream(AudioDevice* device) : device_(device) {
  if (device_ != nullptr && device_->PlaysInRealTime())
    StartFeeder();
}

MediaStream::~MediaStream() {
  StopFeeder();
  Close();
}

void MediaStream::StartFeeder() {
  feeder_ = std::thread([this] {
    std::unique_lock lock(mutex_);
    while (!stopFeeder_) {
      UpdateLocked();
      changed_.wait_for(lock, kFeedPeriod, [this] { return stopFeeder_; });
    }
  });
}

void MediaStream::StopFeeder() {
  if (!feeder_.joinable())
    return;
  {
    std::lock_guard lock(mutex_);
    stopFeeder_ = true;
  }
  changed_.notify_all();
  feeder_.join();
}

void MediaStream::EnableAudio(bool enable) {
  std::lock_guard lock(mutex_);
  audioEnabled_ = enable;
}

void MediaStream::EnableVideo(bool enable) {
  std::lock_guard lock(mutex_);
  videoEnabled_ = enable;
}

double MediaStream::DeviceNow() {
  if (device_ != nullptr)
    return device_->Now();
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void MediaStream::ResetPlayback() {
  if (voice_ != nullptr)
    voice_->Reset();
  audioDecoded_ = false;
  audioFinished_ = false;
  clockBase_ = 0.0;
  timeBase_ = DeviceNow();
  haveCurrent_ = false;
  haveNext_ = false;
  videoDecoded_ = false;
}

void MediaStream::AnswerEnd() {
  endSignalled_ = false;
  endOfStream_.Reset();
  changed_.notify_all();
}

bool MediaStream::Open(const std::string& path, std::string* error) {
  std::lock_guard lock(mutex_);
  std::string ignored;
  if (error == nullptr)
    error = &ignored;
  decoder_.Close();
  voice_.reset();
  open_ = false;
  state_ = State::Stopped;
  AnswerEnd();
  const bool wantAudio = audioEnabled_ && device_ != nullptr;
  if (!decoder_.Open(path, wantAudio, videoEnabled_, error))
    return false;
  if (decoder_.HasAudio()) {
    voice_ = device_->CreateStreamVoice(decoder_.GetAudioFormat());
    if (voice_ == nullptr) {
      // No voice to play it on: the sound is left unread, the pictures still play.
      if (!videoEnabled_ || !decoder_.Open(path, false, true, error)) {
        if (error->empty())
          *error = "no voice is free to play the sound";
        decoder_.Close();
        return false;
      }
    } else {
      voice_->SetVolume(volume_);
    }
  }
  open_ = true;
  ResetPlayback();
  return true;
}

void MediaStream::Close() {
  std::lock_guard lock(mutex_);
  decoder_.Close();
  voice_.reset();
  open_ = false;
  state_ = State::Stopped;
  ResetPlayback();
  AnswerEnd();
}

bool MediaStream::IsOpen() {
  std::lock_guard lock(mutex_);
  return open_;
}

bool MediaStream::Run() {
  std::lock_guard lock(mutex_);
  if (!open_)
    return false;
  if (state_ != State::Running) {
    state_ = State::Running;
    timeBase_ = DeviceNow();
  }
  AnswerEnd();
  UpdateLocked();
  return true;
}

bool MediaStream::Stop() {
  std::lock_guard lock(mutex_);
  if (!open_)
    return false;
  if (state_ == State::Running) {
    clockBase_ = ClockLocked();
    timeBase_ = DeviceNow();
    if (voice_ != nullptr)
      voice_->Pause();
    state_ = State::Stopped;
  }
  AnswerEnd();
  return true;
}

bool MediaStream::Rewind() {
  std::lock_guard lock(mutex_);
  if (!open_)
    return false;
  if (!decoder_.Rewind()) {
    // Neither seeking nor reading the file again worked: nothing is left to play.
    voice_.reset();
    open_ = false;
    state_ = State::Stopped;
    ResetPlayback();
    AnswerEnd();
    return false;
  }
  ResetPlayback();
  AnswerEnd();
  UpdateLocked();
  return true;
}

MediaStream::State MediaStream::GetState() {
  std::lock_guard lock(mutex_);
  if (!device_ || !device_->PlaysInRealTime())
    UpdateLocked();
  return state_;
}

bool MediaStream::WaitWhileEndPending(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return !endSignalled_; });
}

bool MediaStream::SetVolume(int32_t volume) {
  if (!IsValidVolume(volume))
    return false;
  std::lock_guard lock(mutex_);
  volume_ = volume;
  if (voice_ != nullptr)
    voice_->SetVolume(volume);
  return true;
}

int32_t MediaStream::GetVolume() {
  std::lock_guard lock(mutex_);
  return volume_;
}

bool MediaStream::HasAudio() {
  std::lock_guard lock(mutex_);
  return voice_ != nullptr;
}

bool MediaStream::HasVideo() {
  std::lock_guard lock(mutex_);
  return decoder_.HasVideo();
}

int MediaStream::Width() {
  std::lock_guard lock(mutex_);
  return decoder_.Width();
}

int MediaStream::Height() {
  std::lock_guard lock(mutex_);
  return decoder_.Height();
}

double MediaStream::Position() {
  std::lock_guard lock(mutex_);
  if (!device_ || !device_->PlaysInRealTime())
    UpdateLocked();
  return ClockLocked();
}

void MediaStream::Update() {
  std::lock_guard lock(mutex_);
  UpdateLocked();
}

double MediaStream::ClockLocked() {
  if (voice_ != nullptr && !audioFinished_) {
    return static_cast<double>(voice_->PlayedFrames()) / voice_->Format().rate;
  }
  if (state_ == State::Running)
    return clockBase_ + (DeviceNow() - timeBase_);
  return clockBase_;
}

void MediaStream::FeedAudio() {
  const AudioFormat& format = voice_->Format();
  const auto lead = static_cast<uint64_t>(kLeadSeconds * format.rate);
  const auto block = static_cast<uint32_t>(kBlockSeconds * format.rate);
  while (!audioDecoded_ && voice_->PendingFrames() < lead) {
    chunk_.clear();
    uint32_t frames = 0;
    if (!decoder_.DecodeAudio(block, &chunk_, &frames))
      audioDecoded_ = true;
    if (frames > 0)
      voice_->Queue(chunk_.data(), frames);
  }
  // Starts the voice, or starts it again after it ran dry.
  if (!voice_->IsPlaying() && voice_->PendingFrames() > 0)
    voice_->Play();
}

void MediaStream::UpdateLocked() {
  if (!open_ || state_ != State::Running)
    return;
  if (voice_ != nullptr && !audioFinished_) {
    FeedAudio();
    if (audioDecoded_ && voice_->PendingFrames() == 0) {
      // From here on the clock runs on the device's time from where the sound ended.
      clockBase_ = ClockLocked();
      timeBase_ = DeviceNow();
      audioFinished_ = true;
    }
  }
  const double clock = ClockLocked();
  bool videoOver = true;
  if (decoder_.HasVideo()) {
    decoder_.ReadVideoUntil(clock + kLeadSeconds);
    videoOver = decoder_.ReadAll() && clock + kFrameTolerance >= decoder_.VideoEnd();
  }
  const bool audioOver = voice_ == nullptr || audioFinished_;
  if (audioOver && videoOver && !endSignalled_) {
    endSignalled_ = true;
    endOfStream_.Set();
  }
}

bool MediaStream::FetchFrame(VideoFrame* frame) {
  std::lock_guard lock(mutex_);
  UpdateLocked();
  if (!open_ || state_ != State::Running || !decoder_.HasVideo())
    return false;
  const double clock = ClockLocked();
  if (!haveNext_ && !videoDecoded_) {
    haveNext_ = decoder_.DecodeVideo(&next_);
    videoDecoded_ = !haveNext_;
  }
  while (haveNext_ && next_.time <= clock + kFrameTolerance) {
    std::swap(current_, next_);
    haveCurrent_ = true;
    haveNext_ = decoder_.DecodeVideo(&next_);
    videoDecoded_ = !haveNext_;
  }
  if (!haveCurrent_)
    return false;
  frame->width = current_.width;
  frame->height = current_.height;
  frame->time = current_.time;
  frame->number = current_.number;
  frame->pixels.assign(current_.pixels.begin(), current_.pixels.end());
  return true;
}

}  // namespace quarn::platform
