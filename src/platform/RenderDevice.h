#pragma once
// The render device: the part of a Direct3D 9 style device that the game calls, with that
// device's meaning for every call (row-vector matrices, left-handed view space, depth 0..1,
// clockwise front faces, fixed-function lighting, fog and texture stages).
//
// Two backends implement it: GlRenderDevice (OpenGL 3.3 core through SDL2) and
// NullRenderDevice (records states and draw calls, draws nothing; for logic tests).
//
// Conventions:
// - All drawing happens between BeginScene and EndScene into the back buffer, or into the
//   surface of a render-target texture after SetRenderTarget.
// - The back buffer keeps its content after Present (copy swap): it can be read back and
//   written into (movie frames) at any time.
// - A device can be lost (Present returns DeviceLost). TestCooperativeLevel then reports
//   DeviceLost while it cannot be reset yet and DeviceNotReset once Reset may be tried.
//   Reset keeps every texture, buffer and state (GL keeps them across a minimise), but
//   returns InvalidCall while a render-target texture made in Pool::Default still exists,
//   as the device the game was designed against does.
// - Resource objects are owned by whoever created them (std::unique_ptr) and must be
//   destroyed before the device. The device never owns what is bound to it; destroying a
//   bound texture or buffer unbinds it.
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::platform {

class Window;

enum class DeviceResult {
  Ok,
  DeviceLost,      // lost, cannot be reset yet
  DeviceNotReset,  // lost, Reset may now succeed
  InvalidCall,
  OutOfMemory,
  NotAvailable,
};

// Render states, numbered as the game's data and code know them.
enum class RenderState : uint32_t {
  ZEnable = 7,
  ZWriteEnable = 14,
  AlphaTestEnable = 15,
  SrcBlend = 19,
  DestBlend = 20,
  CullMode = 22,
  ZFunc = 23,
  AlphaRef = 24,
  AlphaFunc = 25,
  AlphaBlendEnable = 27,
  FogEnable = 28,
  SpecularEnable = 29,
  FogColor = 34,      // Argb
  FogTableMode = 35,  // FogMode
  FogStart = 36,      // float bits
  FogEnd = 37,        // float bits
  FogDensity = 38,    // float bits
  RangeFogEnable = 48,
  Lighting = 137,
  Ambient = 139,        // Argb
  FogVertexMode = 140,  // FogMode
  ColorVertex = 141,
  NormalizeNormals = 143,
  DiffuseMaterialSource = 145,  // MaterialColorSource
  AmbientMaterialSource = 147,
};

// Cull mode: which winding is culled, seen on screen (front faces are clockwise).
enum class CullMode : uint32_t { None = 1, Clockwise = 2, CounterClockwise = 3 };

enum class Blend : uint32_t {
  Zero = 1,
  One = 2,
  SrcColor = 3,
  InvSrcColor = 4,
  SrcAlpha = 5,
  InvSrcAlpha = 6,
  DestAlpha = 7,
  InvDestAlpha = 8,
  DestColor = 9,
  InvDestColor = 10,
};

enum class CompareFunc : uint32_t {
  Never = 1,
  Less = 2,
  Equal = 3,
  LessEqual = 4,
  Greater = 5,
  NotEqual = 6,
  GreaterEqual = 7,
  Always = 8,
};

enum class FogMode : uint32_t { None = 0, Exp = 1, Exp2 = 2, Linear = 3 };

enum class MaterialColorSource : uint32_t { Material = 0, Color1 = 1, Color2 = 2 };

enum class TextureStageState : uint32_t {
  ColorOp = 1,
  ColorArg1 = 2,
  ColorArg2 = 3,
  AlphaOp = 4,
  AlphaArg1 = 5,
  AlphaArg2 = 6,
  TexCoordIndex = 11,
};

enum class TextureOp : uint32_t { Disable = 1, SelectArg1 = 2, SelectArg2 = 3, Modulate = 4 };

// Texture stage arguments.
inline constexpr uint32_t kTaDiffuse = 0;  // the interpolated vertex (or lit) colour
inline constexpr uint32_t kTaCurrent = 1;  // the previous stage's result (stage 0: diffuse)
inline constexpr uint32_t kTaTexture = 2;  // the stage's texture; no texture reads as white
inline constexpr uint32_t kTaTFactor = 3;

enum class SamplerState : uint32_t {
  AddressU = 1,
  AddressV = 2,
  AddressW = 3,
  BorderColor = 4,
  MagFilter = 5,
  MinFilter = 6,
  MipFilter = 7,
};

enum class TextureAddress : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4 };
enum class TextureFilter : uint32_t { None = 0, Point = 1, Linear = 2 };

enum class TransformState : uint32_t { View = 2, Projection = 3, World = 256 };

