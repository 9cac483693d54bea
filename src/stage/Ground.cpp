#include "stage/Ground.h"

#include "engine/DefinitionFile.h"
#include "engine/ResourceCache.h"
#include "render/DeviceOrCurrent.h"
#include "render/Mesh.h"
#include "render/RenderManager.h"
#include "units/ChaseCamera.h"
#include "units/CollisionManager.h"
#include "units/EffectSource.h"
#include "units/Particle.h"
#include "units/RayHit.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn {

using platform::RenderState;

Ground::Ground(StageServices* stage) : RigidBody(stage) {}

Ground::~Ground() {
  Ground::Unload();
}

bool Ground::Load(const std::string& file) {
  Transform& root = stage_->WorldRoot();
  body_.SetParent(&root);
  ResourceCache& cache = stage_->Cache();
  DefinitionFile* def = cache.GetDefinition(file);
  DefinitionFile empty;
  DefinitionFile& ground = def != nullptr ? *def : empty;
  ground.SelectSection("Ground");
  fogStart_ = ground.GetFloat("FogStartDistance", 0.0f);
  fogEnd_ = ground.GetFloat("FogEndDistance", 0.0f);
  repeatMeshEnable_ = ground.GetBool("RepeatMeshEnable", false);
  const std::string repeatFile = ground.GetString("RepeatMeshFile", "");
  const bool normal = ground.GetBool("NormalMeshEnable", false);
  const std::string normalFile = ground.GetString("NormalMeshFile", "");
  const bool alpha = ground.GetBool("AlphaMeshEnable", false);
  const std::string alphaFile = ground.GetString("AlphaMeshFile", "");
  if (alpha)
    additiveBlend_ = ground.GetBool("AdditiveBlend", false);
  const int count = ground.GetCount("CollisionCount");
  struct Entry {
    std::string mesh, particle;
    bool shatter;
    float force;
  };
  std::vector<Entry> entries;
  for (int n = 0; n < count; ++n) {
    ground.SelectSection("Collision", static_cast<unsigned>(n));
    Entry entry;
    entry.mesh = ground.GetString("MeshFile", "");
    entry.shatter = ground.GetBool("ShatterParticleEnable", false);
    if (entry.shatter)
      entry.particle = ground.GetString("ShatterParticleFile", "");
    entry.force = ground.GetFloat("ImpulsiveForce", 0.0f);
    entries.push_back(entry);
  }
  if (repeatMeshEnable_) {
    repeatFrame_.SetParent(&body_);
    Mesh* mesh = cache.GetMesh(repeatFile);
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        const int k = i * 3 + j;
        tileFrames_[k].SetParent(&repeatFrame_);
        tileFrames_[k].SetPosition({j * kTileSize - kTileSize, 0.0f, i * kTileSize - kTileSize});
        tiles_[k].SetMesh(mesh);
        tiles_[k].SetFrame(&tileFrames_[k]);
      }
    }
  }
  if (normal) {
    normalMesh_.SetMesh(cache.GetMesh(normalFile));
    normalMesh_.SetFrame(&body_);
    normalMeshEnable_ = normalMesh_.GetMesh() != nullptr;
  }
  if (alpha) {
    alphaMesh_.SetMesh(cache.GetMesh(alphaFile));
    alphaMesh_.SetFrame(&body_);
    alphaMeshEnable_ = alphaMesh_.GetMesh() != nullptr;
  }
  for (const Entry& entry : entries) {
    auto collision = std::make_unique<Collision>();
    collision->mesh.SetMesh(cache.GetMesh(entry.mesh));
    collision->mesh.SetFrame(&body_);
    collision->shatter = entry.shatter;
    if (entry.shatter) {
      collision->particle = stage_->Effects().AcquireParticle(entry.particle, true);
      collision->particle->Hold();
      collision->particle->Body().SetParent(&root);
    }
    collision->impulsiveForce = entry.force;
    collisions_.push_back(std::move(collision));
  }
  loaded_ = true;
  Register();
  return true;
}

void Ground::Register() {
  stage_->Updates().SetGroundHook(this);
  stage_->Renders().SetGround(this);
  stage_->Collisions().SetGround(this);
}

void Ground::Unregister() {
  if (stage_ == nullptr)
    return;
  if (stage_->Updates().GroundHook() == this)
    stage_->Updates().SetGroundHook(nullptr);
  if (stage_->Renders().GetGround() == this)
    stage_->Renders().SetGround(nullptr);
  if (stage_->Collisions().Ground() == this)
    stage_->Collisions().SetGround(nullptr);
}

