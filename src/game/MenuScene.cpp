#include "game/MenuScene.h"

#include "engine/StateDigest.h"

#include <cmath>
#include <cstdio>

#include "engine/DefinitionFile.h"
#include "engine/InputMappings.h"
#include "engine/WaveSound.h"
#include "gfxutil/TextureCreation.h"
#include "render/DeviceOrCurrent.h"
#include "stage/SceneOwner.h"

namespace quarn {

namespace {
constexpr uint32_t kTransitionWidth = 1024;
constexpr uint32_t kTransitionHeight = 512;
constexpr platform::Argb kBlack = 0xFF000000u;
constexpr const char* kButtonNames[MenuScene::kButtons] = {"Up",    "Down", "Left",
                                                           "Right", "OK",   "Cancel"};
const std::string kRemove = "rm";

// The leading decimal number of text ("7", " 12abc"), or fallback when there is none.
int LeadingNumber(const std::string& text, int fallback) {
  int value = fallback;
  std::sscanf(text.c_str(), "%d", &value);
  return value;
}
}  // namespace

MenuScene::MenuScene(SceneOwner* game) : GameScene(game) {}

MenuScene::~MenuScene() {
  // The voice shares the samples of a wave that the cache holds.
  stateSound_.Release();
  ReleaseTransitionTarget();
}

const char* MenuScene::ButtonName(int button) {
  return button >= 1 && button <= kButtons ? kButtonNames[button - 1] : "";
}

int MenuScene::Load(const std::string& menuFile) {
  Reset();
  CreateTransitionTarget();
  InstallSceneInput(SceneInput::Menu, InputSystem::Instance(), &Buttons());
  menu_ = Cache().GetDefinition(menuFile);
  current_ = previous_ = target_ = kNoState;
  transitTimer_ = stateTimer_ = 0.0f;
  currentImages_.Clear();
  previousImages_.Clear();
  targetImages_.Clear();
  locals_.fill(std::string());
  const int first = Game() != nullptr ? LeadingNumber(Game()->GetValue(ValueId::MenuState), 0) : 0;
  EnterState(first);
  if (Game() != nullptr)
    Game()->SetValue(ValueId::MenuState, "0");
  return 1;
}

bool MenuScene::CreateTransitionTarget() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return false;
  if (transition_.GetTexture() == nullptr) {
    transition_.Attach(gfx::CreateTexture(*device, kTransitionWidth, kTransitionHeight, 1,
                                          platform::kUsageRenderTarget, platform::Format::X8R8G8B8,
                                          platform::Pool::Default));
    transitionSurface_ = nullptr;
  }
  if (transition_.GetTexture() == nullptr)
    return false;
  transitionSurface_ = transition_.GetTexture()->GetSurfaceLevel(0);
  if (transitionSurface_ == nullptr)
    return false;
  if (renderToSurface_ == nullptr) {
    renderToSurface_ = std::make_unique<gfx::RenderToSurface>(*device, transitionSurface_->Width(),
                                                              transitionSurface_->Height(),
                                                              transitionSurface_->GetFormat());
  }
  return true;
}

void MenuScene::ReleaseTransitionTarget() {
  transitionSurface_ = nullptr;
  transition_.Release();
}

int MenuScene::OnDeviceLost() {
  int result = GameScene::OnDeviceLost();
  if (renderToSurface_ != nullptr && !renderToSurface_->OnLostDevice())
    result = 0;
  ReleaseTransitionTarget();
  return result;
}

int MenuScene::OnDeviceReset() {
  int result = GameScene::OnDeviceReset();
  if (!CreateTransitionTarget())
    result = 0;
  if (renderToSurface_ != nullptr && !renderToSurface_->OnResetDevice())
    result = 0;
  return result;
}

void MenuScene::Finish() {
  stateSound_.Stop();
  stateSound_.Release();
  ClearSceneInput(InputSystem::Instance());
  renderToSurface_.reset();
  ReleaseTransitionTarget();
  GameScene::Finish();
}

