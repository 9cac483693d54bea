// Dds files: arbitrary bytes through the decoder, then scaling and mips of what comes out.
#include "ImageFuzzing.h"
#include "gfxutil/DdsDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return quarn::fuzzing::FuzzImageDecoder<quarn::gfx::DdsDecoder>(data, size);
}
