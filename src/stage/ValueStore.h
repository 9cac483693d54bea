#pragma once
// The texts through which scenes pass choices to one another: nine named values and 64 free
// storage slots (the only state kept between runs, in the save file).
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quarn {

enum class ValueId {
  Scene,
  MenuFile,
  MenuState,
  StageFile,
  AircraftFile,
  PrimaryWeaponFile,
  SecondaryWeaponFile,
  MissionCompleted,
  MovieFile,
};

class ValueStore {
 public:
  static constexpr int kNamedValues = 9;
  static constexpr int kStorageSlots = 64;

  void Set(ValueId id, const std::string& text) { named_[Index(id)] = text; }
  const std::string& Get(ValueId id) const { return named_[Index(id)]; }

  // Slots outside 0..63 are ignored (set) or read as empty (get).
  void SetStorage(int slot, const std::string& text);
  const std::string& GetStorage(int slot) const;

  // The value's name as menu files write it ("SceneValue", ...), in the order above.
  static const char* Name(ValueId id);
  static std::optional<ValueId> FromName(std::string_view name);
  static ValueId ByIndex(int index) { return static_cast<ValueId>(index); }

 private:
  static int Index(ValueId id) { return static_cast<int>(id); }

  std::array<std::string, kNamedValues> named_;
  std::array<std::string, kStorageSlots> storage_;
};

}  // namespace quarn
