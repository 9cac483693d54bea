// Stage files: arbitrary bytes loaded as the stage (and as the aircraft and both weapons,
// which name the same file), then 300 updates and a drawn frame every tenth.
#include "StageFuzzing.h"
#include "stage/MainScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::MainScene scene(nullptr);
  quarn::fuzzing::FileInput(scene.Cache(), data, size);
  const std::string file = quarn::fuzzing::kFile;
  scene.Load(file, file, file, file);
  scene.Start();
  scene.SetActive(true);
  for (int i = 0; i < 300 && scene.IsActive(); ++i) {
    scene.Update();
    if (i % 10 == 0)
      scene.Render();
  }
  scene.Finish();
  return 0;
}
