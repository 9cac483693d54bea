#include "platform/PictureFit.h"

#include <cstdint>

namespace quarn::platform {

PictureFit FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  PictureFit fit;
  if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
    return fit;
  fit.width = windowWidth;
  fit.height = static_cast<int>(static_cast<int64_t>(windowWidth) * pictureHeight / pictureWidth);
  if (fit.height > windowHeight) {
    fit.height = windowHeight;
    fit.width = static_cast<int>(static_cast<int64_t>(windowHeight) * pictureWidth / pictureHeight);
  }
  fit.left = (windowWidth - fit.width) / 2;
  fit.top = (windowHeight - fit.height) / 2;
  fit.wholeScale = fit.width % pictureWidth == 0 && fit.height % pictureHeight == 0 &&
                   fit.width / pictureWidth == fit.height / pictureHeight;
  return fit;
}

}  // namespace quarn::platform
