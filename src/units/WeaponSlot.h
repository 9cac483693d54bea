#pragma once
// One of the player's two selectable weapons: exactly one of the three kinds (none when the
// slot's file failed) and its HUD picture.
namespace quarn {

class ChargeWeapon;
class LockWeapon;
class RapidWeapon;
class Texture;
class Weapon;

struct WeaponSlot {
  RapidWeapon* rapid = nullptr;
  LockWeapon* lock = nullptr;
  ChargeWeapon* charge = nullptr;
  Texture* hudTexture = nullptr;

  // The weapon whichever kind it is (null for an empty slot).
  Weapon* Any() const;
};

}  // namespace quarn
