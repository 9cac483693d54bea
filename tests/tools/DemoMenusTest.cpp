// The demo game's menu files read as the menu scene reads them: every key is one it knows,
// every jump lands on a state, every file named is packed, every picture is cut from inside
// its image, every state can be reached and left, and one key press moves one state only.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <map>
#include <queue>
#include <set>

#include "DemoDataFiles.h"
#include "engine/DefinitionFile.h"
#include "game/MenuScene.h"
#include "render/PngReader.h"
#include "stage/ValueStore.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;
using Section = DefinitionFile::Section;

// The names the game reads: the nine named values and the six menu buttons.
std::vector<std::string> NamedValues() {
  std::vector<std::string> names;
  for (int i = 0; i < ValueStore::kNamedValues; ++i)
    names.push_back(ValueStore::Name(ValueStore::ByIndex(i)));
  return names;
}
std::vector<std::string> Buttons() {
  std::vector<std::string> names;
  for (int button = 1; button <= MenuScene::kButtons; ++button)
    names.push_back(MenuScene::ButtonName(button));
  return names;
}
const char* const kMenuFiles[] = {"SystemMenu.txt", "Debrief.txt"};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool ParseInt(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, *value);
  return ec == std::errc() && ptr == end;
}

// The states of one menu file by number.
struct Menu {
  std::string name;
  std::map<int, Section> states;

  bool Has(int state) const { return states.count(state) != 0; }
  // A key of a state, "" when absent.
  std::string Get(int state, const std::string& key) const {
    const auto s = states.find(state);
    if (s == states.end())
      return "";
    const auto k = s->second.find(key);
    return k == s->second.end() ? "" : k->second;
  }
  // The jump target of a key, -1 when absent (as the menu scene reads it).
  int Target(int state, const std::string& key) const {
    int target = -1;
    const std::string text = Get(state, key);
    return !text.empty() && ParseInt(text, &target) ? target : -1;
  }
};

Menu LoadMenu(const std::string& name) {
  Menu menu;
  menu.name = name;
  DefinitionFile file;
  EXPECT_TRUE(file.Load(DataFile(name))) << name;
  for (const auto& [section, keys] : file.Sections()) {
    int number = 0;
    if (section.rfind("State_", 0) == 0 && ParseInt(section.substr(6), &number))
      menu.states[number] = keys;
    else
      ADD_FAILURE() << name << ": section " << section << " is no state";
  }
  EXPECT_FALSE(menu.states.empty()) << name;
  return menu;
}

std::map<std::string, Menu> LoadMenus() {
  std::map<std::string, Menu> menus;
  for (const char* name : kMenuFiles)
    menus[name] = LoadMenu(name);
  return menus;
}

// Key names without a colon that a state may hold.
std::set<std::string> PlainKeys() {
  std::set<std::string> keys = {"SoundFile",   "MusicFile",   "MusicFadeTime",
                                "TransitTime", "TimeoutTime", "TransitSkipEnable"};
  for (unsigned i = 0; i < 16; ++i) {
    for (const char* key : {"ImageFile", "ImageSrcX", "ImageSrcY", "ImageSrcW", "ImageSrcH",
                            "ImageDstX", "ImageDstY"})
      keys.insert(DefinitionFile::IndexedName(key, i));
  }
  for (unsigned i = 0; i < 32; ++i)
    keys.insert(DefinitionFile::IndexedName("LocalValue", i));
  for (unsigned i = 0; i < 64; ++i)
    keys.insert(DefinitionFile::IndexedName("StorageValue", i));
  for (const std::string& value : NamedValues())
    keys.insert(value);
  return keys;
}

// Whether the part of a jump key after its colon names something the menu scene reads.
bool IsJumpKey(const std::string& key) {
  const size_t colon = key.find(':');
  const std::string before = key.substr(0, colon), after = key.substr(colon + 1);
  if (after == "Timeout")
    return before.empty();
  if (after == "Button") {
    const std::vector<std::string> buttons = Buttons();
    return std::find(buttons.begin(), buttons.end(), before) != buttons.end();
  }
  for (const std::string& value : NamedValues()) {
    if (after == value)
      return true;
  }
  int index = 0;
  for (const auto& [name, count] : {std::pair{"LocalValue_", 32}, {"StorageValue_", 64}}) {
    const std::string prefix = name;
    if (after.rfind(prefix, 0) == 0 && ParseInt(after.substr(prefix.size()), &index))
      return index >= 0 && index < count;
  }
  return false;
}

