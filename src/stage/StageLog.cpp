#include "stage/StageLog.h"

namespace quarn {

StageLog::~StageLog() {
  if (file_ != nullptr)
    std::fclose(file_);
}

bool StageLog::Open(const std::string& path) {
  if (file_ != nullptr)
    std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

std::string StageLog::Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c >= 0x7F) {
      // Names are bytes (code page 932 text too): every byte stays visible and reversible.
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  out.push_back('"');
  return out;
}

void StageLog::Write(long update, const char* event, const std::string& rest) {
  if (file_ == nullptr)
    return;
  std::fprintf(file_, "{\"update\":%ld,\"event\":\"%s\"%s}\n", update, event, rest.c_str());
  std::fflush(file_);
}

void StageLog::Start(long update, const std::string& stage) {
  Write(update, "start", ",\"stage\":" + Quote(stage));
}

void StageLog::Emerge(long update, int index, const std::vector<int>& units) {
  std::string list;
  // Appended piece by piece: GCC 12 at -O3 takes the joined temporary for an overlapping copy.
  for (size_t i = 0; i < units.size(); ++i) {
    if (i > 0)
      list += ',';
    list += std::to_string(units[i]);
  }
  Write(update, "emerge", ",\"index\":" + std::to_string(index) + ",\"units\":[" + list + "]");
}

void StageLog::Progress(long update, int counter, int value) {
  Write(update, "progress",
        ",\"counter\":" + std::to_string(counter) + ",\"value\":" + std::to_string(value));
}

void StageLog::Phase(long update, int phase) {
  Write(update, "phase", ",\"phase\":" + std::to_string(phase));
}

void StageLog::Result(long update, bool completed) {
  Write(update, "result", completed ? ",\"completed\":true" : ",\"completed\":false");
}

void StageLog::Broken(long update, int unit) {
  Write(update, "broken", ",\"unit\":" + std::to_string(unit));
}

void StageLog::Destructed(long update, int unit) {
  Write(update, "destructed", ",\"unit\":" + std::to_string(unit));
}

void StageLog::Message(long update, int message) {
  Write(update, "message", ",\"message\":" + std::to_string(message));
}

}  // namespace quarn
