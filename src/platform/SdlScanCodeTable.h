#pragma once
// The one table from SDL's scancodes (physical key positions) to the keyboard scan codes the
// game's key tables use.
#include <cstdint>

namespace quarn::platform {

// The scan code of an SDL scancode; 0 for a key that has none (it is then ignored).
uint8_t ScanCodeFromSdl(int sdlScancode);

}  // namespace quarn::platform
