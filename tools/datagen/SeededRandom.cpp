#include "SeededRandom.h"

namespace quarn::tools {

uint32_t SeededRandom::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

}  // namespace quarn::tools
