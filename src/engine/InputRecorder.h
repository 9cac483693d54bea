#pragma once
// Recorded input: "--record FILE" writes the state of every device at every main-loop pass,
// "--replay FILE" plays it back in place of the devices. The file is line-based text (it is
// meant to be read and edited; docs/replay-format.md says the same at more length):
//
//   quarn-replay 1      first line: the format and its version
//   joysticks 1         joystick slots attached when the devices started (0 when left out)
//   update 0            a block: the state of this update and of every update up to the next
//   update 120          block; update numbers rise; updates before the first block are at rest
//   keys 208 46
//   joy 0 axes 32767 65535 32767 32767 32767 32767 buttons 1 3
//   update 131
//   nofocus
//   keys 208
//   end 300             the number of updates recorded; the last line
//
// A block holds the complete state of its updates; a device without a line is at rest:
//   nofocus             the window had no focus, so the devices kept their previous state
//   keys K...           keys held: scan codes 0-255 (key names such as Down or C are read too)
//   mouse X Y W         movement since the previous update, wheel 120 per notch
//   mousebuttons B...   mouse buttons held, 1-8
//   joysticks N         joystick slots from this update on (a slot never goes away)
//   joy I [unplugged] [axes A1-A6] [sliders S1 S2] [hats H1-H4] [buttons B...]
//                       joystick slot I from 0: axes and sliders 0-65535 (32767 centred),
//                       hats in hundredths of a degree clockwise from up (-1 centred),
//                       buttons held 1-32; parts left out are at rest
// Blank lines and lines from '#' are ignored; CR LF line ends are read too. A damaged file
// plays the updates before the damage: a bad line ends the recording at its block's update,
// and a file without "end" (the recorder was stopped) ends after its last block's update.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/InputState.h"

namespace quarn {

inline constexpr std::string_view kReplayMagic = "quarn-replay";
inline constexpr int kReplayVersion = 1;

class InputRecorder {
 public:
  InputRecorder() = default;
  ~InputRecorder();
  InputRecorder(const InputRecorder&) = delete;
  InputRecorder& operator=(const InputRecorder&) = delete;

  // Creates path (replacing it) and writes the header. False when it cannot be written.
  bool Open(const std::string& path, size_t joysticksAtStart);
  bool IsOpen() const { return file_ != nullptr; }
  // Adds one pass. A state unchanged from the previous pass costs nothing; a changed one is
  // written at once, so that a crash keeps everything before it. A failed write is reported
  // and ends the recording.
  void Record(const platform::InputSnapshot& snapshot);
  // Writes the end line and closes; false when anything failed to be written.
  bool Close();
  long Updates() const { return updates_; }

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  bool WriteText(const std::string& text);

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string path_;
  long updates_ = 0;
  size_t slots_ = 0;
  platform::InputSnapshot previous_;
  bool failed_ = false;
};

// The lines of one block (after its "update" line): the snapshot's state, with a "joysticks"
// line when it has more slots than previousSlots.
std::string FormatInputBlock(const platform::InputSnapshot& snapshot, size_t previousSlots);

// Reads a recording. False when text is not a recording this game reads (nothing can be
// played), with the reason in *problem. True otherwise; *problem is then empty, or says what
// was damaged while *out holds every update before the damage.
bool ParseInputRecording(std::string_view text, platform::InputRecording* out,
                         std::string* problem);
// The same for a file; a file that cannot be read is false.
bool ReadInputRecording(const std::string& path, platform::InputRecording* out,
                        std::string* problem);

}  // namespace quarn