int MenuScene::FirstPressedButton() const {
  for (int button = 1; button <= kButtons; ++button) {
    if (Buttons().IsPressed(button))
      return button;
  }
  return 0;
}

void MenuScene::Update() {
  Buttons().Update();
  if (current_ != kNoState) {
    if (previous_ == kNoState && target_ == kNoState)
      UpdateState();
    if (current_ != kNoState)
      return;
  }
  if (target_ != kNoState)
    UpdateTransit();
}

void MenuScene::UpdateState() {
  const MenuStateSection section = Section(current_);
  stateTimer_ += kFrameStep;
  const int timeout = section.GetTarget(":Timeout");
  if (section.GetFloat("TimeoutTime", 0.0f) < stateTimer_ && timeout != kNoState) {
    EnterState(timeout);
    return;
  }
  const int button = FirstPressedButton();
  if (button == 0)
    return;
  const int jump = section.GetTarget(std::string(ButtonName(button)) + ":Button");
  if (jump != kNoState)
    EnterState(jump);
}

void MenuScene::UpdateTransit() {
  const MenuStateSection section = Section(target_);
  if (section.GetBool("TransitSkipEnable", false)) {
    if (const int button = FirstPressedButton(); button != 0) {
      const int jump = section.GetTarget(std::string(ButtonName(button)) + ":Button");
      if (jump != kNoState) {
        FinishTransit();
        EnterState(jump);
        return;
      }
    }
  }
  transitTimer_ += kFrameStep;
  if (section.GetFloat("TransitTime", 0.0f) < transitTimer_)
    FinishTransit();
}

void MenuScene::EnterState(int state) {
  if (state == kEndMenu) {
    SetActive(false);
    return;
  }
  previous_ = current_;
  previousImages_ = currentImages_;
  target_ = state;
  current_ = kNoState;
  const MenuStateSection section = Section(state);
  TakeImages(section);
  currentImages_.Clear();
  PlayStateSound(section);
  PlayStateMusic(section);
  transitTimer_ = 0.0f;
}

void MenuScene::TakeImages(const MenuStateSection& section) {
  for (int i = 0; i < ImageSet::kSlots; ++i) {
    const auto slot = static_cast<unsigned>(i);
    const std::string file = section.GetString("ImageFile", slot);
    if (file.empty()) {
      targetImages_[i] = currentImages_[i];
    } else if (file == kRemove) {
      targetImages_[i] = ImageSlot{};
    } else {
      const int x = section.GetInt("ImageSrcX", slot, 0);
      const int y = section.GetInt("ImageSrcY", slot, 0);
      ImageSlot& image = targetImages_[i];
      image.texture = Cache().GetTexture(file);
      image.source = {x, y, x + section.GetInt("ImageSrcW", slot, 0),
                      y + section.GetInt("ImageSrcH", slot, 0)};
      image.position = {section.GetInt("ImageDstX", slot, 0), section.GetInt("ImageDstY", slot, 0)};
    }
  }
}

void MenuScene::PlayStateSound(const MenuStateSection& section) {
  const std::string file = section.GetString("SoundFile");
  if (file.empty())
    return;
  stateSound_.Stop();
  stateSound_.Release();
  if (file == kRemove)
    return;
  stateSound_.Create(Cache().GetSound(file));
  stateSound_.Play(false, true);
}

void MenuScene::PlayStateMusic(const MenuStateSection& section) {
  const std::string file = section.GetString("MusicFile");
  if (file.empty() || Game() == nullptr)
    return;
  const float fade = section.GetFloat("MusicFadeTime", 0.0f);
  if (file == kRemove) {
    Game()->FadeOutMusic(fade);
    return;
  }
  Game()->FadeOutMusic(0.0f);
  Game()->PlayMusic(file, fade);
}

