#include "StageChecker.h"

#include <algorithm>

#include "DefinitionChecker.h"
#include "KeyTable.h"

namespace quarn::tools {

namespace {
std::string Indexed(const std::string& name, unsigned index) {
  return DefinitionFile::IndexedName(name, index);
}
std::string SectionText(const std::string& name) {
  return "[" + name + "]";
}
}  // namespace

StageChecker::StageChecker(std::string file, const DefinitionText& text)
    : file_(std::move(file)), text_(text) {}

std::string StageChecker::Written(const std::string& section, const std::string& key) const {
  const DefinitionText::Entry* entry = text_.Find(section, key);
  return key + "=" + (entry != nullptr ? entry->value : std::string("0"));
}

bool StageChecker::HasUnit(int unitId) const {
  return unitId == keys::kPlayerUnitId || units_.count(unitId) != 0;
}

unsigned StageChecker::LineOf(const std::string& section, const std::string& key,
                              const std::string& flag) const {
  if (const DefinitionText::Entry* entry = text_.Find(section, key))
    return entry->line;
  return text_.LineOf(section, flag);
}

void StageChecker::Check(CheckReport& report) {
  ReadUnits(report);
  CheckRelativeUnits(report);
  const int count = DefinitionChecker::CountValue(text_, keys::kStage, keys::kEmergeCount);
  for (int n = 0; n < count; ++n)
    events_.push_back(ReadEvent(Indexed(keys::kEmerge, static_cast<unsigned>(n)), report));
  SettleEvents(report);

  for (const auto& [id, unit] : units_) {
    if (unit.present && inPlay_.count(id) == 0) {
      report.Add(file_, unit.line,
                 SectionText(unit.section) + " (UnitID " + std::to_string(id) +
                     ") never comes into play: no emerge event that can fire names it");
    }
  }
  const bool completes = std::any_of(events_.begin(), events_.end(), [](const Event& event) {
    return event.possible && event.missionComplete;
  });
  if (!completes) {
    report.Add(file_, text_.LineOf(keys::kStage, keys::kEmergeCount),
               std::string("no emerge event that can fire has ") + keys::kMissionComplete +
                   "=true: the mission can never be completed");
  }
}

void StageChecker::ReadUnits(CheckReport& report) {
  for (const SectionRule* placement : KeyTable::UnitPlacements()) {
    const int count = DefinitionChecker::CountValue(text_, keys::kStage, placement->countKey);
    for (int n = 0; n < count; ++n) {
      const std::string section = Indexed(placement->name, static_cast<unsigned>(n));
      // As the game does, a missing section still makes a unit, under UnitID 0.
      const int id = text_.GetInt(section, keys::kUnitId, 0);
      const unsigned line = text_.LineOf(section, keys::kUnitId);
      const DefinitionText::Section* found = text_.FindSection(section);
      auto [it, added] = units_.try_emplace(
          id, Unit{section, found != nullptr ? found->line : 0, found != nullptr});
      if (!added) {
        report.Add(file_, line,
                   "UnitID " + std::to_string(id) + " of " + SectionText(section) +
                       " is taken by " + SectionText(it->second.section) +
                       ": the game leaves this unit out");
      }
    }
  }
}

void StageChecker::CheckRelativeUnits(CheckReport& report) const {
  struct Relative {
    const char* flag;
    const char* key;
    const char* consequence;
  };
  static constexpr Relative kRelatives[] = {
      {keys::kRelativeLayoutEnable, keys::kRelativeLayoutId, "it is placed in world axes"},
      {keys::kRelativeDestinationEnable, keys::kRelativeDestinationId,
       "its destination is in world axes"},
  };
  for (const auto& [id, unit] : units_) {
    for (const Relative& relative : kRelatives) {
      if (!text_.GetBool(unit.section, relative.flag))
        continue;
      const int other = text_.GetInt(unit.section, relative.key, 0);
      if (!HasUnit(other)) {
        report.Add(file_, LineOf(unit.section, relative.key, relative.flag),
                   std::string(relative.key) + "=" + std::to_string(other) +
                       " names no unit of the stage: " + relative.consequence);
      }
    }
  }
}

StageChecker::Event StageChecker::ReadEvent(const std::string& section, CheckReport& report) const {
  Event event;
  event.section = section;
  event.missionComplete = text_.GetBool(section, keys::kMissionComplete);
  if (text_.GetBool(section, keys::kLaterTimeEnable) &&
      text_.GetBool(section, keys::kSoonerTimeEnable)) {
    if (text_.GetFloat(section, keys::kLaterTime) > text_.GetFloat(section, keys::kSoonerTime)) {
      event.possible = false;
      report.Add(file_, LineOf(section, keys::kLaterTime, keys::kLaterTimeEnable),
                 Written(section, keys::kLaterTime) + " is after " +
                     Written(section, keys::kSoonerTime) + ": " + SectionText(section) +
                     " can never fire");
    }
  }
  for (unsigned i = 0; i < keys::kProgressCounters; ++i) {
    const std::string greaterFlag = Indexed(keys::kGreaterEnable, i);
    const std::string lessFlag = Indexed(keys::kLessEnable, i);
    if (!text_.GetBool(section, greaterFlag) || !text_.GetBool(section, lessFlag))
      continue;
    const std::string greaterKey = Indexed(keys::kGreater, i);
    const std::string lessKey = Indexed(keys::kLess, i);
    const int greater = text_.GetInt(section, greaterKey, 0);
    const int less = text_.GetInt(section, lessKey, 0);
    if (greater > less) {
      event.possible = false;
      report.Add(file_, LineOf(section, greaterKey, greaterFlag),
                 greaterKey + "=" + std::to_string(greater) + " is above " + lessKey + "=" +
                     std::to_string(less) + ": " + SectionText(section) + " can never fire");
    }
  }
  ReadConditions(event, report);
  ReadUnitList(event, report);
  return event;
}

void StageChecker::ReadConditions(Event& event, CheckReport& report) const {
  const std::string& section = event.section;
  // The units each kind of condition names, to find one unit required both ways.
  std::map<int, std::string> wanted[2], unwanted[2];
  for (const UnitCondition& condition : KeyTable::UnitConditions()) {
    for (unsigned j = 0; j < keys::kUnitConditionSlots; ++j) {
      const std::string flag = Indexed(condition.enableKey, j);
      if (!text_.GetBool(section, flag))
        continue;
      const std::string key = Indexed(condition.idKey, j);
      const int id = text_.GetInt(section, key, 0);
      const unsigned line = LineOf(section, key, flag);
      if (!HasUnit(id)) {
        event.possible = false;
        report.Add(file_, line,
                   key + "=" + std::to_string(id) +
                       " names no unit of the stage: " + SectionText(section) + " can never fire");
        continue;
      }
      auto& mine = condition.holds ? wanted : unwanted;
      auto& opposite = condition.holds ? unwanted : wanted;
      const int kind = condition.destroyed ? 1 : 0;
      mine[kind].try_emplace(id, key);
      if (auto it = opposite[kind].find(id); it != opposite[kind].end()) {
        event.possible = false;
        report.Add(file_, line,
                   key + " and " + it->second + " name the same unit " + std::to_string(id) +
                       " both ways: " + SectionText(section) + " can never fire");
      }
      if (condition.holds && id != keys::kPlayerUnitId)
        event.needs.push_back({id, line, key});
    }
  }
}

void StageChecker::ReadUnitList(Event& event, CheckReport& report) const {
  const std::string& section = event.section;
  const int count = DefinitionChecker::CountValue(text_, section, keys::kUnitCount);
  for (int m = 0; m < count; ++m) {
    const std::string key = Indexed(keys::kUnitId, static_cast<unsigned>(m));
    const int id = text_.GetInt(section, key, 0);
    const unsigned line = LineOf(section, key, keys::kUnitCount);
    const std::string written = key + "=" + std::to_string(id);
    if (id == keys::kPlayerUnitId) {
      report.Add(file_, line,
                 written + " names the player, who is always in play: the game leaves it out");
    } else if (units_.count(id) == 0) {
      report.Add(file_, line, written + " names no unit of the stage: the game leaves it out");
    } else if (std::find(event.units.begin(), event.units.end(), id) != event.units.end()) {
      report.Add(file_, line, written + " names the same unit a second time");
    } else {
      event.units.push_back(id);
    }
  }
}

void StageChecker::SettleEvents(CheckReport& report) {
  // Fire in thought whatever can fire with the units already in play, until nothing more can;
  // the events left over wait for units that only they, or nothing, would bring in.
  std::vector<bool> fired(events_.size(), false);
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t n = 0; n < events_.size(); ++n) {
      const Event& event = events_[n];
      if (fired[n] || !event.possible)
        continue;
      if (std::all_of(event.needs.begin(), event.needs.end(),
                      [&](const Needs& needs) { return inPlay_.count(needs.unitId) != 0; })) {
        fired[n] = changed = true;
        inPlay_.insert(event.units.begin(), event.units.end());
      }
    }
  }
  for (size_t n = 0; n < events_.size(); ++n) {
    Event& event = events_[n];
    if (fired[n] || !event.possible)
      continue;
    event.possible = false;
    for (const Needs& needs : event.needs) {
      if (inPlay_.count(needs.unitId) != 0)
        continue;
      report.Add(file_, needs.line,
                 needs.key + " names unit " + std::to_string(needs.unitId) +
                     ", which no emerge event that can fire brings into play: " +
                     SectionText(event.section) + " can never fire");
      break;
    }
  }
}

}  // namespace quarn::tools
