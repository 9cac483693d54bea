#pragma once
#include <ostream>
#include <string>

namespace quarn::tools {

// Draws a .x mesh as the game's OpenGL device does (off-screen, no display needed) from four
// sides into one 640 x 480 PNG: from the front left above, from the left, from above and from
// behind above, as the chase camera sees a unit. Textures are looked for beside the mesh.
// unlit: lighting off, as the game draws the sky, the ground and tracer rounds.
// Returns the exit code: 0, or 1 with the reason on err.
int DrawMeshPicture(const std::string& meshPath, const std::string& pngPath, bool unlit,
                    std::ostream& err);

}  // namespace quarn::tools