enum class PrimitiveType : uint32_t {
  PointList = 1,
  LineList = 2,
  LineStrip = 3,
  TriangleList = 4,
  TriangleStrip = 5,
  TriangleFan = 6,
};

// Flexible vertex format bits; components follow one another in this order in a vertex.
inline constexpr uint32_t kFvfXyz = 0x002;       // float x, y, z
inline constexpr uint32_t kFvfXyzRhw = 0x004;    // float x, y, z, rhw: screen pixels, no transform
inline constexpr uint32_t kFvfNormal = 0x010;    // float nx, ny, nz
inline constexpr uint32_t kFvfDiffuse = 0x040;   // Argb
inline constexpr uint32_t kFvfSpecular = 0x080;  // Argb
inline constexpr uint32_t kFvfTex1 = 0x100;      // float u, v
// Size in bytes of one vertex of the format (0 for a format the device cannot draw).
uint32_t FvfVertexSize(uint32_t fvf);

inline constexpr uint32_t kClearTarget = 1;
inline constexpr uint32_t kClearZBuffer = 2;
inline constexpr uint32_t kClearStencil = 4;

enum class Format : uint32_t {
  Unknown = 0,
  R8G8B8 = 20,
  A8R8G8B8 = 21,
  X8R8G8B8 = 22,
  R5G6B5 = 23,
  X1R5G5B5 = 24,
  A1R5G5B5 = 25,
  A4R4G4B4 = 26,
  A8 = 28,
  L8 = 50,
  A8L8 = 51,
  D16 = 80,
  Dxt1 = 0x31545844,
  Dxt3 = 0x33545844,
  Dxt5 = 0x35545844,
};

inline constexpr uint32_t kUsageRenderTarget = 0x1;
inline constexpr uint32_t kUsageDynamic = 0x200;

enum class Pool : uint32_t { Default = 0, Managed = 1, SystemMem = 2 };

class Texture;

// One mip level of a texture; a render target when its texture was made with that usage.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual uint32_t Width() const = 0;
  virtual uint32_t Height() const = 0;
  virtual Format GetFormat() const = 0;
  virtual Texture* Owner() const = 0;
};

class Texture {
 public:
  virtual ~Texture() = default;
  virtual uint32_t Width(uint32_t level = 0) const = 0;
  virtual uint32_t Height(uint32_t level = 0) const = 0;
  virtual uint32_t Levels() const = 0;
  virtual Format GetFormat() const = 0;  // as asked for at creation
  virtual uint32_t Usage() const = 0;
  virtual Pool GetPool() const = 0;
  // Replaces a whole level with 32-bit pixels, 0xAARRGGBB each, rows top to bottom,
  // pitch in bytes. Formats without alpha ignore it (read as opaque).
  virtual bool UpdateLevel(uint32_t level, const void* pixels, uint32_t pitch) = 0;
  // The level's surface, owned by the texture (null for a level that does not exist).
  virtual Surface* GetSurfaceLevel(uint32_t level) = 0;
  // Fills every level below 0 from level 0 (box filtered). False when the device cannot.
  virtual bool GenerateMipSubLevels() { return false; }
};

class VertexBuffer {
 public:
  virtual ~VertexBuffer() = default;
  virtual uint32_t Size() const = 0;  // bytes
  virtual uint32_t Fvf() const = 0;
  virtual bool Update(uint32_t offset, const void* data, uint32_t bytes) = 0;
  // A copy of the contents as last updated (meshes read their vertices back for bounds).
  virtual const uint8_t* Data() const = 0;
};

class IndexBuffer {
 public:
  virtual ~IndexBuffer() = default;
  virtual uint32_t Count() const = 0;  // 16-bit indices
  virtual bool Update(uint32_t first, const uint16_t* indices, uint32_t count) = 0;
  virtual const uint16_t* Data() const = 0;
};

struct PresentParameters {
  uint32_t backBufferWidth = 640;
  uint32_t backBufferHeight = 480;
  Format backBufferFormat = Format::X8R8G8B8;
  bool windowed = false;
  bool autoDepthStencil = true;
  Format depthStencilFormat = Format::D16;
  bool lockableBackBuffer = true;
  bool waitForVerticalRetrace = false;  // the frame timer does the pacing
};

struct DeviceCaps {
  bool tableFog = true;
  uint32_t maxTextureWidth = 4096;
  uint32_t maxTextureHeight = 4096;
  uint32_t maxActiveLights = 8;
  std::string description;  // renderer and version, for diagnostics
};

class RenderDevice {
 public:
  virtual ~RenderDevice() = default;

