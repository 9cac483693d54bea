#pragma once
// An object assembled from parts and destroyed in stages. It owns child objects (components,
// engines and the three weapon kinds), each loaded from its own file and mounted on its body,
// and runs destruct events strictly in order: particles, removal, the owner's power and
// destruct progress, stage progress. Damage so travels upward: a broken part weakens and in
// the end destroys its unit, and a destroyed unit takes its parts with it.
#include <memory>
#include <string>
#include <vector>

#include "units/DestructEvent.h"
#include "units/Target.h"

namespace quarn {

class ChargeWeapon;
class Component;
class Engine;
class LockWeapon;
class RapidWeapon;

class Container : public Target {
 public:
  // How deep parts may nest inside parts (a longer chain is refused where it passes this).
  static constexpr int kMaxDepth = 8;

  explicit Container(StageServices* stage);
  ~Container() override;

  using Target::Load;
  void Unload() override;
  void Activate(int side) override;
  void Deactivate() override;
  // Until the last destruct event has run, or while still drawn or collided.
  bool IsActive() const override;
  void OnBroken() override;
  void Update() override;

  virtual bool LoadContainer(const std::string& file, int updatePriority, int collisionGroup,
                             Container* owner);
  virtual void SetEngineThrottle(float fraction);
  virtual void AddDestruct(float rate);
  // Passed to the owner; a unit takes it from its own Power.
  virtual void ReducePower(float rate);
  // Only from Alive or Breaking: starts the destruct events and destructs every child.
  virtual void Destruct();
  virtual void UpdateDestructing();
  virtual void OnDestructEvent();
  // A part's own load (components, engines, weapons); a plain container has none.
  virtual bool Load(const std::string& file, Container* owner);

  Container* Owner() const { return owner_; }
  const std::vector<std::unique_ptr<Component>>& Components() const { return components_; }
  const std::vector<std::unique_ptr<Engine>>& Engines() const { return engines_; }
  const std::vector<std::unique_ptr<RapidWeapon>>& RapidWeapons() const { return rapid_; }
  const std::vector<std::unique_ptr<LockWeapon>>& LockWeapons() const { return lock_; }
  const std::vector<std::unique_ptr<ChargeWeapon>>& ChargeWeapons() const { return charge_; }
  // Every child, in the order of the five lists.
  std::vector<Container*> Children() const;
  const std::vector<DestructEvent>& DestructEvents() const { return events_; }
  float DestructProgress() const { return destructProgress_; }
  size_t CurrentEventIndex() const { return eventIndex_; }

 protected:
  // Adds a weapon made by the caller (the player's selectable weapons) to its list.
  void AdoptRapidWeapon(std::unique_ptr<RapidWeapon> weapon);
  void AdoptLockWeapon(std::unique_ptr<LockWeapon> weapon);
  void AdoptChargeWeapon(std::unique_ptr<ChargeWeapon> weapon);
  // Puts child's node under the body at position, turned by heading, pitch, bank (degrees).
  void Mount(Container& child, const gfx::Vector3& position, float heading, float pitch,
             float bank);
  // Loads child from file unless the file is already being loaded further up the chain (a
  // file naming itself, or a ring) or the chain is too deep: then the child stays unloaded.
  bool LoadChildSafely(Container& child, const std::string& file);
  void StartEvent(size_t index);
  // Leaves render and collision, or the search list, with every child (and theirs).
  void UnregisterWithChildren();
  void LeaveSearchWithChildren();

 private:
  template <class Child>
  void LoadChildren(const char* section, std::vector<std::unique_ptr<Child>>* list);
  void LoadEvents();
  int Depth() const;

  Container* owner_ = nullptr;
  std::vector<std::unique_ptr<Component>> components_;
  std::vector<std::unique_ptr<Engine>> engines_;
  std::vector<std::unique_ptr<RapidWeapon>> rapid_;
  std::vector<std::unique_ptr<LockWeapon>> lock_;
  std::vector<std::unique_ptr<ChargeWeapon>> charge_;
  std::vector<DestructEvent> events_;
  float breakDestructRate_ = 0;
  float breakPowerRate_ = 0;
  float destructProgress_ = 0;
  size_t eventIndex_ = 0;
  float eventTimer_ = 0;
};

}  // namespace quarn
