#pragma once
// The game logic's fixed time step. Every per-frame timer adds exactly this single-precision
// value (not 1/30): the data's timings were tuned against it, and replays depend on it.
namespace quarn {

inline constexpr float kFrameStep = 0.0333f;
// Updates per second: velocity estimates are one frame's displacement times this.
inline constexpr float kUpdatesPerSecond = 30.0f;

}  // namespace quarn
