#pragma once
// The one shader family that reproduces the fixed-function pipeline for the states the game
// uses. A variant is chosen by the bits below; everything else is a uniform.
#include <cstdint>
#include <string>

namespace quarn::platform {

inline constexpr uint32_t kShaderPretransformed = 1;  // screen-pixel vertices, no transform
inline constexpr uint32_t kShaderNormal = 2;          // the vertex has a normal
inline constexpr uint32_t kShaderDiffuse = 4;         // the vertex has a colour
inline constexpr uint32_t kShaderTexCoord = 8;        // the vertex has texture coordinates
inline constexpr uint32_t kShaderLighting = 16;       // directional lights and material
inline constexpr uint32_t kShaderFog = 32;            // linear fog
inline constexpr uint32_t kShaderVariants = 64;

// Vertex attribute locations shared by every variant.
inline constexpr unsigned kAttribPosition = 0;
inline constexpr unsigned kAttribNormal = 1;
inline constexpr unsigned kAttribDiffuse = 2;
inline constexpr unsigned kAttribTexCoord = 3;

inline constexpr int kMaxShaderLights = 8;

// flipAndFoldDepth: the context has no clip control, so the vertex shader turns Direct3D's
// clip space (top row first, depth 0..1) into OpenGL's itself.
std::string FixedFunctionVertexSource(uint32_t variant, const std::string& header,
                                      bool flipAndFoldDepth);
std::string FixedFunctionFragmentSource(uint32_t variant, const std::string& header);

}  // namespace quarn::platform
