#include "platform/OpenAlAudioDevice.h"

#include <AL/alext.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "platform/OpenAlBuffer.h"
#include "platform/OpenAlStreamVoice.h"
#include "platform/OpenAlVoice.h"

namespace quarn::platform {

namespace {

// At most this many voices play at once.
constexpr ALCint kMonoSources = 64;
constexpr ALCint kStereoSources = 960;

// Runs open with stderr sent to /dev/null: OpenAL Soft and ALSA describe a missing sound card
// at length there, and the game reports it in one line of its own.
template <class Open>
auto WithoutLibraryChatter(Open open) {
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  const int devnull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved >= 0 && devnull >= 0)
    dup2(devnull, STDERR_FILENO);
  auto result = open();
  if (saved >= 0 && devnull >= 0)
    dup2(saved, STDERR_FILENO);
  if (devnull >= 0)
    close(devnull);
  if (saved >= 0)
    close(saved);
  return result;
}

}  // namespace

std::unique_ptr<OpenAlAudioDevice> OpenAlAudioDevice::Open(Target target, int rate, int channels,
                                                           std::string* error) {
  std::string ignored;
  if (error == nullptr)
    error = &ignored;
  std::lock_guard lock(OpenAlContext::LibraryMutex());
  ALCdevice* device = nullptr;
  std::vector<ALCint> attributes = {ALC_MONO_SOURCES, kMonoSources, ALC_STEREO_SOURCES,
                                    kStereoSources};
  if (target == Target::Output) {
    device = WithoutLibraryChatter([] { return alcOpenDevice(nullptr); });
    if (device == nullptr) {
      *error = "no sound device could be opened";
      return nullptr;
    }
  } else {
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
      *error = "OpenAL has no loopback device";
      return nullptr;
    }
    if (rate <= 0 || (channels != 1 && channels != 2)) {
      *error = "unusable loopback format";
      return nullptr;
    }
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    device = openLoopback != nullptr ? openLoopback(nullptr) : nullptr;
    if (device == nullptr) {
      *error = "cannot open an OpenAL loopback device";
      return nullptr;
    }
    // Float output without a limiter, so a test reads the mix exactly as it was summed.
    const ALCint loopback[] = {ALC_FORMAT_CHANNELS_SOFT,
                               channels == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT,
                               ALC_FLOAT_SOFT,
                               ALC_FREQUENCY,
                               rate,
                               ALC_OUTPUT_LIMITER_SOFT,
                               ALC_FALSE,
                               ALC_HRTF_SOFT,
                               ALC_FALSE};
    attributes.insert(attributes.end(), std::begin(loopback), std::end(loopback));
  }
  attributes.push_back(0);
  ALCcontext* context = alcCreateContext(device, attributes.data());
  if (context == nullptr) {
    alcCloseDevice(device);
    *error = "cannot create an OpenAL context";
    return nullptr;
  }
  alcMakeContextCurrent(context);
  if (!alIsExtensionPresent("AL_SOFT_direct_channels") || !alIsExtensionPresent("AL_EXT_FLOAT32")) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    *error = "OpenAL lacks direct channels or float samples";
    return nullptr;
  }
  ALCint actualRate = rate;
  alcGetIntegerv(device, ALC_FREQUENCY, 1, &actualRate);
  if (target == Target::Output)
    channels = 2;
  alcMakeContextCurrent(nullptr);
  auto shared = std::make_shared<OpenAlContext>(device, context);
  return std::unique_ptr<OpenAlAudioDevice>(
      new OpenAlAudioDevice(target, std::move(shared), actualRate, channels));
}

OpenAlAudioDevice::OpenAlAudioDevice(Target target, std::shared_ptr<OpenAlContext> context,
                                     int rate, int channels)
    : target_(target), context_(std::move(context)), rate_(rate), channels_(channels) {}

OpenAlAudioDevice::~OpenAlAudioDevice() = default;

AudioDevice::Kind OpenAlAudioDevice::GetKind() const {
  return target_ == Target::Output ? Kind::Output : Kind::Loopback;
}

double OpenAlAudioDevice::Now() {
  if (target_ == Target::Loopback) {
    return static_cast<double>(renderedFrames_.load()) / static_cast<double>(rate_);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::unique_ptr<AudioBuffer> OpenAlAudioDevice::CreateBuffer(const AudioFormat& format,
                                                             const void* data, uint32_t frames) {
  return OpenAlBuffer::Create(context_, format, data, frames);
}

std::unique_ptr<AudioVoice> OpenAlAudioDevice::CreateVoice(const AudioBuffer& buffer) {
  const auto* own = dynamic_cast<const OpenAlBuffer*>(&buffer);
  if (own == nullptr || own->Context() != context_)
    return nullptr;
  return OpenAlVoice::Create(context_, *own);
}

std::unique_ptr<AudioStreamVoice> OpenAlAudioDevice::CreateStreamVoice(const AudioFormat& format) {
  return OpenAlStreamVoice::Create(context_, format);
}

bool OpenAlAudioDevice::Render(float* out, uint32_t frames) {
  if (target_ != Target::Loopback || out == nullptr)
    return false;
  static const auto render =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (render == nullptr)
    return false;
  auto lock = context_->Lock();
  render(context_->Device(), out, static_cast<ALCsizei>(frames));
  renderedFrames_ += frames;
  return true;
}

}  // namespace quarn::platform