TEST(DemoMenusTest, LinesEndInCrLfAndEveryKeyIsOneTheMenuReads) {
  const std::set<std::string> plain = PlainKeys();
  for (const auto& [name, menu] : LoadMenus()) {
    const std::string text = ReadText(DataFile(name));
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << name << ": a line ends without CR";
      }
    }
    for (const auto& [state, keys] : menu.states) {
      for (const auto& [key, value] : keys) {
        const bool known =
            key.find(':') == std::string::npos ? plain.count(key) != 0 : IsJumpKey(key);
        EXPECT_TRUE(known) << name << ", state " << state << ": " << key;
      }
    }
  }
}

TEST(DemoMenusTest, EveryJumpLandsOnAStateOfItsFile) {
  const auto menus = LoadMenus();
  for (const auto& [name, menu] : menus) {
    for (const auto& [state, keys] : menu.states) {
      for (const auto& [key, value] : keys) {
        if (key.find(':') == std::string::npos)
          continue;
        int target = 0;
        ASSERT_TRUE(ParseInt(value, &target)) << name << ", state " << state << ": " << key;
        EXPECT_TRUE(target == -2 || menu.Has(target))
            << name << ", state " << state << ": " << key << " jumps to " << target;
      }
      // A state that hands over to another menu (or back to this one) names a state there.
      const std::string next = menu.Get(state, "MenuStateValue");
      if (!next.empty()) {
        std::string file = menu.Get(state, "MenuFileValue");
        if (file.empty())
          file = name;
        ASSERT_TRUE(menus.count(file)) << name << ", state " << state << ": " << file;
        int target = 0;
        EXPECT_TRUE(ParseInt(next, &target) && menus.at(file).Has(target))
            << name << ", state " << state << ": state " << next << " of " << file;
      }
    }
  }
}

// A file of the archive: the text files of data/ and the generated assets.
bool IsPacked(const std::string& file) {
  return fs::is_regular_file(DataFile(file)) || fs::is_regular_file(GeneratedFile(file));
}

TEST(DemoMenusTest, EveryPictureSoundMusicMovieAndMenuNamedIsPacked) {
  for (const auto& [name, menu] : LoadMenus()) {
    for (const auto& [state, keys] : menu.states) {
      for (const auto& [key, value] : keys) {
        const bool names = key.rfind("ImageFile_", 0) == 0 || key == "SoundFile" ||
                           key == "MusicFile" || key == "MovieFileValue" || key == "MenuFileValue";
        if (names && value != "rm") {
          EXPECT_TRUE(IsPacked(value)) << name << ", state " << state << ": " << value;
        }
      }
    }
  }
}

// The stage, aircraft and weapon files come with the stages; data/README.md lists the names
// the menus use, for whoever makes them.
TEST(DemoMenusTest, StageAircraftAndWeaponFilesAreTheOnesTheReadmeLists) {
  const std::string readme = ReadText(DataFile("README.md"));
  ASSERT_FALSE(readme.empty());
  std::set<std::string> named;
  for (const auto& [name, menu] : LoadMenus()) {
    for (const auto& [state, keys] : menu.states) {
      for (const auto& [key, value] : keys) {
        for (const char* kind : {"StageFileValue", "AircraftFileValue", "PrimaryWeaponFileValue",
                                 "SecondaryWeaponFileValue"}) {
          const std::string branch = std::string(":") + kind;
          if (key == kind && value != "rm")
            named.insert(value);
          else if (key.size() > branch.size() && key.ends_with(branch))
            named.insert(key.substr(0, key.size() - branch.size()));
        }
      }
    }
  }
  for (const char* file : {"Stage1.txt", "Stage2.txt", "Aircraft1.txt", "Aircraft2.txt", "Gun.txt",
                           "Missile.txt", "Charge.txt"})
    EXPECT_TRUE(named.count(file)) << file << " is never chosen";
  for (const std::string& file : named)
    EXPECT_NE(readme.find("\"" + file + "\""), std::string::npos) << file;
}

TEST(DemoMenusTest, EveryPictureIsCutFromInsideItsImageAndShownOnTheScreen) {
  std::map<std::string, Picture> images;
  for (const auto& [name, loaded] : LoadMenus()) {
    const Menu& menu = loaded;  // a plain reference, which the lambda below can capture
    for (const auto& entry : menu.states) {
      const int state = entry.first;
      for (unsigned slot = 0; slot < 16; ++slot) {
        const std::string file = menu.Get(state, DefinitionFile::IndexedName("ImageFile", slot));
        if (file.empty() || file == "rm")
          continue;
        if (!images.count(file)) {
          ASSERT_TRUE(ReadPng(GeneratedFile(file), &images[file])) << file;
        }
        const Picture& image = images[file];
        auto number = [&](const char* key) {
          int value = 0;
          const std::string text = menu.Get(state, DefinitionFile::IndexedName(key, slot));
          EXPECT_TRUE(text.empty() || ParseInt(text, &value)) << key << "=" << text;
          return value;
        };
        const int x = number("ImageSrcX"), y = number("ImageSrcY");
        const int w = number("ImageSrcW"), h = number("ImageSrcH");
        const int dx = number("ImageDstX"), dy = number("ImageDstY");
        const std::string where = name + ", state " + std::to_string(state) + ", slot " +
                                  std::to_string(slot) + ", " + file;
        EXPECT_TRUE(w > 0 && h > 0) << where;
        EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= int(image.width) && y + h <= int(image.height))
            << where;
        EXPECT_TRUE(dx >= 0 && dy >= 0 && dx + w <= 640 && dy + h <= 480) << where;
        if (slot == 0) {
          EXPECT_TRUE(dx == 0 && dy == 0 && w == 640 && h == 480) << where << " fills the screen";
        }
      }
    }
  }
}

