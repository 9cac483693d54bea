#include "KeyTable.h"

namespace quarn::tools {

namespace {

using VT = ValueType;

constexpr KeyRule Text(const char* name) {
  return {.name = name};
}
constexpr KeyRule Bool(const char* name) {
  return {.name = name, .type = VT::Bool};
}
constexpr KeyRule Int(const char* name) {
  return {.name = name, .type = VT::Int};
}
constexpr KeyRule Float(const char* name) {
  return {.name = name, .type = VT::Float};
}
constexpr KeyRule Count(const char* name) {
  return {.name = name, .type = VT::Count};
}
constexpr KeyRule UnitId(const char* name) {
  return {.name = name, .type = VT::UnitId};
}
constexpr KeyRule File(const char* name, FileKind kind) {
  return {.name = name, .names = kind};
}
constexpr KeyRule Def(const char* name, Role role) {
  return {.name = name, .names = FileKind::Definition, .role = role};
}
// A jump target of a menu state; anyPrefix for the branches on a value's text.
constexpr KeyRule Jump(const char* name, bool anyPrefix = false) {
  return {.name = name, .type = VT::MenuState, .anyPrefix = anyPrefix};
}

// --- The object chain: every unit, part, weapon and projectile file ---

constexpr KeyRule kSolidKeys[] = {
    Bool("NormalMeshEnable"),
    File("NormalMeshFile", FileKind::Mesh).When("NormalMeshEnable"),
    Bool("AlphaMeshEnable"),
    File("AlphaMeshFile", FileKind::Mesh).When("AlphaMeshEnable"),
    Bool("AdditiveBlend").When("AlphaMeshEnable"),
    Bool("CollisionMeshEnable"),
    File("CollisionMeshFile", FileKind::Mesh).When("CollisionMeshEnable"),
    Bool("ShatterParticleEnable"),
    Def("ShatterParticleFile", Role::Particle).When("ShatterParticleEnable"),
    Bool("CollisionEnable"),
    Float("ImpulsiveForce").When("CollisionEnable"),
    Bool("GroundCollisionEnable"),
    Count("IntersectRayCount"),
    Float("IntersectRayStartPointX").CountedBy("IntersectRayCount"),
    Float("IntersectRayStartPointY").CountedBy("IntersectRayCount"),
    Float("IntersectRayStartPointZ").CountedBy("IntersectRayCount"),
    Float("IntersectRayEndPointX").CountedBy("IntersectRayCount"),
    Float("IntersectRayEndPointY").CountedBy("IntersectRayCount"),
    Float("IntersectRayEndPointZ").CountedBy("IntersectRayCount"),
};

constexpr KeyRule kTargetKeys[] = {
    Bool("TargetEnable"),
    Bool("SearchTargetEnable"),
    Bool("GroundTargetEnable"),
    Bool("AirTargetEnable"),
    Bool("ImportantTargetEnable"),
    Float("TargetActiveDistance"),
    Float("SearchTargetActiveDistance"),
    Float("Armored"),
    Int("BreakProgressPoint").Range(8),
    Bool("BreakParticleEnable"),
    Def("BreakParticleFile", Role::Particle).When("BreakParticleEnable"),
    Float("MinBreakDelayTime"),
    Float("MaxBreakDelayTime"),
    Bool("BreakParticleDisable"),
    Bool("BreakExistDisable"),
    Bool("BreakSearchTargetDisable"),
};

constexpr KeyRule kContainerKeys[] = {
    Float("BreakDestructRate"), Float("BreakPowerRate"),     Count("ComponentCount"),
    Count("EngineCount"),       Count("RapidWeaponCount"),   Count("LockWeaponCount"),
    Count("ChargeWeaponCount"), Count("DestructEventCount"),
};

// A part of a container: its file (of the section's role) and its mount.
constexpr KeyRule kPartKeys[] = {
    {.name = "DefineFile", .names = FileKind::Definition},
    Float("PositionX"),
    Float("PositionY"),
    Float("PositionZ"),
    Float("OrientationH"),
    Float("OrientationP"),
    Float("OrientationB"),
};

constexpr KeyRule kDestructEventKeys[] = {
    Bool("ParticleEnable"),      Def("ParticleFile", Role::Particle).When("ParticleEnable"),
    Float("MinDelayTime"),       Float("MaxDelayTime"),
    Bool("ParticleDisable"),     Bool("ExistDisable"),
    Bool("SearchTargetDisable"), Float("DestructRate"),
    Float("PowerRate"),          Int("ProgressPoint").Range(8),
};

constexpr KeyRule kAircraftKeys[] = {
    Float("MinVelocity"),
    Float("MaxVelocity"),
    Float("AccelerationVelocityDelta"),
    Float("DecelerationVelocityDelta"),
    Float("MaxUpPitchRotationally"),
    Float("MaxDownPitchRotationally"),
    Float("MaxHeadRotationally"),
    Float("MaxBankRotationally"),
    Int("CrashEventIndex"),
};

// Airships, ships and vehicles.
constexpr KeyRule kHeadingMoverKeys[] = {
    Float("MinVelocity"),
    Float("MaxVelocity"),
    Float("AccelerationVelocityDelta"),
    Float("DecelerationVelocityDelta"),
    Float("MaxHeadRotationally"),
};

constexpr KeyRule kPlayerAircraftKeys[] = {
    Float("ThrottleActiveTimeRate"),
    Float("RollingActiveTimeRate"),
    Bool("OverheatParticleEnable"),
    Def("OverheatParticle", Role::Particle).When("OverheatParticleEnable"),
    Float("RollingDownTime"),
    Float("RollingRotationallyDelta"),
    Float("RollingVelocityDelta"),
    Int("RollingCount"),
    Bool("RollingTrajectoryEnable"),
    Def("RollingTrajectoryFile", Role::Trajectory).When("RollingTrajectoryEnable"),
};

constexpr KeyRule kEngineKeys[] = {
    Bool("ExhaustParticleEnable"),
    Def("ExhaustParticleFile", Role::Particle).When("ExhaustParticleEnable"),
    Bool("FlashMeshEnable"),
    File("FlashMeshFile", FileKind::Mesh).When("FlashMeshEnable"),
    Bool("EngineSoundEnable"),
    File("EngineSoundFile", FileKind::Sound).When("EngineSoundEnable"),
    Float("EngineSoundMinDistance"),
    Float("EngineSoundMaxDistance"),
    Float("MinPropellerRotationally"),
    Float("MaxPropellerRotationally"),
    Count("PropellerCount"),
};

constexpr KeyRule kPropellerKeys[] = {
    Float("PositionX"),        Float("PositionY"),
    Float("PositionZ"),        File("MeshFile", FileKind::Mesh),
    Bool("ClockwiseRotation"),
};

constexpr KeyRule kWeaponKeys[] = {
    Bool("HeadMeshEnable"),
    File("HeadMeshFile", FileKind::Mesh).When("HeadMeshEnable"),
    Bool("PitchMeshEnable"),
    File("PitchMeshFile", FileKind::Mesh).When("PitchMeshEnable"),
    Float("HeadPositionX"),
    Float("HeadPositionY"),
    Float("HeadPositionZ"),
    Float("PitchPositionX"),
    Float("PitchPositionY"),
    Float("PitchPositionZ"),
    Float("MaxLeftHeadAngle"),
    Float("MaxRightHeadAngle"),
    Float("MaxUpPitchAngle"),
    Float("MaxDownPitchAngle"),
    Float("HeadRotationally"),
    Float("PitchRotationally"),
    Float("SightDistance"),
    Bool("CenteringEnable"),
    Bool("RocketBulletEnable"),
    {.name = "BulletFile",
     .names = FileKind::Definition,
     .role = Role::GunBullet,
     .choices = {{"RocketBulletEnable", Role::Rocket}}},
    Count("BulletPoolCount"),
    Count("PortCount"),
    Float("PortPositionX").CountedBy("PortCount"),
    Float("PortPositionY").CountedBy("PortCount"),
    Float("PortPositionZ").CountedBy("PortCount"),
    Bool("ExhaustParticleEnable"),
    Def("ExhaustParticleFile", Role::Particle).When("ExhaustParticleEnable"),
    Bool("FlashMeshEnable"),
    File("FlashMeshFile", FileKind::Mesh).When("FlashMeshEnable"),
    Bool("FireSoundEnable"),
    File("FireSoundFile", FileKind::Sound).When("FireSoundEnable"),
    Float("FireSoundMinDistance"),
    Float("FireSoundMaxDistance"),
    Int("FullLoadCount"),
    Int("MaxFirableCount"),
    Int("MinFirableCount"),
    Float("LoadTime"),
    Int("LoadCount"),
    Bool("BulletVisible"),
    Float("PredictFireRate"),
    Float("ReferenceBulletVelocity"),
};

constexpr KeyRule kRapidWeaponKeys[] = {
    Float("RapidFireIntervalTime"),
    Float("FireDistance"),
    Float("FireAngle"),
};

constexpr KeyRule kLockWeaponKeys[] = {
    Float("LockDistance"),    Float("LockAngle"),    Float("LockTime"),
    Bool("AntiGroundEnable"), Bool("AntiAirEnable"),
};

constexpr KeyRule kChargeWeaponKeys[] = {
    Float("ChargeTime"),
    Float("FireDistance"),
    Float("FireAngle"),
};

constexpr KeyRule kSelectableWeaponKeys[] = {
    Bool("RapidWeaponEnable"),
    Bool("LockWeaponEnable"),
    {.name = "DefineFile",
     .names = FileKind::Definition,
     .role = Role::ChargeWeapon,
     .choices = {{"RapidWeaponEnable", Role::RapidWeapon}, {"LockWeaponEnable", Role::LockWeapon}}},
    Float("PositionX"),
    Float("PositionY"),
    Float("PositionZ"),
    Float("OrientationH"),
    Float("OrientationP"),
    Float("OrientationB"),
    File("HUDTextureFile", FileKind::Picture),
};

constexpr KeyRule kBulletKeys[] = {
    Bool("LightingEnable"),
    Bool("FollowParticleEnable"),
    Def("FollowParticleFile", Role::Particle).When("FollowParticleEnable"),
    Bool("FollowTrajectoryEnable"),
    Def("FollowTrajectoryFile", Role::Trajectory).When("FollowTrajectoryEnable"),
    Bool("BurstParticleEnable"),
    Def("BurstParticleFile", Role::Particle).When("BurstParticleEnable"),
    Float("FireVariability"),
    Float("DisappearDistance"),
    Bool("DisappearBurstEnable"),
    Bool("ProximityFuseEnable"),
    Float("MinProximityFuseDistance").When("ProximityFuseEnable"),
    Float("MaxProximityFuseDistance").When("ProximityFuseEnable"),
    Bool("HomingEnable"),
    Float("PredictHomingRate").When("HomingEnable"),
    Float("MaxPitchRotationally").When("HomingEnable"),
    Float("MaxHeadRotationally").When("HomingEnable"),
    Count("IntersectRayCount"),
    Float("IntersectRayPositionX").CountedBy("IntersectRayCount"),
    Float("IntersectRayPositionY").CountedBy("IntersectRayCount"),
    Float("IntersectRayPositionZ").CountedBy("IntersectRayCount"),
};

constexpr KeyRule kGunKeys[] = {Float("InitialVelocity")};

constexpr KeyRule kRocketKeys[] = {
    Float("Dispersion"),      Float("FinalVelocity"),   Float("VelocityDelta"),
    Float("MinIgnitionTime"), Float("MaxIgnitionTime"),
};

// --- Effects ---

constexpr KeyRule kParticleKeys[] = {
    Bool("ParticleSoundEnable"),
    File("ParticleSoundFile", FileKind::Sound).When("ParticleSoundEnable"),
    Float("ParticleSoundMinDistance").When("ParticleSoundEnable"),
    Float("ParticleSoundMaxDistance").When("ParticleSoundEnable"),
    Bool("CollisionEnable"),
    Float("CollisionDistance").When("CollisionEnable"),
    Float("MinCollisionTime").When("CollisionEnable"),
    Float("MaxCollisionTime").When("CollisionEnable"),
    Float("ImpulsiveForce").When("CollisionEnable"),
    Count("ParticleCount"),
};

constexpr KeyRule kEmitterKeys[] = {
    File("Texture", FileKind::Picture),
    Int("AnimationCount"),
    Int("VariationCount"),
    Bool("AdditiveBlend"),
    Float("EmitTime"),
    Float("EmitRate"),
    Float("Inertia"),
    Float("LifeTime"),
    Float("PositionMinX"),
    Float("PositionMinY"),
    Float("PositionMinZ"),
    Float("PositionMaxX"),
    Float("PositionMaxY"),
    Float("PositionMaxZ"),
    Float("DirectionMinX"),
    Float("DirectionMinY"),
    Float("DirectionMinZ"),
    Float("DirectionMaxX"),
    Float("DirectionMaxY"),
    Float("DirectionMaxZ"),
    Float("VelocityMin"),
    Float("VelocityMax"),
    Float("Vertically"),
    Float("ColorR"),
    Float("ColorG"),
    Float("ColorB"),
    Float("ColorA"),
    Float("SizeMin"),
    Float("SizeMax"),
    Float("VelocityDelta"),
    Float("VerticallyDelta"),
    Float("ColorDeltaR"),
    Float("ColorDeltaG"),
    Float("ColorDeltaB"),
    Float("ColorDeltaA"),
    Float("SizeDelta"),
};

constexpr KeyRule kTrajectoryKeys[] = {Count("TrajectoryCount")};

constexpr KeyRule kTrailKeys[] = {
    File("Texture", FileKind::Picture),
    Bool("AdditiveBlend"),
    Float("EmitRate"),
    Float("LifeTime"),
    Float("PositionMinX"),
    Float("PositionMinY"),
    Float("PositionMinZ"),
    Float("PositionMaxX"),
    Float("PositionMaxY"),
    Float("PositionMaxZ"),
    Float("ColorR"),
    Float("ColorG"),
    Float("ColorB"),
    Float("ColorA"),
    Float("Size"),
    Float("ColorDeltaR"),
    Float("ColorDeltaG"),
    Float("ColorDeltaB"),
    Float("ColorDeltaA"),
    Float("SizeDelta"),
};

// --- Stages and grounds ---

constexpr KeyRule kSceneKeys[] = {
    Bool("FogEnable"),
    Float("FogColorR").When("FogEnable"),
    Float("FogColorG").When("FogEnable"),
    Float("FogColorB").When("FogEnable"),
    Float("FogColorA").When("FogEnable"),
    Float("FogStartDistance").When("FogEnable"),
    Float("FogEndDistance").When("FogEnable"),
    Bool("SkyMeshEnable"),
    File("SkyMeshFile", FileKind::Mesh).When("SkyMeshEnable"),
    Bool("GroundEnable"),
    Def("GroundFile", Role::Ground).When("GroundEnable"),
    Bool("EnvironParticleEnable"),
    Def("EnvironParticleFile", Role::Particle).When("EnvironParticleEnable"),
    Bool("EnvironParticleFollowCamera").When("EnvironParticleEnable"),
    Count("DirectionalLightCount"),
};

constexpr KeyRule kLightKeys[] = {
    Float("DirectionX"),    Float("DirectionY"),    Float("DirectionZ"),    Float("DiffuseColorR"),
    Float("DiffuseColorG"), Float("DiffuseColorB"), Float("DiffuseColorA"), Float("AmbientColorR"),
    Float("AmbientColorG"), Float("AmbientColorB"), Float("AmbientColorA"),
};

constexpr KeyRule kStageKeys[] = {
    File("FadeInTextureFile", FileKind::Picture),
    File("FadeOutTextureFile", FileKind::Picture),
    File("MusicFile", FileKind::Music),
    Count("LightAircraftCount"),
    Count("HeavyAircraftCount"),
    Count("ShipCount"),
    Count("AirshipCount"),
    Count("VehicleCount"),
    Count("BuildingCount"),
    Count(keys::kEmergeCount),
};

constexpr KeyRule kPlayerPlacementKeys[] = {
    Float("LayoutPositionX"),    Float("LayoutPositionY"),    Float("LayoutPositionZ"),
    Float("LayoutOrientationH"), Float("LayoutOrientationP"), Float("LayoutOrientationB"),
    Float("AreaOuterDistance"),  Float("AreaInnerDistance"),  Float("MaxHeight"),
    Float("MinHeight"),          Float("AvoidDistance"),      Float("ActiveTimeLimit"),
};

// A unit of the stage: its file (of the section's role), identity, layout and destination.
constexpr KeyRule kUnitPlacementKeys[] = {
    {.name = "DefineFile", .names = FileKind::Definition},
    Int(keys::kUnitId),
    Bool("AreaUnitEnable"),
    Bool(keys::kRelativeLayoutEnable),
    UnitId(keys::kRelativeLayoutId).When(keys::kRelativeLayoutEnable),
    Float("LayoutPositionX"),
    Float("LayoutPositionY"),
    Float("LayoutPositionZ"),
    Float("LayoutOrientationH"),
    Float("LayoutOrientationP"),
    Float("LayoutOrientationB"),
    Bool(keys::kRelativeDestinationEnable),
    UnitId(keys::kRelativeDestinationId).When(keys::kRelativeDestinationEnable),
    Float("DestinationPositionX"),
    Float("DestinationPositionY"),
    Float("DestinationPositionZ"),
    Float("AreaOuterDistance"),
    Float("AreaInnerDistance"),
    Float("MaxHeight"),
    Float("MinHeight"),
    Float("AvoidDistance"),
};

constexpr UnitCondition kUnitConditions[] = {
    {"BreakUnitEnable", "BreakUnitID", false, true},
    {"DestructUnitEnable", "DestructUnitID", true, true},
    {"UnbreakUnitEnable", "UnbreakUnitID", false, false},
    {"UndestructUnitEnable", "UndestructUnitID", true, false},
};

constexpr KeyRule kEmergeKeys[] = {
    Bool(keys::kLaterTimeEnable),
    Float(keys::kLaterTime).When(keys::kLaterTimeEnable),
    Bool(keys::kSoonerTimeEnable),
    Float(keys::kSoonerTime).When(keys::kSoonerTimeEnable),
    Bool(keys::kGreaterEnable).Range(keys::kProgressCounters),
    Int(keys::kGreater).Range(keys::kProgressCounters).When(keys::kGreaterEnable),
    Bool(keys::kLessEnable).Range(keys::kProgressCounters),
    Int(keys::kLess).Range(keys::kProgressCounters).When(keys::kLessEnable),
    Bool(kUnitConditions[0].enableKey).Range(keys::kUnitConditionSlots),
    UnitId(kUnitConditions[0].idKey)
        .Range(keys::kUnitConditionSlots)
        .When(kUnitConditions[0].enableKey),
    Bool(kUnitConditions[1].enableKey).Range(keys::kUnitConditionSlots),
    UnitId(kUnitConditions[1].idKey)
        .Range(keys::kUnitConditionSlots)
        .When(kUnitConditions[1].enableKey),
    Bool(kUnitConditions[2].enableKey).Range(keys::kUnitConditionSlots),
    UnitId(kUnitConditions[2].idKey)
        .Range(keys::kUnitConditionSlots)
        .When(kUnitConditions[2].enableKey),
    Bool(kUnitConditions[3].enableKey).Range(keys::kUnitConditionSlots),
    UnitId(kUnitConditions[3].idKey)
        .Range(keys::kUnitConditionSlots)
        .When(kUnitConditions[3].enableKey),
    Bool(keys::kMissionComplete),
    Count(keys::kUnitCount),
    UnitId(keys::kUnitId).CountedBy(keys::kUnitCount),
};

constexpr KeyRule kGroundKeys[] = {
    Float("FogStartDistance"),
    Float("FogEndDistance"),
    Bool("RepeatMeshEnable"),
    File("RepeatMeshFile", FileKind::Mesh).When("RepeatMeshEnable"),
    Bool("NormalMeshEnable"),
    File("NormalMeshFile", FileKind::Mesh).When("NormalMeshEnable"),
    Bool("AlphaMeshEnable"),
    File("AlphaMeshFile", FileKind::Mesh).When("AlphaMeshEnable"),
    Bool("AdditiveBlend").When("AlphaMeshEnable"),
    Count("CollisionCount"),
};

constexpr KeyRule kGroundCollisionKeys[] = {
    File("MeshFile", FileKind::Mesh),
    Bool("ShatterParticleEnable"),
    Def("ShatterParticleFile", Role::Particle).When("ShatterParticleEnable"),
    Float("ImpulsiveForce"),
};

// --- Menus ---

constexpr KeyRule kMenuStateKeys[] = {
    File("ImageFile", FileKind::Picture).Range(16),
    Int("ImageSrcX").Range(16),
    Int("ImageSrcY").Range(16),
    Int("ImageSrcW").Range(16),
    Int("ImageSrcH").Range(16),
    Int("ImageDstX").Range(16),
    Int("ImageDstY").Range(16),
    File("SoundFile", FileKind::Sound),
    File("MusicFile", FileKind::Music),
    Float("MusicFadeTime"),
    Float("TransitTime"),
    Bool("TransitSkipEnable"),
    Float("TimeoutTime"),
    Jump(":Timeout"),
    Jump("Up:Button"),
    Jump("Down:Button"),
    Jump("Left:Button"),
    Jump("Right:Button"),
    Jump("OK:Button"),
    Jump("Cancel:Button"),
    Text("LocalValue").Range(32),
    Text("SceneValue"),
    Def("MenuFileValue", Role::Menu),
    Text("MenuStateValue"),
    Def("StageFileValue", Role::Stage),
    Def("AircraftFileValue", Role::PlayerAircraft),
    Def("PrimaryWeaponFileValue", Role::SelectableWeapon),
    Def("SecondaryWeaponFileValue", Role::SelectableWeapon),
    Text("MissionCompletedValue"),
    File("MovieFileValue", FileKind::Movie),
    Text("StorageValue").Range(64),
    Jump(":LocalValue", true).Range(32),
    Jump(":SceneValue", true),
    Jump(":MenuFileValue", true),
    Jump(":MenuStateValue", true),
    Jump(":StageFileValue", true),
    Jump(":AircraftFileValue", true),
    Jump(":PrimaryWeaponFileValue", true),
    Jump(":SecondaryWeaponFileValue", true),
    Jump(":MissionCompletedValue", true),
    Jump(":MovieFileValue", true),
    Jump(":StorageValue", true).Range(64),
};

// --- Sections ---

constexpr SectionRule kModel{"Model", {}};
constexpr SectionRule kSolid{"Solid", kSolidKeys};
constexpr SectionRule kTarget{"Target", kTargetKeys};
constexpr SectionRule kContainer{"Container", kContainerKeys};
constexpr SectionRule Part(const char* name, const char* countKey, Role role) {
  return {.name = name,
          .keys = kPartKeys,
          .indexed = true,
          .countSection = "Container",
          .countKey = countKey,
          .role = role};
}
constexpr SectionRule kComponentPart = Part("Component", "ComponentCount", Role::Component);
constexpr SectionRule kEnginePart = Part("Engine", "EngineCount", Role::Engine);
constexpr SectionRule kRapidPart = Part("RapidWeapon", "RapidWeaponCount", Role::RapidWeapon);
constexpr SectionRule kLockPart = Part("LockWeapon", "LockWeaponCount", Role::LockWeapon);
constexpr SectionRule kChargePart = Part("ChargeWeapon", "ChargeWeaponCount", Role::ChargeWeapon);
constexpr SectionRule kDestructEvent{.name = "DestructEvent",
                                     .keys = kDestructEventKeys,
                                     .indexed = true,
                                     .countSection = "Container",
                                     .countKey = "DestructEventCount"};
constexpr SectionRule kUnit{"Unit", {}};
constexpr SectionRule kAircraft{"Aircraft", kAircraftKeys};
constexpr SectionRule kPlayerAircraft{"PlayerAircraft", kPlayerAircraftKeys};
constexpr SectionRule kAirship{"Airship", kHeadingMoverKeys};
constexpr SectionRule kShip{"Ship", kHeadingMoverKeys};
constexpr SectionRule kVehicle{"Vehicle", kHeadingMoverKeys};
constexpr SectionRule kBuilding{"Building", {}};
constexpr SectionRule kComponent{"Component", {}};
constexpr SectionRule kEngine{"Engine", kEngineKeys};
constexpr SectionRule kPropeller{.name = "Propeller",
                                 .keys = kPropellerKeys,
                                 .indexed = true,
                                 .countSection = "Engine",
                                 .countKey = "PropellerCount"};
constexpr SectionRule kWeapon{"Weapon", kWeaponKeys};
constexpr SectionRule kRapidWeapon{"RapidWeapon", kRapidWeaponKeys};
constexpr SectionRule kLockWeapon{"LockWeapon", kLockWeaponKeys};
constexpr SectionRule kChargeWeapon{"ChargeWeapon", kChargeWeaponKeys};
constexpr SectionRule kSelectableWeapon{"SelectableWeapon", kSelectableWeaponKeys};
constexpr SectionRule kBullet{"Bullet", kBulletKeys};
constexpr SectionRule kGun{"Gun", kGunKeys};
constexpr SectionRule kRocket{"Rocket", kRocketKeys};
constexpr SectionRule kParticle{"Particle", kParticleKeys};
constexpr SectionRule kEmitter{.name = "Particle",
                               .keys = kEmitterKeys,
                               .indexed = true,
                               .countSection = "Particle",
                               .countKey = "ParticleCount"};
constexpr SectionRule kTrajectory{"Trajectory", kTrajectoryKeys};
constexpr SectionRule kTrail{.name = "Trajectory",
                             .keys = kTrailKeys,
                             .indexed = true,
                             .countSection = "Trajectory",
                             .countKey = "TrajectoryCount"};
constexpr SectionRule kScene{"Scene", kSceneKeys};
constexpr SectionRule kLight{.name = "DirectionalLight",
                             .keys = kLightKeys,
                             .indexed = true,
                             .countSection = "Scene",
                             .countKey = "DirectionalLightCount"};
constexpr SectionRule kStage{keys::kStage, kStageKeys};
constexpr SectionRule kPlayerPlacement{"PlayerAircraft", kPlayerPlacementKeys};
constexpr SectionRule Placement(const char* name, const char* countKey, Role role) {
  return {.name = name,
          .keys = kUnitPlacementKeys,
          .indexed = true,
          .countSection = keys::kStage,
          .countKey = countKey,
          .role = role};
}
constexpr SectionRule kLightAircraftPlacement =
    Placement("LightAircraft", "LightAircraftCount", Role::LightAircraft);
constexpr SectionRule kHeavyAircraftPlacement =
    Placement("HeavyAircraft", "HeavyAircraftCount", Role::HeavyAircraft);
constexpr SectionRule kShipPlacement = Placement("Ship", "ShipCount", Role::Ship);
constexpr SectionRule kAirshipPlacement = Placement("Airship", "AirshipCount", Role::Airship);
constexpr SectionRule kVehiclePlacement = Placement("Vehicle", "VehicleCount", Role::Vehicle);
constexpr SectionRule kBuildingPlacement = Placement("Building", "BuildingCount", Role::Building);
constexpr SectionRule kEmerge{.name = keys::kEmerge,
                              .keys = kEmergeKeys,
                              .indexed = true,
                              .countSection = keys::kStage,
                              .countKey = keys::kEmergeCount};
constexpr SectionRule kGround{"Ground", kGroundKeys};
constexpr SectionRule kGroundCollision{.name = "Collision",
                                       .keys = kGroundCollisionKeys,
                                       .indexed = true,
                                       .countSection = "Ground",
                                       .countKey = "CollisionCount"};
constexpr SectionRule kMenuState{
    .name = keys::kMenuState, .keys = kMenuStateKeys, .indexed = true, .rmClears = true};

// --- Roles: the levels of the object chain each kind of file goes through ---

constexpr const SectionRule* kContainerLevels[] = {
    &kModel,      &kSolid,     &kTarget,   &kContainer,  &kComponentPart,
    &kEnginePart, &kRapidPart, &kLockPart, &kChargePart, &kDestructEvent,
};
constexpr const SectionRule* kUnitLevels[] = {
    &kModel,     &kSolid,    &kTarget,     &kContainer,     &kComponentPart, &kEnginePart,
    &kRapidPart, &kLockPart, &kChargePart, &kDestructEvent, &kUnit,
};
constexpr const SectionRule* kModelLevel[] = {&kModel};
constexpr const SectionRule* kBulletLevels[] = {&kModel, &kSolid, &kBullet};

constexpr const SectionRule* kMenuSections[] = {&kMenuState};
constexpr const SectionRule* kStageSections[] = {
    &kScene,
    &kLight,
    &kStage,
    &kPlayerPlacement,
    &kLightAircraftPlacement,
    &kHeavyAircraftPlacement,
    &kShipPlacement,
    &kAirshipPlacement,
    &kVehiclePlacement,
    &kBuildingPlacement,
    &kEmerge,
};
constexpr const SectionRule* kGroundSections[] = {&kGround, &kGroundCollision};
constexpr const SectionRule* kParticleSections[] = {&kParticle, &kEmitter};
constexpr const SectionRule* kTrajectorySections[] = {&kTrajectory, &kTrail};
constexpr const SectionRule* kAircraftSections[] = {&kAircraft};
constexpr const SectionRule* kPlayerAircraftSections[] = {&kAircraft, &kPlayerAircraft};
constexpr const SectionRule* kShipSections[] = {&kShip};
constexpr const SectionRule* kAirshipSections[] = {&kAirship};
constexpr const SectionRule* kVehicleSections[] = {&kVehicle};
constexpr const SectionRule* kBuildingSections[] = {&kBuilding};
constexpr const SectionRule* kComponentSections[] = {&kComponent};
constexpr const SectionRule* kEngineSections[] = {&kEngine, &kPropeller};
constexpr const SectionRule* kRapidWeaponSections[] = {&kWeapon, &kRapidWeapon};
constexpr const SectionRule* kLockWeaponSections[] = {&kWeapon, &kLockWeapon};
constexpr const SectionRule* kChargeWeaponSections[] = {&kWeapon, &kChargeWeapon};
constexpr const SectionRule* kSelectableWeaponSections[] = {&kSelectableWeapon};
constexpr const SectionRule* kGunSections[] = {&kGun};
constexpr const SectionRule* kRocketSections[] = {&kRocket};

struct RoleRule {
  Role role;
  const char* name;
  // The levels the object's class derives from, then its own sections.
  std::span<const SectionRule* const> inherited;
  std::span<const SectionRule* const> own;
};

constexpr RoleRule kRoles[] = {
    {Role::Menu, "menu file", {}, kMenuSections},
    {Role::Stage, "stage file", {}, kStageSections},
    {Role::Ground, "ground file", {}, kGroundSections},
    {Role::Particle, "particle file", kModelLevel, kParticleSections},
    {Role::Trajectory, "trajectory file", kModelLevel, kTrajectorySections},
    {Role::LightAircraft, "light aircraft file", kUnitLevels, kAircraftSections},
    {Role::HeavyAircraft, "heavy aircraft file", kUnitLevels, kAircraftSections},
    {Role::PlayerAircraft, "player aircraft file", kUnitLevels, kPlayerAircraftSections},
    {Role::Ship, "ship file", kUnitLevels, kShipSections},
    {Role::Airship, "airship file", kUnitLevels, kAirshipSections},
    {Role::Vehicle, "vehicle file", kUnitLevels, kVehicleSections},
    {Role::Building, "building file", kUnitLevels, kBuildingSections},
    {Role::Component, "component file", kContainerLevels, kComponentSections},
    {Role::Engine, "engine file", kContainerLevels, kEngineSections},
    {Role::RapidWeapon, "rapid weapon file", kContainerLevels, kRapidWeaponSections},
    {Role::LockWeapon, "lock weapon file", kContainerLevels, kLockWeaponSections},
    {Role::ChargeWeapon, "charge weapon file", kContainerLevels, kChargeWeaponSections},
    {Role::SelectableWeapon, "selectable weapon file", {}, kSelectableWeaponSections},
    {Role::GunBullet, "gun bullet file", kBulletLevels, kGunSections},
    {Role::Rocket, "rocket file", kBulletLevels, kRocketSections},
};

const RoleRule* FindRole(Role role) {
  for (const RoleRule& rule : kRoles) {
    if (rule.role == role)
      return &rule;
  }
  return nullptr;
}

constexpr const SectionRule* kUnitPlacements[] = {
    &kLightAircraftPlacement, &kHeavyAircraftPlacement, &kShipPlacement,
    &kAirshipPlacement,       &kVehiclePlacement,       &kBuildingPlacement,
};

// The first menu, and the stage HUD's own pictures and alarm sound.
constexpr RootFile kRoots[] = {
    {"SystemMenu.txt", FileKind::Definition, Role::Menu},
    {"HUD.png", FileKind::Picture},
    {"Number.png", FileKind::Picture},
    {"Message.png", FileKind::Picture},
    {"Alert.wav", FileKind::Sound},
};

}  // namespace

std::vector<const SectionRule*> KeyTable::Sections(Role role) {
  std::vector<const SectionRule*> sections;
  if (const RoleRule* rule = FindRole(role)) {
    sections.assign(rule->inherited.begin(), rule->inherited.end());
    sections.insert(sections.end(), rule->own.begin(), rule->own.end());
  }
  return sections;
}

const char* KeyTable::RoleName(Role role) {
  const RoleRule* rule = FindRole(role);
  return rule != nullptr ? rule->name : "file";
}

std::span<const RootFile> KeyTable::Roots() {
  return kRoots;
}

std::span<const SectionRule* const> KeyTable::UnitPlacements() {
  return kUnitPlacements;
}

std::span<const UnitCondition> KeyTable::UnitConditions() {
  return kUnitConditions;
}

}  // namespace quarn::tools
