#pragma once
// Shared by the .x fuzz targets: puts a header before the fuzz input, loads the result and,
// when it loads, exercises the device mesh built from it.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "gfxutil/Mesh.h"
#include "gfxutil/XFileReader.h"
#include "platform/NullRenderDevice.h"

namespace quarn::fuzzing {

inline void LoadXWithHeader(const char* header, const uint8_t* data, size_t size) {
  std::string bytes(header);
  bytes.append(reinterpret_cast<const char*>(data), size);
  gfx::MeshData mesh;
  std::string error;
  if (!gfx::XFileReader::Read(
          std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), &mesh, &error)) {
    if (error.empty())
      __builtin_trap();  // a failure must say why
    return;
  }
  // One device for the whole run: making its software back buffer costs more than a load.
  static platform::NullRenderDevice device;
  device.ClearDraws();
  std::unique_ptr<gfx::Mesh> deviceMesh = gfx::Mesh::Create(device, std::move(mesh), &error);
  if (!deviceMesh)
    __builtin_trap();  // whatever the reader accepts must become a device mesh
  for (uint32_t i = 0; i < deviceMesh->SubsetCount(); ++i)
    deviceMesh->DrawSubset(i);
  gfx::Vector3 center, low, high;
  float radius = 0;
  deviceMesh->ComputeBoundingSphere(&center, &radius);
  deviceMesh->ComputeBoundingBox(&low, &high);
  // Rays from outside and from the centre: the face tree must give what trying every face
  // gives, bit for bit.
  const gfx::Vector3 rays[][2] = {{{center.x, center.y, center.z - 2 * radius - 1}, {0, 0, 1}},
                                  {center, {0.3f, -1, 0.7f}},
                                  {low, high - low}};
  for (const auto& [origin, direction] : rays) {
    bool hit = false;
    uint32_t face = 0, expectedFace = 0;
    float distance = 0, expected = 0;
    deviceMesh->Intersect(origin, direction, &hit, &face, &distance);
    if (hit && face >= deviceMesh->FaceCount())
      __builtin_trap();
    const bool found =
        deviceMesh->Triangles().IntersectEveryFace(origin, direction, &expectedFace, &expected);
    if (hit != found || (hit && (face != expectedFace || std::bit_cast<uint32_t>(distance) !=
                                                             std::bit_cast<uint32_t>(expected))))
      __builtin_trap();
  }
}

}  // namespace quarn::fuzzing
