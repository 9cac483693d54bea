// Bullet, rocket and ground files: arbitrary bytes loaded as a gun round and a rocket, each
// fired a few times at a target and flown, and as a ground under them.
#include "StageFuzzing.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "stage/Ground.h"
#include "units/Side.h"

namespace {

void Shoot(quarn::fuzzing::FuzzStage& stage, quarn::Bullet& shot, quarn::Transform& port) {
  for (int round = 0; round < 3; ++round) {
    shot.MountOnPort(&port, true);
    shot.Arm();
    shot.SetLaunchVelocity({0, -5, 100});
    shot.Activate(quarn::kPlayerSide);
    shot.MountOnPort(nullptr, false);
    for (int i = 0; i < 20; ++i) {
      stage.camera->Body().Translate(quarn::CombineMode::LocalAxes, {0, 0, 400});
      stage.Step();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::fuzzing::FuzzStage stage(data, size);
  quarn::Ground ground(&stage);
  ground.Load(quarn::fuzzing::kFile);
  quarn::Transform port;
  port.SetParent(&stage.root);
  port.SetPosition({0, 50, 0});
  port.RotateX(quarn::CombineMode::LocalAxes, 0.4f);
  quarn::Gun* gun = stage.pool.AcquireGunBullet(quarn::fuzzing::kFile, false);
  Shoot(stage, *gun, port);
  quarn::Rocket* rocket = stage.pool.AcquireRocket(quarn::fuzzing::kFile, false);
  Shoot(stage, *rocket, port);
  ground.Unload();
  return 0;
}
