#include "platform/MediaEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/MediaLibrary.h"

namespace quarn::platform {

namespace {
// Sample count of each audio frame for codecs that take any size.
constexpr int kPcmFrameSize = 1024;
}  // namespace

MediaEncoder::MediaEncoder() = default;

MediaEncoder::~MediaEncoder() {
  Free();
}

void MediaEncoder::Free() {
  if (format_ != nullptr && format_->pb != nullptr)
    avio_closep(&format_->pb);
  avformat_free_context(format_);
  format_ = nullptr;
  avcodec_free_context(&audio_.codec);
  avcodec_free_context(&video_.codec);
  audio_ = Track{};
  video_ = Track{};
  av_frame_free(&audioFrame_);
  av_frame_free(&videoFrame_);
  if (fifo_ != nullptr)
    av_audio_fifo_free(fifo_);
  fifo_ = nullptr;
  swr_free(&resampler_);
  sws_freeContext(scaler_);
  scaler_ = nullptr;
  headerWritten_ = false;
}

bool MediaEncoder::AddTrack(Track* track, const char* codecName, std::string* error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
  if (codec == nullptr) {
    *error = std::string("no encoder ") + codecName;
    return false;
  }
  track->codec = avcodec_alloc_context3(codec);
  track->stream = avformat_new_stream(format_, nullptr);
  if (track->codec == nullptr || track->stream == nullptr) {
    *error = "out of memory";
    return false;
  }
  return true;
}

bool MediaEncoder::Open(const std::string& path, Container container, const AudioTrack& audio,
                        const VideoTrack& video, std::string* error) {
  StartMediaLibrary();
  Free();
  failed_ = false;
  std::string ignored;
  if (error == nullptr)
    error = &ignored;
  const char* formatName = container == Container::Ogg   ? "ogg"
                           : container == Container::Avi ? "avi"
                                                         : "wav";
  const bool withVideo = video.width > 0 && video.height > 0 && container != Container::Wav;
  const bool withAudio = audio.rate > 0 && (audio.channels == 1 || audio.channels == 2);
  if (!withAudio && !withVideo) {
    *error = "neither sound nor pictures to write";
    return false;
  }
  if (avformat_alloc_output_context2(&format_, nullptr, formatName, path.c_str()) < 0) {
    *error = "cannot make the container";
    return false;
  }
  const bool globalHeader = (format_->oformat->flags & AVFMT_GLOBALHEADER) != 0;
  // The same samples and pictures always give the same bytes: no random stream serial
  // numbers, no library version stamped into the file.
  format_->flags |= AVFMT_FLAG_BITEXACT;

  if (withAudio) {
    const char* codecName = container == Container::Ogg ? "libvorbis" : "pcm_s16le";
    if (!AddTrack(&audio_, codecName, error))
      return Free(), false;
    AVCodecContext* c = audio_.codec;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    c->sample_rate = audio.rate;
    av_channel_layout_default(&c->ch_layout, audio.channels);
    c->sample_fmt = c->codec->sample_fmts != nullptr ? c->codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    c->time_base = AVRational{1, audio.rate};
    if (container == Container::Ogg) {
      c->flags |= AV_CODEC_FLAG_QSCALE;
      c->global_quality = 4 * FF_QP2LAMBDA;
    }
    if (globalHeader)
      c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, c->codec, nullptr) < 0 ||
        avcodec_parameters_from_context(audio_.stream->codecpar, c) < 0) {
      *error = std::string("cannot start the encoder ") + codecName;
      return Free(), false;
    }
    audio_.stream->time_base = c->time_base;
    channels_ = audio.channels;
    fifo_ = av_audio_fifo_alloc(c->sample_fmt, audio.channels, kPcmFrameSize);
    AVChannelLayout layout;
    av_channel_layout_default(&layout, audio.channels);
    audioFrame_ = av_frame_alloc();
    if (fifo_ == nullptr || audioFrame_ == nullptr ||
        swr_alloc_set_opts2(&resampler_, &c->ch_layout, c->sample_fmt, audio.rate, &layout,
                            AV_SAMPLE_FMT_S16, audio.rate, 0, nullptr) < 0 ||
        swr_init(resampler_) < 0) {
      *error = "cannot convert the sound";
      return Free(), false;
    }
  }

  if (withVideo) {
    const char* codecName = container == Container::Ogg ? "libtheora" : "mjpeg";
    if (!AddTrack(&video_, codecName, error))
      return Free(), false;
    AVCodecContext* c = video_.codec;
    c->flags |= AV_CODEC_FLAG_BITEXACT;
    c->width = video.width;
    c->height = video.height;
    c->time_base = AVRational{1, video.framesPerSecond};
    c->framerate = AVRational{video.framesPerSecond, 1};
    c->gop_size = video.framesPerSecond;
    c->flags |= AV_CODEC_FLAG_QSCALE;
    if (container == Container::Ogg) {
      c->pix_fmt = AV_PIX_FMT_YUV420P;
      c->global_quality = 10 * FF_QP2LAMBDA;  // the best Theora does
    } else {
      // Full-range 4:4:4 keeps flat colours close to what was written.
      c->pix_fmt = AV_PIX_FMT_YUVJ444P;
      c->global_quality = 2 * FF_QP2LAMBDA;
      c->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
    }
    if (globalHeader)
      c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, c->codec, nullptr) < 0 ||
        avcodec_parameters_from_context(video_.stream->codecpar, c) < 0) {
      *error = std::string("cannot start the encoder ") + codecName;
      return Free(), false;
    }
    video_.stream->time_base = c->time_base;
    videoFrame_ = av_frame_alloc();
    if (videoFrame_ == nullptr)
      return Free(), false;
    videoFrame_->format = c->pix_fmt;
    videoFrame_->width = c->width;
    videoFrame_->height = c->height;
    if (av_frame_get_buffer(videoFrame_, 0) < 0)
      return Free(), false;
    scaler_ = sws_getContext(c->width, c->height, AV_PIX_FMT_BGRA, c->width, c->height, c->pix_fmt,
                             SWS_POINT, nullptr, nullptr, nullptr);
    if (scaler_ == nullptr) {
      *error = "cannot convert the pictures";
      return Free(), false;
    }
  }

  if (avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
    *error = "cannot be written";
    return Free(), false;
  }
  if (avformat_write_header(format_, nullptr) < 0) {
    *error = "cannot write the container header";
    return Free(), false;
  }
  headerWritten_ = true;
  return true;
}

