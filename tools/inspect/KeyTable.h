#pragma once
// Which sections and keys the game reads in each kind of definition file, which files those
// keys name, and when. The data checker knows the game's files only through this table: when
// the game reads a key differently, this is the one place to change.
#include <span>
#include <vector>

namespace quarn::tools {

// What a named file is to the game, which decides how it is loaded.
enum class FileKind { None, Definition, Mesh, Picture, Sound, Music, Movie };

// What a definition file describes, which decides the sections the game reads in it.
enum class Role {
  None,
  Menu,
  Stage,
  Ground,
  Particle,
  Trajectory,
  LightAircraft,
  HeavyAircraft,
  PlayerAircraft,
  Ship,
  Airship,
  Vehicle,
  Building,
  Component,
  Engine,
  RapidWeapon,
  LockWeapon,
  ChargeWeapon,
  SelectableWeapon,
  GunBullet,
  Rocket,
};

// How the game reads a value: Count is an Int that sizes a list (at most 4096); MenuState a
// jump target of a menu (-1 none, -2 end); UnitId an Int that names a unit of the stage.
enum class ValueType { Text, Bool, Int, Float, Count, MenuState, UnitId };

// The role of the named file when flag, a key of the same section, is "true".
struct RoleChoice {
  const char* flag = nullptr;
  Role role = Role::None;
};

struct KeyRule {
  const char* name = nullptr;
  ValueType type = ValueType::Text;
  // The file the value names, and for a definition its role: role when no choice's flag is
  // true; Role::None takes the role of the section (unit placements, parts of a container).
  FileKind names = FileKind::None;
  Role role = Role::None;
  RoleChoice choices[2] = {{}, {}};
  // A Bool key of the same section (with the same index, for indexed keys) that must be
  // "true" for the game to read this key or open the file it names.
  const char* enable = nullptr;
  // Indexed keys "name_i": i below range, or below the value of countKey in the section.
  unsigned range = 0;
  const char* countKey = nullptr;
  // The key is any text followed by name, as the menus' branches ("Stage2.txt:StageFileValue").
  bool anyPrefix = false;

  constexpr KeyRule When(const char* flag) const {
    KeyRule copy = *this;
    copy.enable = flag;
    return copy;
  }
  constexpr KeyRule Range(unsigned count) const {
    KeyRule copy = *this;
    copy.range = count;
    return copy;
  }
  constexpr KeyRule CountedBy(const char* key) const {
    KeyRule copy = *this;
    copy.countKey = key;
    return copy;
  }
};

struct SectionRule {
  const char* name = nullptr;
  std::span<const KeyRule> keys;
  // Indexed sections "name_i", i below countKey of section countSection; without a count
  // section, any i (the states of a menu).
  bool indexed = false;
  const char* countSection = nullptr;
  const char* countKey = nullptr;
  // The role of files that DefineFile names here (unit placements, parts of a container).
  Role role = Role::None;
  // The value "rm" empties a slot or value here instead of naming a file (menus).
  bool rmClears = false;
};

// The four kinds of conditions of an emerge event on the units of a stage.
struct UnitCondition {
  const char* enableKey;
  const char* idKey;
  bool destroyed;  // Destructed rather than Broken
  bool holds;      // the unit must be in that state (false: must not be)
};

// The names the stage checks use, kept here beside the table that holds them.
namespace keys {
inline constexpr const char* kUnitId = "UnitID";
inline constexpr const char* kUnitCount = "UnitCount";
inline constexpr const char* kEmerge = "Emerge";
inline constexpr const char* kEmergeCount = "EmergeCount";
inline constexpr const char* kStage = "Stage";
inline constexpr const char* kLaterTimeEnable = "LaterTimeEnable";
inline constexpr const char* kLaterTime = "LaterTime";
inline constexpr const char* kSoonerTimeEnable = "SoonerTimeEnable";
inline constexpr const char* kSoonerTime = "SoonerTime";
inline constexpr const char* kGreaterEnable = "GreaterProgressPointEnable";
inline constexpr const char* kGreater = "GreaterProgressPoint";
inline constexpr const char* kLessEnable = "LessProgressPointEnable";
inline constexpr const char* kLess = "LessProgressPoint";
inline constexpr unsigned kProgressCounters = 8;
inline constexpr unsigned kUnitConditionSlots = 32;
inline constexpr const char* kMissionComplete = "MissionComplete";
inline constexpr const char* kRelativeLayoutEnable = "RelativeLayoutUnitEnable";
inline constexpr const char* kRelativeLayoutId = "RelativeLayoutUnitID";
inline constexpr const char* kRelativeDestinationEnable = "RelativeDestinationUnitEnable";
inline constexpr const char* kRelativeDestinationId = "RelativeDestinationUnitID";
inline constexpr const char* kMenuState = "State";
inline constexpr int kPlayerUnitId = -1;
}  // namespace keys

struct RootFile {
  const char* name;
  FileKind kind;
  Role role = Role::None;
};

class KeyTable {
 public:
  // Every section the game reads in a file of that role.
  static std::vector<const SectionRule*> Sections(Role role);
  // For messages: "stage file", "light aircraft file", ...
  static const char* RoleName(Role role);
  // The files the game opens by their own names, where everything else is reached from.
  static std::span<const RootFile> Roots();
  // The unit placement sections of a stage file, in the order the game creates the units.
  static std::span<const SectionRule* const> UnitPlacements();
  static std::span<const UnitCondition> UnitConditions();
};

}  // namespace quarn::tools
