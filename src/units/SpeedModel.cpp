#include "units/SpeedModel.h"

#include <cmath>

namespace quarn {

float SpeedModel::Next(float speed, float x, float power) const {
  const float range = maxVelocity - minVelocity;
  const float c = minVelocity + x * range;
  float low = 0, high = 0;
  if (x > 0.0f) {
    speed += acceleration;
    low = minVelocity;
    high = c;
  } else {
    speed -= deceleration;
    low = c;
    high = maxVelocity;
  }
  if (speed > high)
    speed = high;
  if (speed < low)
    speed = low;
  return power * speed;
}

float SpeedModel::Fraction(float speed) const {
  const float range = maxVelocity - minVelocity;
  if (std::fabs(range) <= 1e-8f)
    return 0.0f;
  return (speed - minVelocity) / range;
}

float SteerCommand(float angle, float limit) {
  if (angle > limit)
    return 1.0f;
  if (angle < -limit)
    return -1.0f;
  if (std::fabs(limit) <= 1e-8f)
    return 0.0f;
  return angle / limit;
}

}  // namespace quarn