bool MediaEncoder::Encode(Track* track, AVFrame* frame) {
  if (avcodec_send_frame(track->codec, frame) < 0)
    return false;
  AVPacket* packet = av_packet_alloc();
  if (packet == nullptr)
    return false;
  bool ok = true;
  for (;;) {
    const int received = avcodec_receive_packet(track->codec, packet);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
      break;
    if (received < 0) {
      ok = false;
      break;
    }
    av_packet_rescale_ts(packet, track->codec->time_base, track->stream->time_base);
    packet->stream_index = track->stream->index;
    if (av_interleaved_write_frame(format_, packet) < 0)
      ok = false;
  }
  av_packet_free(&packet);
  return ok;
}

bool MediaEncoder::DrainAudio(bool flush) {
  AVCodecContext* c = audio_.codec;
  const int frameSize = c->frame_size > 0 ? c->frame_size : kPcmFrameSize;
  while (av_audio_fifo_size(fifo_) >= frameSize || (flush && av_audio_fifo_size(fifo_) > 0)) {
    const int count = std::min(frameSize, av_audio_fifo_size(fifo_));
    av_frame_unref(audioFrame_);
    audioFrame_->nb_samples = count;
    audioFrame_->format = c->sample_fmt;
    audioFrame_->sample_rate = c->sample_rate;
    if (av_channel_layout_copy(&audioFrame_->ch_layout, &c->ch_layout) < 0 ||
        av_frame_get_buffer(audioFrame_, 0) < 0 ||
        av_audio_fifo_read(fifo_, reinterpret_cast<void**>(audioFrame_->data), count) != count) {
      return false;
    }
    audioFrame_->pts = audio_.next;
    audio_.next += count;
    if (!Encode(&audio_, audioFrame_))
      return false;
  }
  return true;
}

bool MediaEncoder::WriteAudio(const int16_t* samples, uint32_t frames) {
  if (!headerWritten_ || audio_.codec == nullptr || samples == nullptr)
    return false;
  AVCodecContext* c = audio_.codec;
  const int capacity = swr_get_out_samples(resampler_, static_cast<int>(frames));
  AVFrame* converted = av_frame_alloc();
  bool ok = converted != nullptr;
  if (ok) {
    converted->nb_samples = capacity;
    converted->format = c->sample_fmt;
    ok = av_channel_layout_copy(&converted->ch_layout, &c->ch_layout) >= 0 &&
         av_frame_get_buffer(converted, 0) >= 0;
  }
  if (ok) {
    const auto* in = reinterpret_cast<const uint8_t*>(samples);
    const int count =
        swr_convert(resampler_, converted->data, capacity, &in, static_cast<int>(frames));
    ok = count >= 0 &&
         av_audio_fifo_write(fifo_, reinterpret_cast<void**>(converted->data), count) == count &&
         DrainAudio(false);
  }
  av_frame_free(&converted);
  if (!ok)
    failed_ = true;
  return ok;
}

bool MediaEncoder::WriteVideo(const Argb* pixels, int pitch) {
  if (!headerWritten_ || video_.codec == nullptr || pixels == nullptr)
    return false;
  if (av_frame_make_writable(videoFrame_) < 0) {
    failed_ = true;
    return false;
  }
  const uint8_t* source[4] = {reinterpret_cast<const uint8_t*>(pixels), nullptr, nullptr, nullptr};
  const int sourcePitch[4] = {pitch * 4, 0, 0, 0};
  sws_scale(scaler_, source, sourcePitch, 0, video_.codec->height, videoFrame_->data,
            videoFrame_->linesize);
  videoFrame_->pts = video_.next++;
  if (!Encode(&video_, videoFrame_))
    failed_ = true;
  return !failed_;
}

bool MediaEncoder::Finish() {
  if (!headerWritten_)
    return false;
  bool ok = !failed_;
  if (audio_.codec != nullptr)
    ok = DrainAudio(true) && Encode(&audio_, nullptr) && ok;
  if (video_.codec != nullptr)
    ok = Encode(&video_, nullptr) && ok;
  ok = av_write_trailer(format_) >= 0 && ok;
  Free();
  return ok;
}

}  // namespace quarn::platform
