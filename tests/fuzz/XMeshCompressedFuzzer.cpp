// .x meshes, compressed: arbitrary bytes as the MSZIP container after a "bzip" or "tzip"
// header (chosen by the first byte).
#include "XMeshFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  quarn::fuzzing::LoadXWithHeader((data[0] & 1) ? "xof 0303tzip0032" : "xof 0303bzip0032", data + 1,
                                  size - 1);
  return 0;
}
