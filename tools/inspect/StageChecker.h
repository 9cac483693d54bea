#pragma once
// The mission logic of a stage file that no single key shows: UnitIDs taken twice or named
// but never placed, emerge events that can never fire, units that never come into play and
// a mission that can never be completed.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CheckReport.h"
#include "DefinitionText.h"

namespace quarn::tools {

class StageChecker {
 public:
  StageChecker(std::string file, const DefinitionText& text);
  void Check(CheckReport& report);

 private:
  struct Unit {
    std::string section;
    unsigned line = 0;
    bool present = false;  // a count beyond the sections still makes a unit, from nothing
  };
  // A condition that holds only once the unit has come into play and broken or been destroyed.
  struct Needs {
    int unitId = 0;
    unsigned line = 0;
    std::string key;
  };
  struct Event {
    std::string section;
    bool possible = true;  // no condition rules it out by itself
    bool missionComplete = false;
    std::vector<Needs> needs;
    std::vector<int> units;
  };

  void ReadUnits(CheckReport& report);
  void CheckRelativeUnits(CheckReport& report) const;
  Event ReadEvent(const std::string& section, CheckReport& report) const;
  void ReadConditions(Event& event, CheckReport& report) const;
  void ReadUnitList(Event& event, CheckReport& report) const;
  // Which events can ever fire, given that a unit comes into play only through them.
  void SettleEvents(CheckReport& report);
  bool HasUnit(int unitId) const;
  // "key=value" as written, "key=0" when it is missing.
  std::string Written(const std::string& section, const std::string& key) const;
  // The line of key in section, or of the flag that made the game read it.
  unsigned LineOf(const std::string& section, const std::string& key,
                  const std::string& flag) const;

  std::string file_;
  const DefinitionText& text_;
  std::map<int, Unit> units_;
  std::vector<Event> events_;
  std::set<int> inPlay_;
};

}  // namespace quarn::tools