void Ground::Unload() {
  if (!loaded_)
    return;
  Unregister();
  collisions_.clear();
  for (Transform& tile : tileFrames_)
    tile.SetParent(nullptr);
  repeatFrame_.SetParent(nullptr);
  body_.SetParent(nullptr);
  loaded_ = false;
}

void Ground::Update() {
  ChaseCamera* camera = stage_ != nullptr ? stage_->Camera() : nullptr;
  if (camera == nullptr)
    return;
  const gfx::Vector3 at = camera->Body().GetPosition(&repeatFrame_);
  const float half = kTileSize * 0.5f;
  if (at.x > half)
    repeatFrame_.Translate(CombineMode::LocalAxes, {kTileSize, 0, 0});
  else if (at.x < -half)
    repeatFrame_.Translate(CombineMode::LocalAxes, {-kTileSize, 0, 0});
  if (at.z > half)
    repeatFrame_.Translate(CombineMode::LocalAxes, {0, 0, kTileSize});
  else if (at.z < -half)
    repeatFrame_.Translate(CombineMode::LocalAxes, {0, 0, -kTileSize});
}

void Ground::ApplyFogDistances() const {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  device->SetRenderState(RenderState::FogStart, platform::FloatBits(fogStart_));
  device->SetRenderState(RenderState::FogEnd, platform::FloatBits(fogEnd_));
}

bool Ground::DrawNormal() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr)
    device->SetRenderState(RenderState::Lighting, 0u);
  ApplyFogDistances();
  if (repeatMeshEnable_) {
    for (MeshInstance& tile : tiles_)
      tile.Draw();
  }
  if (normalMeshEnable_)
    normalMesh_.Draw();
  if (stage_ != nullptr)
    stage_->ApplySceneFog();
  if (device != nullptr)
    device->SetRenderState(RenderState::Lighting, 1u);
  return true;
}

bool Ground::DrawAlpha() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device != nullptr)
    device->SetRenderState(RenderState::Lighting, 0u);
  ApplyFogDistances();
  if (alphaMeshEnable_) {
    // The flag the file gives with the alpha mesh: additive water glints and the like.
    if (device != nullptr && additiveBlend_)
      device->SetRenderState(RenderState::DestBlend, platform::Blend::One);
    alphaMesh_.Draw();
    if (device != nullptr && additiveBlend_)
      device->SetRenderState(RenderState::DestBlend, platform::Blend::InvSrcAlpha);
  }
  if (stage_ != nullptr)
    stage_->ApplySceneFog();
  if (device != nullptr)
    device->SetRenderState(RenderState::Lighting, 1u);
  return true;
}

bool Ground::TestCollision(Collider& collider, gfx::Vector3* hitPoint, gfx::Vector3* push,
                           int* index) {
  spheres_.clear();
  rays_.clear();
  collider.CollectSpheres(spheres_);
  bool raysCollected = false;
  for (size_t i = 0; i < collisions_.size(); ++i) {
    const MeshInstance& mesh = collisions_[i]->mesh;
    if (mesh.GetMesh() == nullptr)
      continue;  // a mesh that failed to load never hits
    const float top = mesh.GetFrame()->LocalToWorldPoint(mesh.GetMesh()->GetBoxMax()).y;
    bool below = false;
    for (const CollisionSphere& sphere : spheres_) {
      if (sphere.centre.y - sphere.radius < top) {
        below = true;
        break;
      }
    }
    // Every sphere above the mesh's box: nothing can reach it.
    if (!below)
      continue;
    if (!raysCollected) {
      collider.CollectRays(rays_);
      raysCollected = true;
    }
    if (FirstRayHit(rays_, {&mesh}, hitPoint, push)) {
      *index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

bool Ground::Shatter(int index, const gfx::Vector3& point) {
  if (index < 0 || static_cast<size_t>(index) >= collisions_.size())
    return false;
  Collision& entry = *collisions_[static_cast<size_t>(index)];
  if (entry.shatter && entry.particle != nullptr) {
    entry.particle->Body().SetPosition(point);
    entry.particle->StartTimed(0);
  }
  return false;
}

float Ground::GetImpulsiveForce(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= collisions_.size())
    return 0.0f;
  return collisions_[static_cast<size_t>(index)]->impulsiveForce;
}

}  // namespace quarn