  // --- presentation and loss ---
  virtual const DeviceCaps& Caps() const = 0;
  virtual const PresentParameters& Parameters() const = 0;
  virtual DeviceResult TestCooperativeLevel() = 0;
  virtual DeviceResult Reset() = 0;
  // Shows the back buffer (rect: the same source and destination part; null: all of it).
  virtual DeviceResult Present(const Rect* rect) = 0;
  virtual bool BeginScene() = 0;
  virtual bool EndScene() = 0;
  // Clears the whole render target (rectCount 0) or the given rectangles, in the viewport.
  virtual bool Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, Argb color, float z,
                     uint32_t stencil) = 0;

  // --- back buffer access (the back buffer is lockable) ---
  // The back buffer as 0xAARRGGBB pixels, rows top to bottom.
  virtual bool ReadBackBuffer(std::vector<Argb>& pixels, uint32_t* width, uint32_t* height) = 0;
  // Copies pixels unscaled into the back buffer at (x, y), clipped to it (a movie frame).
  virtual bool WriteBackBuffer(int x, int y, int width, int height, const Argb* pixels,
                               int pitchPixels) = 0;

  // --- fixed-function state ---
  virtual bool SetTransform(TransformState state, const Matrix4& matrix) = 0;
  virtual bool GetTransform(TransformState state, Matrix4* matrix) const = 0;
  virtual bool SetRenderState(RenderState state, uint32_t value) = 0;
  virtual uint32_t GetRenderState(RenderState state) const = 0;
  virtual bool SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value) = 0;
  virtual uint32_t GetTextureStageState(uint32_t stage, TextureStageState state) const = 0;
  virtual bool SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value) = 0;
  virtual uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const = 0;
  virtual bool SetLight(uint32_t index, const Light& light) = 0;
  virtual bool GetLight(uint32_t index, Light* light) const = 0;
  virtual bool LightEnable(uint32_t index, bool enable) = 0;
  virtual bool GetLightEnable(uint32_t index) const = 0;
  virtual bool SetMaterial(const Material& material) = 0;
  virtual Material GetMaterial() const = 0;
  virtual bool SetViewport(const Viewport& viewport) = 0;
  virtual Viewport GetViewport() const = 0;
  virtual bool SetTexture(uint32_t stage, Texture* texture) = 0;
  virtual Texture* GetTexture(uint32_t stage) const = 0;
  virtual bool SetFvf(uint32_t fvf) = 0;
  virtual uint32_t GetFvf() const = 0;

  // Enum-typed values for the state setters.
  template <class E>
  requires std::is_enum_v<E>
  bool SetRenderState(RenderState state, E value) {
    return SetRenderState(state, static_cast<uint32_t>(value));
  }
  template <class E>
  requires std::is_enum_v<E>
  bool SetTextureStageState(uint32_t stage, TextureStageState state, E value) {
    return SetTextureStageState(stage, state, static_cast<uint32_t>(value));
  }
  template <class E>
  requires std::is_enum_v<E>
  bool SetSamplerState(uint32_t sampler, SamplerState state, E value) {
    return SetSamplerState(sampler, state, static_cast<uint32_t>(value));
  }

  // --- drawing ---
  // Vertices (and 16-bit indices) from memory, in the format set by SetFvf.
  virtual bool DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const void* vertices,
                               uint32_t stride) = 0;
  virtual bool DrawIndexedPrimitiveUP(PrimitiveType type, uint32_t minVertexIndex,
                                      uint32_t numVertices, uint32_t primitiveCount,
                                      const uint16_t* indices, const void* vertices,
                                      uint32_t stride) = 0;
  // Vertices and indices from buffers (meshes).
  virtual bool SetStreamSource(VertexBuffer* buffer, uint32_t stride) = 0;
  virtual bool SetIndices(IndexBuffer* buffer) = 0;
  virtual bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertexIndex,
                                    uint32_t minVertexIndex, uint32_t numVertices,
                                    uint32_t startIndex, uint32_t primitiveCount) = 0;

  // --- resources ---
  // levels 0: the full mip chain down to 1 x 1.
  virtual std::unique_ptr<Texture> CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                                 uint32_t usage, Format format, Pool pool) = 0;
  virtual std::unique_ptr<VertexBuffer> CreateVertexBuffer(uint32_t bytes, uint32_t fvf) = 0;
  virtual std::unique_ptr<IndexBuffer> CreateIndexBuffer(uint32_t count) = 0;

  // --- render targets ---
  // Draws into a render-target surface from now on (null: back to the back buffer).
  // The viewport becomes the whole target, as the device the game knows does.
  virtual bool SetRenderTarget(Surface* surface) = 0;
  virtual Surface* GetRenderTarget() const = 0;  // null: the back buffer
};

// Creates the OpenGL device on the window: a 3.3 core context first, then any context that
// offers what the shaders need. Null with a reason in *error on failure.
std::unique_ptr<RenderDevice> CreateGlRenderDevice(Window& window,
                                                   const PresentParameters& parameters,
                                                   std::string* error);

}  // namespace quarn::platform
