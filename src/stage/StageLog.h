#pragma once
// What happens in a stage, as JSON lines for people who make stages and for tests: one object
// a line, first the stage update it happened in, then the event and its details.
#include <cstdio>
#include <string>
#include <vector>

namespace quarn {

class StageLog {
 public:
  StageLog() = default;
  ~StageLog();
  StageLog(const StageLog&) = delete;
  StageLog& operator=(const StageLog&) = delete;

  // Appends to path from now on (made anew); false when it cannot be written.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }

  void Start(long update, const std::string& stage);
  void Emerge(long update, int index, const std::vector<int>& units);
  void Progress(long update, int counter, int value);
  void Phase(long update, int phase);
  void Result(long update, bool completed);
  void Broken(long update, int unit);
  void Destructed(long update, int unit);
  void Message(long update, int message);

  // text as a JSON string, quotes included; bytes that are not UTF-8 are kept as \u00XX.
  static std::string Quote(const std::string& text);

 private:
  void Write(long update, const char* event, const std::string& rest);

  std::FILE* file_ = nullptr;
};

}  // namespace quarn
