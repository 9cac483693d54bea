#pragma once
// One-time set-up of the media library (FFmpeg) that music and movies are decoded with.

namespace quarn::platform {

// Quiets the library's own logging: a file it cannot play is reported by the game in one
// line. Safe to call any number of times from any thread.
void StartMediaLibrary();

}  // namespace quarn::platform
