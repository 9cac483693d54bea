#include "units/Component.h"

#include "engine/DefinitionFile.h"
#include "units/Side.h"

namespace quarn {

Component::Component(StageServices* stage) : Container(stage) {}

Component::~Component() = default;

bool Component::Load(const std::string& file, Container* owner) {
  if (!LoadContainer(file, 2, kUnitPartGroup, owner))
    return false;
  Definition()->SelectSection("Component");
  return true;
}

void Component::UpdateAlive() {}

}  // namespace quarn
