#pragma once
// The dead-zone rule every device applies to its logical axes.
#include <cstdint>
#include <cstdlib>

namespace quarn {

// value when its magnitude is greater than deadZone, else 0.
inline int OutsideDeadZone(int value, unsigned deadZone) {
  return std::llabs(static_cast<long long>(value)) > static_cast<long long>(deadZone) ? value : 0;
}

}  // namespace quarn
