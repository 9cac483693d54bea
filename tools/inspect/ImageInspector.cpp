#include "ImageInspector.h"

#include "JsonWriter.h"
#include "gfxutil/ImageDecoder.h"
#include "gfxutil/TexturePlan.h"

namespace quarn::tools {

int InspectImage(const std::string& path, std::ostream& out, std::ostream& err) {
  gfx::Image image;
  std::string reason;
  if (!gfx::ImageDecoder::DecodeFile(path, &image, &reason)) {
    err << "quarn-inspect: " << path << ": " << reason << "\n";
    return 1;
  }
  // The texture limits of the device the game asks for.
  const gfx::TexturePlan plan = gfx::TexturePlan::For(image, platform::DeviceCaps{});
  out << "{\"type\": " << JsonString(gfx::FileTypeName(image.fileType))
      << ", \"width\": " << image.width << ", \"height\": " << image.height
      << ", \"texture_width\": " << plan.width << ", \"texture_height\": " << plan.height
      << ", \"format\": " << JsonString(gfx::FormatName(plan.format))
      << ", \"mip_levels\": " << plan.levels
      << ", \"alpha\": " << (image.hasAlpha ? "true" : "false") << "}\n";
  return 0;
}

}  // namespace quarn::tools
