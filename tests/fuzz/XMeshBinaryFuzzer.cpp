// .x meshes, binary encoding: arbitrary bytes after a binary header; the first byte chooses
// 32- or 64-bit floats.
#include "XMeshFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  quarn::fuzzing::LoadXWithHeader((data[0] & 1) ? "xof 0303bin 0064" : "xof 0303bin 0032", data + 1,
                                  size - 1);
  return 0;
}
