#include "render/EffectKeys.h"

#include <cmath>
#include <cstdio>

#include "engine/DefinitionFile.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}
}  // namespace

std::string EffectKeys::SectionSubject() const {
  return file_.Name() + " [" + file_.CurrentSection() + "]";
}

void EffectKeys::Report(const std::string& key, const std::string& problem) const {
  platform::ReportProblem(SectionSubject() + " " + key, problem);
}

float EffectKeys::Float(const std::string& key, float defaultValue) const {
  const float value = file_.GetFloat(key, defaultValue);
  if (std::isnan(value)) {
    Report(key, "is not a number; " + Number(defaultValue) + " is used");
    return defaultValue;
  }
  if (std::fabs(value) > kLimit) {
    const float cut = std::copysign(kLimit, value);
    Report(key, Number(value) + " is out of range; " + Number(cut) + " is used");
    return cut;
  }
  return value;
}

bool EffectKeys::Bool(const std::string& key) const {
  return file_.GetBool(key, false);
}

std::string EffectKeys::String(const std::string& key) const {
  return file_.GetString(key, "");
}

unsigned EffectKeys::CellCount(const std::string& key) const {
  const int count = file_.GetInt(key, 1);
  if (count < 1) {
    Report(key, std::to_string(count) + " is below 1; 1 is used");
    return 1;
  }
  return static_cast<unsigned>(count);
}

}  // namespace quarn
