#pragma once
// The mission message the HUD shows in the middle of the screen, and for how many more frames.
namespace quarn {

class HudMessage {
 public:
  // 120 frames for messages 1 to 3, 90 for 6, 30 for any other.
  void Set(int n) {
    number_ = n;
    frames_ = (n == 1 || n == 2 || n == 3) ? 120 : n == 6 ? 90 : 30;
  }
  // One frame passes; the message goes once its last frame has been shown.
  void Step() {
    if (number_ == 0)
      return;
    if (frames_ <= 1) {
      number_ = 0;
      frames_ = 0;
      return;
    }
    --frames_;
  }
  int Number() const { return number_; }
  int FramesLeft() const { return frames_; }

 private:
  int number_ = 0;
  int frames_ = 0;
};

}  // namespace quarn
