// .x meshes, text encoding: arbitrary bytes after a text header.
#include "XMeshFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quarn::fuzzing::LoadXWithHeader("xof 0303txt 0032", data, size);
  return 0;
}
