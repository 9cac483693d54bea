// Weapon files: arbitrary bytes loaded as each kind of weapon on a unit, aimed at a target
// crossing in front of it and fired for 300 updates.
#include "StageFuzzing.h"
#include "engine/DefinitionFile.h"
#include "units/Building.h"
#include "units/Side.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::fuzzing::FuzzStage stage(data, size);
  std::unique_ptr<quarn::Weapon> weapon;
  switch (size > 0 ? data[0] % 3 : 0) {
    case 0:
      weapon = std::make_unique<quarn::RapidWeapon>(&stage);
      break;
    case 1:
      weapon = std::make_unique<quarn::LockWeapon>(&stage);
      break;
    default:
      weapon = std::make_unique<quarn::ChargeWeapon>(&stage);
      break;
  }
  weapon->Load(quarn::fuzzing::kFile, nullptr);
  weapon->Body().SetParent(&stage.root);
  weapon->Activate(quarn::kPlayerSide);
  // The weapon's own file as a target too: whatever it holds, it is something to aim at.
  quarn::Building target(&stage);
  quarn::DefinitionFile placement;
  placement.Parse("[P]\r\nDefineFile=Fuzz.txt\r\nLayoutPositionZ=300\r\n");
  placement.SelectSection("P");
  target.LoadPlacement(placement);
  target.Activate(quarn::kEnemySide);
  for (int i = 0; i < 300; ++i) {
    target.LayoutFrame().Translate(quarn::CombineMode::LocalAxes, {3, 0, 0});
    weapon->RequestAim();
    const bool held = (i / 20) % 2 == 0;
    if (auto* rapid = dynamic_cast<quarn::RapidWeapon*>(weapon.get())) {
      if (held)
        rapid->RequestFire();
    } else if (auto* lock = dynamic_cast<quarn::LockWeapon*>(weapon.get())) {
      if (held)
        lock->SetLocking(true);
      else
        lock->RequestFire();
    } else if (auto* charge = dynamic_cast<quarn::ChargeWeapon*>(weapon.get())) {
      if (held)
        charge->SetCharging(true);
      else
        charge->RequestFire();
    }
    stage.Step();
  }
  weapon->Deactivate();
  target.Deactivate();
  weapon->Unload();
  target.Unload();
  return 0;
}
