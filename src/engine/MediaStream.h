#pragma once
// A media file played as a stream, with a worker thread of its own that waits for the end of
// the stream and then starts it again from the beginning (looping) or stops it.
//
// The base plays no track; AudioStream adds the sound, MoviePlayer the pictures.
#include <atomic>
#include <memory>
#include <string>

#include "engine/Runnable.h"
#include "engine/Thread.h"
#include "platform/MediaStream.h"

namespace quarn {

class MediaStream {
 public:
  MediaStream();
  virtual ~MediaStream();
  MediaStream(const MediaStream&) = delete;
  MediaStream& operator=(const MediaStream&) = delete;

  // Makes the stream object, on the sound device if there is one.
  virtual bool Create();
  // Opens path (making the stream object first if there is none) and starts the worker.
  // On failure everything is closed, the problem is reported once, and the result is false.
  virtual bool Open(const std::string& path);
  // Stops and joins the worker, then lets go of the stream object.
  virtual void Close();
  virtual bool Play(bool loop);
  virtual bool Stop();
  // Stopped at the start, with looping off.
  virtual bool Rewind();
  // The worker: waits for the thread's stop event or the stream's end. At the end a looping
  // stream goes on from the start, any other stops. Returns 0 when told to stop. An override
  // calls WorkerStarted first.
  virtual int RunWorker(Thread* thread);

  bool IsRunning();
  bool IsLooping() const { return loop_ != 0; }
  // True while the worker thread runs (from Open to Close).
  bool HasWorker() const { return thread_.IsRunning(); }

 protected:
  platform::MediaStream* Stream() const { return stream_.get(); }
  // An end the stream has signalled is answered by the worker before anyone looks at the
  // stream, so that the same moment of a stream gives the same answer every time.
  void SettleEnd();
  // Tells Open that the worker runs: from then on this object's destruction cannot overlap
  // the worker's call of RunWorker.
  void WorkerStarted() { workerRunning_.Set(); }

 private:
  // Runs the worker body on the stream's thread.
  class Worker : public Runnable {
   public:
    explicit Worker(MediaStream* owner) : owner_(owner) {}
    int Run(Thread* thread) override { return owner_->RunWorker(thread); }

   private:
    MediaStream* owner_;
  };

  std::unique_ptr<platform::MediaStream> stream_;
  Worker worker_{this};
  Thread thread_;
  platform::Event workerRunning_;
  std::atomic<int> loop_{0};
};

}  // namespace quarn
