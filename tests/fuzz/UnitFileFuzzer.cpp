// Unit definition files with their parts: arbitrary bytes loaded as each kind of unit (its
// parts name the same file, so rings and deep chains are tried too), activated, flown for 300
// updates, broken and destructed.
#include "StageFuzzing.h"
#include "engine/DefinitionFile.h"
#include "units/Airship.h"
#include "units/Building.h"
#include "units/HeavyAircraft.h"
#include "units/LightAircraft.h"
#include "units/Ship.h"
#include "units/Side.h"
#include "units/Vehicle.h"

namespace {

template <class Kind>
void Fly(quarn::fuzzing::FuzzStage& stage, int updates) {
  Kind unit(&stage);
  quarn::DefinitionFile placement;
  placement.Parse("[P]\r\nDefineFile=Fuzz.txt\r\nLayoutPositionY=300\r\nMaxHeight=1000\r\n"
                  "AreaOuterDistance=2000\r\nAreaInnerDistance=1000\r\n");
  placement.SelectSection("P");
  unit.LoadPlacement(placement);
  unit.Activate(quarn::kEnemySide);
  unit.SetMode(quarn::BehaviourMode::ToDestination);
  for (int i = 0; i < updates; ++i) {
    if (i == updates / 2)
      unit.Break();
    if (i == updates * 3 / 4)
      unit.Destruct();
    stage.Step();
  }
  unit.Deactivate();
  unit.Unload();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::fuzzing::FuzzStage stage(data, size);
  // One kind per input, by its first byte, so that each run stays short.
  switch (size > 0 ? data[0] % 6 : 0) {
    case 0:
      Fly<quarn::LightAircraft>(stage, 300);
      break;
    case 1:
      Fly<quarn::HeavyAircraft>(stage, 300);
      break;
    case 2:
      Fly<quarn::Airship>(stage, 300);
      break;
    case 3:
      Fly<quarn::Ship>(stage, 300);
      break;
    case 4:
      Fly<quarn::Vehicle>(stage, 300);
      break;
    default:
      Fly<quarn::Building>(stage, 300);
      break;
  }
  return 0;
}
