#include "stage/ValueStore.h"

namespace quarn {

namespace {
constexpr const char* kNames[ValueStore::kNamedValues] = {
    "SceneValue",
    "MenuFileValue",
    "MenuStateValue",
    "StageFileValue",
    "AircraftFileValue",
    "PrimaryWeaponFileValue",
    "SecondaryWeaponFileValue",
    "MissionCompletedValue",
    "MovieFileValue",
};
const std::string kEmpty;
}  // namespace

void ValueStore::SetStorage(int slot, const std::string& text) {
  if (slot >= 0 && slot < kStorageSlots)
    storage_[slot] = text;
}

const std::string& ValueStore::GetStorage(int slot) const {
  return slot >= 0 && slot < kStorageSlots ? storage_[slot] : kEmpty;
}

const char* ValueStore::Name(ValueId id) {
  return kNames[Index(id)];
}

std::optional<ValueId> ValueStore::FromName(std::string_view name) {
  for (int i = 0; i < kNamedValues; ++i) {
    if (name == kNames[i])
      return ByIndex(i);
  }
  return std::nullopt;
}

}  // namespace quarn
