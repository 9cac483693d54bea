#pragma once
// The speed rule of every mover: a positive throttle accelerates toward that fraction of the
// speed range and never above it, zero decelerates to the minimum, a negative one lets the
// speed fall below the minimum; then Power scales it (a damaged unit is slower).
namespace quarn {

struct SpeedModel {
  float minVelocity = 0;
  float maxVelocity = 0;
  float acceleration = 0;
  float deceleration = 0;

  // The new speed for a throttle command x.
  float Next(float speed, float x, float power) const;
  // The engines' throttle fraction for a speed: 0 when the range is empty.
  float Fraction(float speed) const;
};

// x / limit saturated to [-1, 1] by the angle against the limit; 0 for a limit within 1e-8.
float SteerCommand(float angle, float limit);

}  // namespace quarn
