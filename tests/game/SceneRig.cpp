#include "game/SceneRig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/ArchiveFixture.h"
#include "gfxutil/ImageWriter.h"

namespace quarn::testing {

namespace {
std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

SceneRig::SceneRig() {
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  EXPECT_NE(window_.Create(params), nullptr);
  EXPECT_TRUE(graphics_.Create(window_.GetHandle(), GraphicsParams{1, 640, 480}));
  device_ = dynamic_cast<platform::NullRenderDevice*>(graphics_.GetDevice());
  sound_.UseSilentDevice(&clock_);
  EXPECT_TRUE(sound_.Create(nullptr, 0));
  auto backend = std::make_unique<ScriptedInputBackend>();
  keys_ = backend.get();
  input_.UseBackend(std::move(backend));
  EXPECT_TRUE(input_.Create(nullptr));
  std::filesystem::create_directory(folder_.File("tmp"));
  archive_ = std::make_unique<Archive>(folder_.File("tmp"));
}

SceneRig::~SceneRig() {
  archive_.reset();
  input_.Release();
  sound_.Release();
  graphics_.Release();
}

void SceneRig::AddFile(const std::string& name, const std::string& bytes) {
  records_.emplace_back(name, bytes);
}

void SceneRig::AddDefinition(const std::string& name, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  AddFile(name, text);
}

void SceneRig::AddImage(const std::string& name, uint32_t width, uint32_t height,
                        platform::Argb colour) {
  const std::vector<platform::Argb> pixels(size_t{width} * height, colour);
  std::vector<uint8_t> png;
  std::string error;
  ASSERT_TRUE(gfx::ImageWriter::EncodePng(pixels.data(), width, height, width, true, &png, &error))
      << error;
  AddFile(name, std::string(png.begin(), png.end()));
}

void SceneRig::AddWave(const std::string& name, double seconds) {
  const std::string path = folder_.File("made-" + name);
  ASSERT_TRUE(WriteWaveFile(path, Tone(seconds, 22050, 1, 440.0, 0.5), 22050));
  AddFile(name, ReadBytes(path));
}

void SceneRig::AddMusic(const std::string& name, double seconds) {
  const std::string path = folder_.File("made-" + name);
  ASSERT_TRUE(WriteTone(path, platform::MediaEncoder::Container::Ogg, seconds));
  AddFile(name, ReadBytes(path));
}

void SceneRig::AddMovie(const std::string& name, int width, int height, int framesPerSecond,
                        int frames) {
  const std::string path = folder_.File("made-" + name);
  ASSERT_TRUE(WriteMovie(path, platform::MediaEncoder::Container::Ogg, width, height,
                         framesPerSecond, frames));
  AddFile(name, ReadBytes(path));
}

void SceneRig::Pack() {
  WriteFile(folder_.File("Data.acv"), ArchiveBytes(records_));
  archive_->Close();
  ASSERT_TRUE(archive_->Open(folder_.File("Data")));
}

void SceneRig::Pass() {
  clock_.AdvanceSeconds(1.0 / 30.0);
  input_.Update();
}

}  // namespace quarn::testing
