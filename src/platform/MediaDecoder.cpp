#include "platform/MediaDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "platform/MediaLibrary.h"

namespace quarn::platform {

namespace {
// Video packets read ahead of the pictures asked for; beyond this the oldest are dropped
// (up to the next key frame) so that a movie nobody draws cannot fill the memory.
constexpr size_t kMaxQueuedVideoPackets = 600;
}  // namespace

MediaDecoder::MediaDecoder() = default;

MediaDecoder::~MediaDecoder() {
  Close();
}

void MediaDecoder::ClearQueues() {
  for (AVPacket* packet : audioPackets_)
    av_packet_free(&packet);
  for (AVPacket* packet : videoPackets_)
    av_packet_free(&packet);
  audioPackets_.clear();
  videoPackets_.clear();
}

void MediaDecoder::Close() {
  ClearQueues();
  av_frame_free(&frame_);
  avcodec_free_context(&audio_);
  avcodec_free_context(&video_);
  swr_free(&resampler_);
  sws_freeContext(scaler_);
  scaler_ = nullptr;
  avformat_close_input(&format_);
  audioIndex_ = videoIndex_ = -1;
  width_ = height_ = 0;
  endOfFile_ = audioFlushed_ = videoFlushed_ = false;
  videoEnd_ = 0.0;
  videoFrames_ = 0;
}

bool MediaDecoder::OpenDecoder(int index, AVCodecContext** context) {
  const AVCodecParameters* parameters = format_->streams[index]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (codec == nullptr)
    return false;
  AVCodecContext* created = avcodec_alloc_context3(codec);
  if (created == nullptr)
    return false;
  // One thread: pictures come out as soon as their packet goes in, in order.
  created->thread_count = 1;
  if (avcodec_parameters_to_context(created, parameters) < 0 ||
      avcodec_open2(created, codec, nullptr) < 0) {
    avcodec_free_context(&created);
    return false;
  }
  *context = created;
  return true;
}

bool MediaDecoder::Open(const std::string& path, bool wantAudio, bool wantVideo,
                        std::string* error) {
  StartMediaLibrary();
  Close();
  path_ = path;
  wantAudio_ = wantAudio;
  wantVideo_ = wantVideo;
  std::string ignored;
  if (error == nullptr)
    error = &ignored;
  if (avformat_open_input(&format_, path.c_str(), nullptr, nullptr) < 0) {
    *error = "cannot be opened as a media file";
    return false;
  }
  if (avformat_find_stream_info(format_, nullptr) < 0) {
    *error = "has no readable streams";
    Close();
    return false;
  }
  if (wantAudio) {
    const int index = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index >= 0 && OpenDecoder(index, &audio_))
      audioIndex_ = index;
  }
  if (wantVideo) {
    const int index = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // A picture attached to a music file is not a video track.
    if (index >= 0 && (format_->streams[index]->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0 &&
        OpenDecoder(index, &video_)) {
      videoIndex_ = index;
    }
  }
  frame_ = av_frame_alloc();
  if (frame_ == nullptr || (audio_ == nullptr && video_ == nullptr)) {
    *error = wantVideo ? "has no video track that can be decoded"
                       : "has no audio track that can be decoded";
    Close();
    return false;
  }
  if (audio_ != nullptr) {
    const int inChannels = audio_->ch_layout.nb_channels;
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, inChannels == 1 ? 1 : 2);
    audioFormat_ = AudioFormat{SampleType::S16, outLayout.nb_channels, audio_->sample_rate};
    if (audio_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
      av_channel_layout_default(&audio_->ch_layout, inChannels);
    }
    if (swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_S16, audio_->sample_rate,
                            &audio_->ch_layout, audio_->sample_fmt, audio_->sample_rate, 0,
                            nullptr) < 0 ||
        swr_init(resampler_) < 0 || !audioFormat_.IsValid()) {
      // The file still plays its pictures, without sound.
      swr_free(&resampler_);
      avcodec_free_context(&audio_);
      audioIndex_ = -1;
      if (video_ == nullptr) {
        *error = "has an audio track in a form that cannot be converted";
        Close();
        return false;
      }
    }
  }
  if (video_ != nullptr) {
    width_ = video_->width;
    height_ = video_->height;
    if (width_ <= 0 || height_ <= 0 || width_ > 8192 || height_ > 8192) {
      *error = "has a video track of an unusable size";
      Close();
      return false;
    }
  }
  return true;
}

double MediaDecoder::Seconds(int64_t timestamp, int streamIndex) const {
  if (timestamp == AV_NOPTS_VALUE)
    return 0.0;
  const double seconds =
      static_cast<double>(timestamp) * av_q2d(format_->streams[streamIndex]->time_base);
  const double start = format_->start_time != AV_NOPTS_VALUE
                           ? static_cast<double>(format_->start_time) / AV_TIME_BASE
                           : 0.0;
  return seconds - start;
}

