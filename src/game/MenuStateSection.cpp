#include "game/MenuStateSection.h"

#include "engine/DefinitionFile.h"

namespace quarn {

MenuStateSection::MenuStateSection(DefinitionFile* menu, int state) : menu_(menu), state_(state) {}

bool MenuStateSection::Select() const {
  if (menu_ == nullptr || state_ < 0)
    return false;
  menu_->SelectSection("State", static_cast<unsigned>(state_));
  return true;
}

std::string MenuStateSection::GetString(const std::string& key,
                                        const std::string& defaultValue) const {
  return Select() ? menu_->GetString(key, defaultValue) : defaultValue;
}

std::string MenuStateSection::GetString(const std::string& key, unsigned index,
                                        const std::string& defaultValue) const {
  return Select() ? menu_->GetString(key, index, defaultValue) : defaultValue;
}

int MenuStateSection::GetInt(const std::string& key, int defaultValue) const {
  return Select() ? menu_->GetInt(key, defaultValue) : defaultValue;
}

int MenuStateSection::GetInt(const std::string& key, unsigned index, int defaultValue) const {
  return Select() ? menu_->GetInt(key, index, defaultValue) : defaultValue;
}

float MenuStateSection::GetFloat(const std::string& key, float defaultValue) const {
  return Select() ? menu_->GetFloat(key, defaultValue) : defaultValue;
}

bool MenuStateSection::GetBool(const std::string& key, bool defaultValue) const {
  return Select() ? menu_->GetBool(key, defaultValue) : defaultValue;
}

}  // namespace quarn