// The states a state can go to by itself or by a button, in its own file, and the states of
// other menus it hands over to.
std::vector<std::pair<std::string, int>> Successors(const std::map<std::string, Menu>& menus,
                                                    const std::string& file, int state) {
  std::vector<std::pair<std::string, int>> next;
  const Menu& menu = menus.at(file);
  for (const auto& [key, value] : menu.states.at(state)) {
    int target = 0;
    if (key.find(':') != std::string::npos && ParseInt(value, &target) && target >= 0)
      next.emplace_back(file, target);
  }
  int handover = 0;
  if (ParseInt(menu.Get(state, "MenuStateValue"), &handover)) {
    const std::string other = menu.Get(state, "MenuFileValue");
    next.emplace_back(other.empty() ? file : other, handover);
  }
  return next;
}

TEST(DemoMenusTest, EveryStateIsReachedFromTheTitleAndCanBeLeft) {
  const auto menus = LoadMenus();
  std::set<std::pair<std::string, int>> reached = {{"SystemMenu.txt", 0}};
  std::queue<std::pair<std::string, int>> open;
  open.push({"SystemMenu.txt", 0});
  while (!open.empty()) {
    const auto [file, state] = open.front();
    open.pop();
    if (!menus.count(file) || !menus.at(file).Has(state))
      continue;  // reported by the jump test
    for (const auto& next : Successors(menus, file, state)) {
      if (reached.insert(next).second)
        open.push(next);
    }
  }
  for (const auto& [file, menu] : menus) {
    for (const auto& [state, keys] : menu.states) {
      EXPECT_TRUE(reached.count({file, state})) << file << ", state " << state << " is never shown";
      bool leaves = false;
      for (const auto& [key, value] : keys)
        leaves = leaves || (key.find(':') != std::string::npos && value != "-1");
      EXPECT_TRUE(leaves) << file << ", state " << state << " can never be left";
    }
  }
}

// A button press that starts a transition is still "pressed" when that transition takes its
// first step in the same update; if the state entered lets a button cut its transition short
// and maps that button too, the one press would move on again at once.
TEST(DemoMenusTest, OnePressMovesOneStateOnly) {
  for (const auto& [name, menu] : LoadMenus()) {
    for (const auto& [state, keys] : menu.states) {
      for (const std::string& button : Buttons()) {
        const std::string key = button + ":Button";
        const int target = menu.Target(state, key);
        if (target < 0 || menu.Get(target, "TransitSkipEnable") != "true")
          continue;
        EXPECT_EQ(menu.Target(target, key), -1)
            << name << ": " << button << " in state " << state << " goes through state " << target
            << " to " << menu.Target(target, key);
      }
    }
  }
}

// Left alone, the title plays its music and runs into the opening movie, which comes back to
// the title.
TEST(DemoMenusTest, TheTitlePlaysMusicAndTimesOutIntoTheMovieAndBack) {
  const Menu menu = LoadMenu("SystemMenu.txt");
  EXPECT_EQ(menu.Get(0, "MusicFile"), "Title.ogg");
  int state = 0;
  std::set<int> seen;
  while (menu.Get(state, "SceneValue") != "Movie") {
    ASSERT_TRUE(seen.insert(state).second) << "the title loops without the movie";
    const int next = menu.Target(state, ":Timeout");
    ASSERT_GE(next, 0) << "state " << state << " waits for a key";
    state = next;
  }
  EXPECT_EQ(menu.Get(state, "MovieFileValue"), "Opening.ogv");
  EXPECT_EQ(menu.Target(state, ":Timeout"), -2);
  EXPECT_EQ(menu.Get(state, "MenuStateValue"), "0") << "back to the title";
  EXPECT_TRUE(menu.Get(state, "MenuFileValue").empty());
}

}  // namespace
}  // namespace quarn::testing