bool MediaDecoder::ReadPacket() {
  if (endOfFile_ || format_ == nullptr)
    return false;
  AVPacket* packet = av_packet_alloc();
  if (packet == nullptr)
    return false;
  if (av_read_frame(format_, packet) < 0) {
    av_packet_free(&packet);
    endOfFile_ = true;
    return false;
  }
  if (packet->stream_index == audioIndex_ && audioIndex_ >= 0) {
    audioPackets_.push_back(packet);
  } else if (packet->stream_index == videoIndex_ && videoIndex_ >= 0) {
    const int64_t start = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (start != AV_NOPTS_VALUE) {
      videoEnd_ =
          std::max(videoEnd_, Seconds(start + std::max<int64_t>(packet->duration, 0), videoIndex_));
    }
    if (videoPackets_.size() >= kMaxQueuedVideoPackets) {
      // Drop everything up to the next key frame: decoding picks up cleanly there.
      do {
        av_packet_free(&videoPackets_.front());
        videoPackets_.pop_front();
      } while (!videoPackets_.empty() && (videoPackets_.front()->flags & AV_PKT_FLAG_KEY) == 0);
    }
    videoPackets_.push_back(packet);
  } else {
    av_packet_free(&packet);
  }
  return true;
}

bool MediaDecoder::NextFrame(AVCodecContext* context, std::deque<AVPacket*>& queue, bool* flushed) {
  for (;;) {
    const int received = avcodec_receive_frame(context, frame_);
    if (received == 0)
      return true;
    if (received == AVERROR_EOF)
      return false;
    if (received != AVERROR(EAGAIN)) {
      // A damaged frame: skip it and go on with the next packet.
      av_frame_unref(frame_);
    }
    if (queue.empty() && !ReadPacket() && queue.empty()) {
      if (*flushed)
        return false;
      *flushed = true;
      avcodec_send_packet(context, nullptr);
      continue;
    }
    if (queue.empty())
      continue;
    AVPacket* packet = queue.front();
    queue.pop_front();
    const int sent = avcodec_send_packet(context, packet);
    av_packet_free(&packet);
    // A packet the decoder refuses is dropped; anything else wrong ends the track.
    if (sent < 0 && sent != AVERROR_INVALIDDATA && sent != AVERROR(EAGAIN))
      return false;
  }
}

bool MediaDecoder::DecodeAudio(uint32_t minFrames, std::vector<uint8_t>* out, uint32_t* frames) {
  if (audio_ == nullptr || resampler_ == nullptr)
    return false;
  const size_t frameBytes = static_cast<size_t>(audioFormat_.BytesPerFrame());
  uint32_t decoded = 0;
  while (decoded < minFrames) {
    if (!NextFrame(audio_, audioPackets_, &audioFlushed_))
      break;
    const int capacity = swr_get_out_samples(resampler_, frame_->nb_samples);
    if (capacity <= 0) {
      av_frame_unref(frame_);
      continue;
    }
    const size_t used = out->size();
    out->resize(used + static_cast<size_t>(capacity) * frameBytes);
    uint8_t* target = out->data() + used;
    const int converted =
        swr_convert(resampler_, &target, capacity,
                    const_cast<const uint8_t**>(frame_->extended_data), frame_->nb_samples);
    av_frame_unref(frame_);
    if (converted < 0) {
      out->resize(used);
      continue;
    }
    out->resize(used + static_cast<size_t>(converted) * frameBytes);
    decoded += static_cast<uint32_t>(converted);
  }
  *frames += decoded;
  return decoded > 0;
}

bool MediaDecoder::DecodeVideo(VideoFrame* frame) {
  if (video_ == nullptr)
    return false;
  for (;;) {
    if (!NextFrame(video_, videoPackets_, &videoFlushed_))
      return false;
    if (frame_->width != width_ || frame_->height != height_) {
      // A track that changes size mid-way keeps its first size; other pictures are skipped.
      av_frame_unref(frame_);
      continue;
    }
    scaler_ = sws_getCachedContext(scaler_, width_, height_,
                                   static_cast<AVPixelFormat>(frame_->format), width_, height_,
                                   AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    if (scaler_ == nullptr) {
      av_frame_unref(frame_);
      return false;
    }
    frame->width = width_;
    frame->height = height_;
    frame->pixels.resize(static_cast<size_t>(width_) * height_);
    uint8_t* target[4] = {reinterpret_cast<uint8_t*>(frame->pixels.data()), nullptr, nullptr,
                          nullptr};
    const int pitch[4] = {width_ * 4, 0, 0, 0};
    sws_scale(scaler_, frame_->data, frame_->linesize, 0, height_, target, pitch);
    frame->time = Seconds(frame_->best_effort_timestamp, videoIndex_);
    frame->number = videoFrames_++;
    av_frame_unref(frame_);
    return true;
  }
}

void MediaDecoder::ReadVideoUntil(double time) {
  while (!endOfFile_ && videoEnd_ <= time)
    ReadPacket();
}

bool MediaDecoder::Rewind() {
  if (format_ == nullptr)
    return false;
  ClearQueues();
  endOfFile_ = audioFlushed_ = videoFlushed_ = false;
  videoEnd_ = 0.0;
  videoFrames_ = 0;
  const int64_t start = format_->start_time != AV_NOPTS_VALUE ? format_->start_time : 0;
  if (av_seek_frame(format_, -1, start, AVSEEK_FLAG_BACKWARD) >= 0) {
    if (audio_ != nullptr)
      avcodec_flush_buffers(audio_);
    if (video_ != nullptr)
      avcodec_flush_buffers(video_);
    if (resampler_ != nullptr)
      swr_init(resampler_);
    return true;
  }
  // A file that cannot seek is read again from the top.
  const std::string path = path_;
  return Open(path, wantAudio_, wantVideo_, nullptr);
}

}  // namespace quarn::platform
