#include "ReplayInspector.h"

#include <string_view>

#include "engine/Concat.h"
#include "engine/InputRecorder.h"
#include "platform/ScanCodes.h"

namespace quarn::tools {

namespace {
using platform::InputSnapshot;
using platform::JoystickState;

bool Held(uint8_t byte) {
  return (byte & platform::kKeyDown) != 0;
}

void AppendNumber(std::string& text, int64_t value) {
  text += ' ';
  text += std::to_string(value);
}

template <class Array>
std::string HeldNumbers(const Array& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (Held(bytes[i]))
      AppendNumber(text, static_cast<int64_t>(i) + 1);
  }
  return text;
}

std::string KeysText(const platform::KeyboardState& keyboard) {
  std::string text;
  for (int code = 0; code < 256; ++code) {
    if (!Held(keyboard.keys[code]))
      continue;
    text += text.empty() ? "keys " : " ";
    text += std::to_string(code);
    const std::string_view name = platform::ScanCodeName(static_cast<uint8_t>(code));
    if (!name.empty())
      text += Concat("(", name, ")");
  }
  return text;
}

std::string JoystickText(size_t slot, const JoystickState& state) {
  const JoystickState rest = JoystickState::AtRest(state.attached);
  std::string text = Concat("joystick ", std::to_string(slot), ":");
  if (!state.attached)
    return Concat(text, " unplugged");
  text += " axes";
  for (int32_t axis : state.axes)
    AppendNumber(text, axis);
  if (state.sliders != rest.sliders) {
    text += ", sliders";
    for (int32_t slider : state.sliders)
      AppendNumber(text, slider);
  }
  if (state.hats != rest.hats) {
    text += ", hats";
    for (uint32_t hat : state.hats) {
      if (hat == platform::kHatCentred) {
        text += " centred";
      } else {
        AppendNumber(text, hat);
      }
    }
  }
  const std::string buttons = HeldNumbers(state.buttons);
  text += buttons.empty() ? std::string(", no buttons") : Concat(", buttons", buttons);
  return text;
}

std::string StateText(const InputSnapshot& state) {
  std::string text;
  auto add = [&text](const std::string& part) {
    if (part.empty())
      return;
    text += text.empty() ? "" : "; ";
    text += part;
  };
  if (!state.acquirable)
    add("no focus");
  add(KeysText(state.keyboard));
  const platform::MouseState& mouse = state.mouse;
  if (mouse.x != 0 || mouse.y != 0 || mouse.wheel != 0) {
    add(Concat("mouse ", std::to_string(mouse.x), " ", std::to_string(mouse.y), " wheel ",
               std::to_string(mouse.wheel)));
  }
  const std::string mouseButtons = HeldNumbers(mouse.buttons);
  if (!mouseButtons.empty())
    add(Concat("mouse buttons", mouseButtons));
  for (size_t i = 0; i < state.joysticks.size(); ++i) {
    if (state.joysticks[i] != JoystickState::AtRest(true))
      add(JoystickText(i, state.joysticks[i]));
  }
  return text.empty() ? "nothing held" : text;
}

std::string UpdatesText(long first, long last) {
  if (first == last)
    return Concat("update ", std::to_string(first));
  return Concat("updates ", std::to_string(first), "-", std::to_string(last));
}
}  // namespace

int InspectReplay(const std::string& path, std::ostream& out, std::ostream& err) {
  platform::InputRecording recording;
  std::string problem;
  if (!ReadInputRecording(path, &recording, &problem)) {
    err << "quarn-inspect: " << path << ": " << problem << "\n";
    return 1;
  }
  if (!problem.empty()) {
    err << "quarn-inspect: " << path << ": " << problem << "; the game plays the "
        << recording.updateCount << " updates before it\n";
  }
  out << "recorded input, format " << kReplayVersion << ": " << recording.updateCount
      << " updates, " << recording.joysticksAtStart << " joysticks at the start\n";
  const auto& changes = recording.changes;
  for (size_t i = 0; i < changes.size(); ++i) {
    const long last =
        i + 1 < changes.size() ? changes[i + 1].update - 1 : recording.updateCount - 1;
    out << UpdatesText(changes[i].update, last) << ": " << StateText(changes[i].snapshot) << "\n";
  }
  return 0;
}

}  // namespace quarn::tools