void MenuScene::FinishTransit() {
  current_ = target_;
  currentImages_ = targetImages_;
  previous_ = target_ = kNoState;
  previousImages_.Clear();
  targetImages_.Clear();
  stateTimer_ = 0.0f;
  const MenuStateSection section = Section(current_);
  ApplyValues(section);
  const int branch = FindBranch(section);
  if (branch != kNoState)
    EnterState(branch);
}

void MenuScene::ApplyValues(const MenuStateSection& section) {
  // Present with text writes it; "rm" empties the value; absent or empty leaves it.
  auto apply = [](const std::string& text, auto&& write) {
    if (!text.empty())
      write(text == kRemove ? std::string() : text);
  };
  for (int k = 0; k < kLocalValues; ++k) {
    apply(section.GetString("LocalValue", static_cast<unsigned>(k)),
          [&](const std::string& text) { locals_[k] = text; });
  }
  if (Game() == nullptr)
    return;
  for (int i = 0; i < ValueStore::kNamedValues; ++i) {
    const ValueId id = ValueStore::ByIndex(i);
    apply(section.GetString(ValueStore::Name(id)),
          [&](const std::string& text) { Game()->SetValue(id, text); });
  }
  for (int k = 0; k < ValueStore::kStorageSlots; ++k) {
    apply(section.GetString("StorageValue", static_cast<unsigned>(k)),
          [&](const std::string& text) { Game()->SetStorage(k, text); });
  }
}

int MenuScene::FindBranch(const MenuStateSection& section) const {
  for (int k = 0; k < kLocalValues; ++k) {
    const int target =
        section.GetTarget(DefinitionFile::IndexedName(locals_[k] + ":LocalValue", k));
    if (target != kNoState)
      return target;
  }
  if (Game() == nullptr)
    return kNoState;
  for (int i = 0; i < ValueStore::kNamedValues; ++i) {
    const ValueId id = ValueStore::ByIndex(i);
    const int target = section.GetTarget(Game()->GetValue(id) + ":" + ValueStore::Name(id));
    if (target != kNoState)
      return target;
  }
  for (int k = 0; k < ValueStore::kStorageSlots; ++k) {
    const int target =
        section.GetTarget(DefinitionFile::IndexedName(Game()->GetStorage(k) + ":StorageValue", k));
    if (target != kNoState)
      return target;
  }
  return kNoState;
}

bool MenuScene::RenderTransitionTarget() {
  if (renderToSurface_ == nullptr || transitionSurface_ == nullptr)
    return false;
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr || !renderToSurface_->BeginScene(transitionSurface_, nullptr))
    return false;
  device->Clear(0, nullptr, platform::kClearTarget, kBlack, 1.0f, 0);
  Sprites().Clear();
  targetImages_.Queue(Sprites());
  const bool drawn = Sprites().Draw();
  renderToSurface_->EndScene();
  return drawn;
}

void MenuScene::Render() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  const bool fading = TransitionRunning() && transition_.GetTexture() != nullptr;
  const bool targetDrawn = fading && RenderTransitionTarget();
  device->BeginScene();
  device->Clear(0, nullptr, platform::kClearTarget, kBlack, 1.0f, 0);
  Sprites().Clear();
  if (current_ != kNoState) {
    currentImages_.Queue(Sprites());
  } else if (TransitionRunning()) {
    previousImages_.Queue(Sprites());
    if (targetDrawn) {
      const float transitTime = Section(target_).GetFloat("TransitTime", 0.0f);
      const float alpha = std::fabs(transitTime) <= 1e-8f ? 0.0f : transitTimer_ / transitTime;
      Sprites().Queue(&transition_, {0, 0}, 0, 0, 640, 480, 1.0f, 1.0f, {}, 0.0f,
                      {1.0f, 1.0f, 1.0f, alpha});
    }
  }
  Sprites().Draw();
  device->EndScene();
}

void MenuScene::AddToDigest(StateDigest& digest) const {
  digest.AddInt(CurrentState());
  digest.AddInt(TargetState());
}

}  // namespace quarn
