#include "engine/InputRecorder.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/Concat.h"
#include "engine/PlainFile.h"
#include "platform/Diagnostics.h"
#include "platform/ScanCodes.h"

namespace quarn {

namespace {
using platform::InputSnapshot;
using platform::JoystickState;

// More slots than any machine has; keeps a damaged count from taking all memory.
constexpr size_t kMaxJoystickSlots = 64;
// Far beyond any recording (a day of play is a few hundred megabytes at worst).
constexpr int64_t kMaxReplayBytes = int64_t{1} << 30;

bool Held(uint8_t byte) {
  return (byte & platform::kKeyDown) != 0;
}

void AppendNumber(std::string& text, int64_t value) {
  text += ' ';
  text += std::to_string(value);
}

// A word of the file in quotes, for problem reports.
std::string Quoted(std::string_view word) {
  return Concat("\"", word, "\"");
}

void AppendHeld(std::string& line, const uint8_t* bytes, size_t count, int first) {
  for (size_t i = 0; i < count; ++i) {
    if (Held(bytes[i]))
      AppendNumber(line, static_cast<int64_t>(i) + first);
  }
}

template <class Array>
bool AnyHeld(const Array& bytes) {
  for (uint8_t byte : bytes) {
    if (Held(byte))
      return true;
  }
  return false;
}

std::string FormatJoystick(size_t slot, const JoystickState& state) {
  const JoystickState rest = JoystickState::AtRest(state.attached);
  std::string line = "joy";
  AppendNumber(line, static_cast<int64_t>(slot));
  if (!state.attached)
    line += " unplugged";
  if (state.axes != rest.axes) {
    line += " axes";
    for (int32_t axis : state.axes)
      AppendNumber(line, axis);
  }
  if (state.sliders != rest.sliders) {
    line += " sliders";
    for (int32_t slider : state.sliders)
      AppendNumber(line, slider);
  }
  if (state.hats != rest.hats) {
    line += " hats";
    for (uint32_t hat : state.hats) {
      AppendNumber(line, hat == platform::kHatCentred ? -1 : int64_t{hat});
    }
  }
  if (AnyHeld(state.buttons)) {
    line += " buttons";
    AppendHeld(line, state.buttons.data(), state.buttons.size(), 1);
  }
  return line;
}

std::optional<int64_t> ToNumber(std::string_view token) {
  int64_t value = 0;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, value);
  if (ec != std::errc() || ptr != end || token.empty())
    return std::nullopt;
  return value;
}

std::optional<uint8_t> ToKey(std::string_view token) {
  if (auto number = ToNumber(token)) {
    if (*number < 0 || *number > 255)
      return std::nullopt;
    return static_cast<uint8_t>(*number);
  }
  for (int code = 1; code < 256; ++code) {
    if (platform::ScanCodeName(static_cast<uint8_t>(code)) == token) {
      return static_cast<uint8_t>(code);
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
      ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t')
      ++end;
    if (end > at)
      words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

// Reads the recording line by line; any problem ends it at the block where it was found.
class RecordingParser {
 public:
  RecordingParser(platform::InputRecording* out, std::string* problem)
      : out_(out), problem_(problem) {}

  bool Parse(std::string_view text);

 private:
  // Each returns false with the damage in error_.
  bool Header(const std::vector<std::string_view>& words);
  bool Line(const std::vector<std::string_view>& words);
  bool StartBlock(int64_t update);
  bool Keys(const std::vector<std::string_view>& words);
  bool Mouse(const std::vector<std::string_view>& words);
  bool MouseButtons(const std::vector<std::string_view>& words);
  bool Joysticks(const std::vector<std::string_view>& words);
  bool Joy(const std::vector<std::string_view>& words);
  bool Numbers(const std::vector<std::string_view>& words, size_t at, size_t count, int64_t min,
               int64_t max, int64_t* values);
  bool GrowSlots(size_t slots);
  void FinishBlock();
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  platform::InputRecording* out_;
  std::string* problem_;
  std::string error_;
  size_t slots_ = 0;
  bool inBlock_ = false;
  bool ended_ = false;
  platform::RecordedChange block_;
};

bool RecordingParser::Parse(std::string_view text) {
  *out_ = platform::InputRecording{};
  problem_->clear();
  bool headerSeen = false;
  long lineNumber = 0;
  size_t at = 0;
  while (at < text.size() && !ended_) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    const size_t hash = line.find('#');
    if (hash != std::string_view::npos)
      line = line.substr(0, hash);
    const std::vector<std::string_view> words = SplitWords(line);
    if (words.empty())
      continue;
    if (!headerSeen) {
      if (!Header(words)) {
        *problem_ = error_;
        return false;
      }
      headerSeen = true;
      continue;
    }
    if (!Line(words)) {
      // Everything before the damage stays playable: a bad state line loses its block, a bad
      // "update" or "end" line only what would have followed.
      const bool blockLine = words[0] != "update" && words[0] != "end";
      if (inBlock_ && blockLine) {
        out_->updateCount = block_.update;
        inBlock_ = false;
      } else {
        FinishBlock();
        out_->updateCount = out_->changes.empty() ? 0 : out_->changes.back().update + 1;
      }
      *problem_ = Concat("line ", std::to_string(lineNumber), ": ", error_);
      ended_ = true;
      break;
    }
  }
  if (!headerSeen) {
    *problem_ = "not a recording (no \"quarn-replay\" line)";
    return false;
  }
  if (!ended_) {
    // Cut short: the last block is complete, but not how long it lasted.
    FinishBlock();
    out_->updateCount = out_->changes.empty() ? 0 : out_->changes.back().update + 1;
    *problem_ = "no \"end\" line (the recording was cut short)";
  }
  // The updates before the first block are at rest.
  if (out_->updateCount > 0 && (out_->changes.empty() || out_->changes.front().update > 0)) {
    platform::RecordedChange rest;
    rest.snapshot.joysticks.assign(out_->joysticksAtStart, JoystickState{});
    out_->changes.insert(out_->changes.begin(), rest);
  }
  // Blocks at or after the end are never played.
  while (!out_->changes.empty() && out_->changes.back().update >= out_->updateCount) {
    out_->changes.pop_back();
  }
  return true;
}

bool RecordingParser::Header(const std::vector<std::string_view>& words) {
  if (words[0] != kReplayMagic)
    return Fail("not a recording (no \"quarn-replay\" line)");
  const auto version = words.size() == 2 ? ToNumber(words[1]) : std::nullopt;
  if (!version || *version < 1)
    return Fail("not a recording (a bad version)");
  if (*version > kReplayVersion) {
    return Fail(Concat("recorded in format version ", std::to_string(*version),
                       ", newer than this game reads (", std::to_string(kReplayVersion), ")"));
  }
  return true;
}

bool RecordingParser::Line(const std::vector<std::string_view>& words) {
  const std::string_view word = words[0];
  if ((word == "update" || word == "end") && words.size() != 2) {
    return Fail(Concat(Quoted(word), " needs one number"));
  }
  if (word == "update") {
    int64_t update = 0;
    if (!Numbers(words, 1, 1, 0, INT32_MAX, &update))
      return false;
    return StartBlock(update);
  }
  if (word == "end") {
    int64_t count = 0;
    if (!Numbers(words, 1, 1, 0, INT32_MAX, &count))
      return false;
    if (inBlock_ && count <= block_.update) {
      return Fail(Concat("\"end ", std::to_string(count), "\" is not after the last update"));
    }
    FinishBlock();
    out_->updateCount = static_cast<long>(count);
    ended_ = true;
    return true;
  }
  if (word == "joysticks")
    return Joysticks(words);
  if (!inBlock_)
    return Fail(Concat(Quoted(word), " before the first \"update\""));
  if (word == "nofocus" && words.size() == 1) {
    block_.snapshot.acquirable = false;
    return true;
  }
  if (word == "keys")
    return Keys(words);
  if (word == "mouse")
    return Mouse(words);
  if (word == "mousebuttons")
    return MouseButtons(words);
  if (word == "joy")
    return Joy(words);
  return Fail(Concat("unknown line ", Quoted(word)));
}

bool RecordingParser::StartBlock(int64_t update) {
  const int64_t last =
      inBlock_ ? block_.update : (out_->changes.empty() ? -1 : out_->changes.back().update);
  if (update <= last) {
    return Fail(Concat("update ", std::to_string(update), " does not come after update ",
                       std::to_string(last)));
  }
  FinishBlock();
  block_ = platform::RecordedChange{};
  block_.update = static_cast<long>(update);
  block_.snapshot.joysticks.assign(slots_, JoystickState{});
  inBlock_ = true;
  return true;
}

void RecordingParser::FinishBlock() {
  if (!inBlock_)
    return;
  out_->changes.push_back(std::move(block_));
  inBlock_ = false;
}

bool RecordingParser::Numbers(const std::vector<std::string_view>& words, size_t at, size_t count,
                              int64_t min, int64_t max, int64_t* values) {
  if (at + count > words.size())
    return Fail(Concat(Quoted(words[0]), " needs more numbers"));
  for (size_t i = 0; i < count; ++i) {
    const auto number = ToNumber(words[at + i]);
    if (!number || *number < min || *number > max) {
      return Fail(Concat(Quoted(words[at + i]), " is not a number from ", std::to_string(min),
                         " to ", std::to_string(max)));
    }
    values[i] = *number;
  }
  return true;
}

bool RecordingParser::GrowSlots(size_t slots) {
  if (slots > kMaxJoystickSlots)
    return Fail("more than 64 joysticks");
  if (slots <= slots_)
    return true;
  slots_ = slots;
  if (inBlock_) {
    block_.snapshot.joysticks.resize(slots_);
  } else {
    out_->joysticksAtStart = slots_;
  }
  return true;
}

bool RecordingParser::Joysticks(const std::vector<std::string_view>& words) {
  if (words.size() != 2)
    return Fail("\"joysticks\" needs one number");
  int64_t slots = 0;
  if (!Numbers(words, 1, 1, 0, kMaxJoystickSlots, &slots))
    return false;
  return GrowSlots(static_cast<size_t>(slots));
}

bool RecordingParser::Keys(const std::vector<std::string_view>& words) {
  for (size_t i = 1; i < words.size(); ++i) {
    const auto key = ToKey(words[i]);
    if (!key)
      return Fail(Concat(Quoted(words[i]), " is not a key"));
    block_.snapshot.keyboard.keys[*key] = platform::kKeyDown;
  }
  return true;
}

bool RecordingParser::Mouse(const std::vector<std::string_view>& words) {
  int64_t values[3];
  if (words.size() != 4)
    return Fail("\"mouse\" needs three numbers");
  if (!Numbers(words, 1, 3, INT32_MIN, INT32_MAX, values))
    return false;
  block_.snapshot.mouse.x = static_cast<int32_t>(values[0]);
  block_.snapshot.mouse.y = static_cast<int32_t>(values[1]);
  block_.snapshot.mouse.wheel = static_cast<int32_t>(values[2]);
  return true;
}

bool RecordingParser::MouseButtons(const std::vector<std::string_view>& words) {
  for (size_t i = 1; i < words.size(); ++i) {
    int64_t button = 0;
    if (!Numbers(words, i, 1, 1, platform::kMouseButtons, &button))
      return false;
    block_.snapshot.mouse.buttons[button - 1] = platform::kKeyDown;
  }
  return true;
}

bool RecordingParser::Joy(const std::vector<std::string_view>& words) {
  int64_t slot = 0;
  if (!Numbers(words, 1, 1, 0, kMaxJoystickSlots - 1, &slot))
    return false;
  if (!GrowSlots(static_cast<size_t>(slot) + 1))
    return false;
  JoystickState state;
  size_t at = 2;
  while (at < words.size()) {
    const std::string_view part = words[at++];
    int64_t values[platform::kJoystickAxes];
    if (part == "unplugged") {
      state.attached = false;
    } else if (part == "axes") {
      if (!Numbers(words, at, platform::kJoystickAxes, 0, platform::kAxisMax, values)) {
        return false;
      }
      for (int i = 0; i < platform::kJoystickAxes; ++i)
        state.axes[i] = static_cast<int32_t>(values[i]);
      at += platform::kJoystickAxes;
    } else if (part == "sliders") {
      if (!Numbers(words, at, platform::kJoystickSliders, 0, platform::kAxisMax, values)) {
        return false;
      }
      for (int i = 0; i < platform::kJoystickSliders; ++i) {
        state.sliders[i] = static_cast<int32_t>(values[i]);
      }
      at += platform::kJoystickSliders;
    } else if (part == "hats") {
      if (!Numbers(words, at, platform::kJoystickHats, -1, 35999, values))
        return false;
      for (int i = 0; i < platform::kJoystickHats; ++i) {
        state.hats[i] = values[i] < 0 ? platform::kHatCentred : static_cast<uint32_t>(values[i]);
      }
      at += platform::kJoystickHats;
    } else if (part == "buttons") {
      for (; at < words.size() && ToNumber(words[at]); ++at) {
        int64_t button = 0;
        if (!Numbers(words, at, 1, 1, platform::kJoystickButtons, &button))
          return false;
        state.buttons[button - 1] = platform::kKeyDown;
      }
    } else {
      return Fail(Concat("unknown joystick part ", Quoted(part)));
    }
  }
  block_.snapshot.joysticks[slot] = state;
  return true;
}
}  // namespace

std::string FormatInputBlock(const InputSnapshot& snapshot, size_t previousSlots) {
  std::string text;
  if (!snapshot.acquirable)
    text += "nofocus\n";
  if (AnyHeld(snapshot.keyboard.keys)) {
    std::string line = "keys";
    AppendHeld(line, snapshot.keyboard.keys.data(), snapshot.keyboard.keys.size(), 0);
    text += Concat(line, "\n");
  }
  const platform::MouseState& mouse = snapshot.mouse;
  if (mouse.x != 0 || mouse.y != 0 || mouse.wheel != 0) {
    text += "mouse";
    AppendNumber(text, mouse.x);
    AppendNumber(text, mouse.y);
    AppendNumber(text, mouse.wheel);
    text += "\n";
  }
  if (AnyHeld(mouse.buttons)) {
    std::string line = "mousebuttons";
    AppendHeld(line, mouse.buttons.data(), mouse.buttons.size(), 1);
    text += Concat(line, "\n");
  }
  if (snapshot.joysticks.size() > previousSlots) {
    text += Concat("joysticks ", std::to_string(snapshot.joysticks.size()), "\n");
  }
  for (size_t i = 0; i < snapshot.joysticks.size(); ++i) {
    const JoystickState& state = snapshot.joysticks[i];
    if (state != JoystickState::AtRest(true))
      text += Concat(FormatJoystick(i, state), "\n");
  }
  return text;
}

bool ParseInputRecording(std::string_view text, platform::InputRecording* out,
                         std::string* problem) {
  return RecordingParser(out, problem).Parse(text);
}

bool ReadInputRecording(const std::string& path, platform::InputRecording* out,
                        std::string* problem) {
  PlainFile file;
  if (!file.OpenRead(path)) {
    *problem = "cannot be opened";
    return false;
  }
  const int64_t size = file.Size();
  if (size < 0 || size > kMaxReplayBytes) {
    *problem = "cannot be read (too large)";
    return false;
  }
  std::string text(static_cast<size_t>(size), '\0');
  if (file.Read(text.data(), text.size()) != text.size()) {
    *problem = "cannot be read";
    return false;
  }
  return ParseInputRecording(text, out, problem);
}

InputRecorder::~InputRecorder() {
  Close();
}

bool InputRecorder::Open(const std::string& path, size_t joysticksAtStart) {
  Close();
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (file_ == nullptr)
    return false;
  path_ = path;
  updates_ = 0;
  slots_ = joysticksAtStart;
  previous_ = InputSnapshot{};
  failed_ = false;
  return WriteText(Concat(kReplayMagic, " ", std::to_string(kReplayVersion), "\njoysticks ",
                          std::to_string(joysticksAtStart), "\n"));
}

bool InputRecorder::WriteText(const std::string& text) {
  if (file_ == nullptr)
    return false;
  if (std::fwrite(text.data(), 1, text.size(), file_.get()) != text.size() ||
      std::fflush(file_.get()) != 0) {
    platform::ReportProblem(path_, "cannot be written; the recording stops here");
    failed_ = true;
    file_.reset();
    return false;
  }
  return true;
}

void InputRecorder::Record(const InputSnapshot& snapshot) {
  if (file_ == nullptr)
    return;
  if (updates_ == 0 || snapshot != previous_) {
    if (!WriteText(Concat("update ", std::to_string(updates_), "\n",
                          FormatInputBlock(snapshot, slots_)))) {
      return;
    }
    slots_ = std::max(slots_, snapshot.joysticks.size());
    previous_ = snapshot;
  }
  ++updates_;
}

bool InputRecorder::Close() {
  if (file_ == nullptr)
    return !failed_;
  const bool written = WriteText(Concat("end ", std::to_string(updates_), "\n"));
  file_.reset();
  return written && !failed_;
}

}  // namespace quarn
