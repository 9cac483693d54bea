#include "BenchFiles.h"

#include <sstream>

namespace quarn::bench {

namespace {
struct Vec {
  float x, y, z;
};

void Write(std::ostringstream& out, const Vec& v, bool last) {
  out << "  " << v.x << ";" << v.y << ";" << v.z << ";" << (last ? ";" : ",") << "\n";
}
}  // namespace

std::string DefinitionText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

std::string BoxMeshFile(float halfX, float halfY, float halfZ) {
  const Vec normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  std::vector<Vec> positions, vertexNormals;
  std::vector<int> triangles;
  for (const Vec& n : normals) {
    // Two axes across the side with u x v = n, so that the corners below wind outward.
    const Vec u = n.x != 0 ? Vec{0, 0, -n.x} : n.y != 0 ? Vec{n.y, 0, 0} : Vec{n.z, 0, 0};
    const Vec v = {n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z, n.x * u.y - n.y * u.x};
    const int base = static_cast<int>(positions.size());
    for (int corner = 0; corner < 4; ++corner) {
      const float su = (corner & 1) != 0 ? 1.0f : -1.0f;
      const float sv = (corner & 2) != 0 ? 1.0f : -1.0f;
      positions.push_back({(n.x + su * u.x + sv * v.x) * halfX, (n.y + su * u.y + sv * v.y) * halfY,
                           (n.z + su * u.z + sv * v.z) * halfZ});
      vertexNormals.push_back(n);
    }
    triangles.insert(triangles.end(), {base, base + 1, base + 2, base + 1, base + 3, base + 2});
  }
  std::ostringstream out;
  auto writeFaces = [&] {
    const size_t count = triangles.size() / 3;
    out << "  " << count << ";\n";
    for (size_t t = 0; t < count; ++t) {
      out << "  3;" << triangles[3 * t] << "," << triangles[3 * t + 1] << ","
          << triangles[3 * t + 2] << ";" << (t + 1 == count ? ";" : ",") << "\n";
    }
  };
  out << "xof 0303txt 0032\nMesh Box {\n  " << positions.size() << ";\n";
  for (size_t i = 0; i < positions.size(); ++i)
    Write(out, positions[i], i + 1 == positions.size());
  writeFaces();
  out << " MeshNormals {\n  " << vertexNormals.size() << ";\n";
  for (size_t i = 0; i < vertexNormals.size(); ++i)
    Write(out, vertexNormals[i], i + 1 == vertexNormals.size());
  writeFaces();
  out << " }\n MeshMaterialList {\n  1;\n  12;\n";
  for (int f = 0; f < 12; ++f)
    out << "  0" << (f == 11 ? ";" : ",") << "\n";
  out << "  Material {\n   0.5;0.5;0.5;1.0;;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n  }\n";
  out << " }\n}\n";
  return out.str();
}

namespace {
std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A solid whose normal and collision mesh is mesh.
std::vector<std::string> MeshSolid(const std::string& mesh, float impulsiveForce) {
  return {"[Solid]",
          "NormalMeshEnable=true",
          "NormalMeshFile=" + mesh,
          "CollisionMeshEnable=true",
          "CollisionMeshFile=" + mesh,
          "CollisionEnable=true",
          "ImpulsiveForce=" + std::to_string(impulsiveForce)};
}

std::vector<std::string> AirTarget(float armored) {
  return {"[Target]",
          "TargetEnable=true",
          "SearchTargetEnable=true",
          "AirTargetEnable=true",
          "TargetActiveDistance=8000",
          "SearchTargetActiveDistance=8000",
          "Armored=" + std::to_string(armored)};
}

const std::vector<std::string> kFlight = {
    "[Aircraft]",
    "MinVelocity=8",
    "MaxVelocity=16",
    "AccelerationVelocityDelta=0.5",
    "DecelerationVelocityDelta=0.5",
    "MaxUpPitchRotationally=2",
    "MaxDownPitchRotationally=2",
    "MaxHeadRotationally=1.5",
    "MaxBankRotationally=4",
};

// A nose probe: what an aircraft rams, it hits.
const std::vector<std::string> kNoseRay = {"IntersectRayCount=1", "IntersectRayStartPointZ_0=8",
                                           "IntersectRayEndPointZ_0=12"};

std::vector<std::string> Shell(float impulsiveForce) {
  return {"[Solid]",  "CollisionEnable=true",   "ImpulsiveForce=" + std::to_string(impulsiveForce),
          "[Bullet]", "DisappearDistance=3000", "IntersectRayCount=1",
          "[Gun]",    "InitialVelocity=1500"};
}
}  // namespace

Records CombatFiles() {
  Records files = {
      {"Hull.x", BoxMeshFile(4, 1.5f, 8)},
      {"Wing.x", BoxMeshFile(5, 0.4f, 2)},
      {"TurretHead.x", BoxMeshFile(1.2f, 0.8f, 1.2f)},
      {"TurretBarrel.x", BoxMeshFile(0.3f, 0.3f, 2)},
  };
  auto add = [&files](const std::string& name, const std::vector<std::string>& lines) {
    files.emplace_back(name, DefinitionText(lines));
  };
  add("Fighter.txt", Join(Join(Join(MeshSolid("Hull.x", 10), kNoseRay), AirTarget(1000)),
                          Join({"[Container]", "ComponentCount=2", "RapidWeaponCount=2",  //
                                "[Component_0]", "DefineFile=Wing.txt", "PositionX=-9",   //
                                "[Component_1]", "DefineFile=Wing.txt", "PositionX=9",    //
                                "[RapidWeapon_0]", "DefineFile=Turret.txt", "PositionY=1.5",
                                "PositionZ=4", "[RapidWeapon_1]", "DefineFile=Turret.txt",
                                "PositionY=-1.5", "PositionZ=-4", "OrientationB=180"},
                               kFlight)));
  add("Bomber.txt",
      Join(Join(MeshSolid("Hull.x", 10), AirTarget(3000)),
           Join({"[Container]", "ComponentCount=4",                       //
                 "[Component_0]", "DefineFile=Wing.txt", "PositionX=-9",  //
                 "[Component_1]", "DefineFile=Wing.txt", "PositionX=9",   //
                 "[Component_2]", "DefineFile=Wing.txt", "PositionX=-5", "PositionZ=-7",
                 "[Component_3]", "DefineFile=Wing.txt", "PositionX=5", "PositionZ=-7"},
                kFlight)));
  add("Drone.txt", Join(Join(Join(MeshSolid("Hull.x", 10), kNoseRay), AirTarget(1000)), kFlight));
  add("Player.txt", Join(Join(Join(MeshSolid("Hull.x", 10), kNoseRay), AirTarget(100000)),
                         Join(kFlight, {"[PlayerAircraft]"})));
  add("Wing.txt", Join(MeshSolid("Wing.x", 5), {"[Target]", "Armored=200"}));
  // Fires only inside 100 units, where the benchmarks never bring the player: the turrets
  // select and aim without filling the scene with shells.
  add("Turret.txt", {"[Solid]",
                     "CollisionEnable=true",
                     "ImpulsiveForce=5",
                     "[Target]",
                     "Armored=100",
                     "[Weapon]",
                     "HeadMeshEnable=true",
                     "HeadMeshFile=TurretHead.x",
                     "PitchMeshEnable=true",
                     "PitchMeshFile=TurretBarrel.x",
                     "HeadPositionY=0.8",
                     "PitchPositionY=0.6",
                     "MaxLeftHeadAngle=150",
                     "MaxRightHeadAngle=150",
                     "MaxUpPitchAngle=85",
                     "MaxDownPitchAngle=20",
                     "HeadRotationally=3",
                     "PitchRotationally=2",
                     "SightDistance=5000",
                     "CenteringEnable=true",
                     "BulletFile=EnemyShell.txt",
                     "PortCount=2",
                     "PortPositionX_0=-0.2",
                     "PortPositionZ_0=2",
                     "PortPositionX_1=0.2",
                     "PortPositionZ_1=2",
                     "FullLoadCount=40",
                     "MaxFirableCount=2",
                     "MinFirableCount=1",
                     "LoadTime=0.1",
                     "LoadCount=2",
                     "PredictFireRate=1",
                     "ReferenceBulletVelocity=1200",
                     "[RapidWeapon]",
                     "RapidFireIntervalTime=0.15",
                     "FireDistance=100",
                     "FireAngle=10"});
  add("Shell.txt", Shell(2));
  add("EnemyShell.txt", Shell(1));
  add("Missile.txt",
      {"[Solid]", "CollisionEnable=true", "ImpulsiveForce=20", "[Bullet]", "DisappearDistance=8000",
       "ProximityFuseEnable=true", "MinProximityFuseDistance=3", "MaxProximityFuseDistance=6",
       "HomingEnable=true", "PredictHomingRate=1", "MaxPitchRotationally=60",
       "MaxHeadRotationally=60", "IntersectRayCount=1", "[Rocket]", "Dispersion=20",
       "FinalVelocity=700", "VelocityDelta=300", "MinIgnitionTime=0", "MaxIgnitionTime=0.2"});
  add("Spark.txt", {"[Particle]", "ParticleCount=1", "[Particle_0]", "EmitTime=1", "EmitRate=30",
                    "LifeTime=0.5"});
  return files;
}

std::vector<std::string> PlacementLines(const std::string& section, int unitId,
                                        const std::string& file, float x, float y, float z,
                                        float heading) {
  // The destination is the point opposite through the area centre: units cross the area.
  return {"[" + section + "]",
          "DefineFile=" + file,
          "UnitID=" + std::to_string(unitId),
          "LayoutPositionX=" + std::to_string(x),
          "LayoutPositionY=" + std::to_string(y),
          "LayoutPositionZ=" + std::to_string(z),
          "LayoutOrientationH=" + std::to_string(heading),
          "DestinationPositionX=" + std::to_string(-x),
          "DestinationPositionY=" + std::to_string(y),
          "DestinationPositionZ=" + std::to_string(-z),
          "AreaOuterDistance=3200",
          "AreaInnerDistance=2400",
          "MinHeight=150",
          "MaxHeight=1500",
          "AvoidDistance=200"};
}

}  // namespace quarn::bench
