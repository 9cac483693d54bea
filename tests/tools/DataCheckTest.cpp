// The data checker on small games written by the tests: a clean one says nothing, and each
// kind of mistake a modder makes is named with its file and line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "CheckCommand.h"
#include "CheckReport.h"
#include "DataChecker.h"
#include "DataSource.h"
#include "NameSuggestion.h"
#include "engine/ArchiveFixture.h"

namespace quarn::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using tools::CheckReport;
using tools::DataChecker;
using tools::DataSource;

// The lines of a definition file, with the CR LF ends the game needs.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines)
    text += std::string(line) + "\r\n";
  return text;
}

// A 1 x 1 true-colour TGA and a two-sample WAVE: the smallest files the game's readers take.
const std::string kPicture("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x18\0\0\0\xff", 21);
const std::string kSound =
    std::string(
        "RIFF\x26\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0\x40\x1f\0\0\x40\x1f\0\0\1\0\x08\0data\2\0\0\0",
        44) +
    "\x80\x80";
const char kTriangle[] =
    "xof 0303txt 0032\nMesh {\n 3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,2;;\n}\n";

// A whole small game: a menu that starts a stage with one aircraft kind, a gun, its shell
// and the shell's spark; two enemies, brought in at once, and a mission won by breaking one.
Records CleanGame() {
  return {
      {"SystemMenu.txt",
       Lines({"The one state of this menu.", "[State_0]", "ImageFile_0=Title.tga",
              "SoundFile=Beep.wav", "MusicFile=Title.ogg", "StageFileValue=Stage.txt",
              "AircraftFileValue=Plane.txt", "PrimaryWeaponFileValue=Gun.txt",
              "SecondaryWeaponFileValue=Gun.txt", "SceneValue=Main", "TimeoutTime=0", ":Timeout=-2",
              "OK:Button=0"})},
      {"Stage.txt", Lines({"[Scene]",
                           "FogEnable=false",
                           "[Stage]",
                           "MusicFile=Title.ogg",
                           "LightAircraftCount=2",
                           "EmergeCount=2",
                           "[PlayerAircraft]",
                           "ActiveTimeLimit=300",
                           "[LightAircraft_0]",
                           "DefineFile=Plane.txt",
                           "UnitID=1",
                           "[LightAircraft_1]",
                           "DefineFile=Plane.txt",
                           "UnitID=2",
                           "[Emerge_0]",
                           "UnitCount=2",
                           "UnitID_0=1",
                           "UnitID_1=2",
                           "[Emerge_1]",
                           "BreakUnitEnable_0=true",
                           "BreakUnitID_0=1",
                           "MissionComplete=true"})},
      {"Plane.txt", Lines({"[Solid]", "NormalMeshEnable=true", "NormalMeshFile=Plane.x", "[Target]",
                           "Armored=10", "[Container]", "RapidWeaponCount=1", "[RapidWeapon_0]",
                           "DefineFile=Cannon.txt", "[Aircraft]", "MaxVelocity=5",
                           "[PlayerAircraft]", "RollingCount=2"})},
      {"Plane.x", kTriangle},
      {"Gun.txt", Lines({"[SelectableWeapon]", "RapidWeaponEnable=true", "DefineFile=Cannon.txt",
                         "HUDTextureFile=Title.tga"})},
      {"Cannon.txt", Lines({"[Weapon]", "BulletFile=Shell.txt", "PortCount=1", "PortPositionZ_0=2",
                            "FireSoundEnable=true", "FireSoundFile=Beep.wav", "[RapidWeapon]",
                            "RapidFireIntervalTime=0.1"})},
      {"Shell.txt", Lines({"[Solid]", "CollisionEnable=true", "ImpulsiveForce=1", "[Bullet]",
                           "BurstParticleEnable=true", "BurstParticleFile=Spark.txt", "[Gun]",
                           "InitialVelocity=300"})},
      {"Spark.txt", Lines({"[Particle]", "ParticleCount=1", "[Particle_0]", "Texture=Title.tga",
                           "EmitRate=10"})},
      {"Title.tga", kPicture},
      {"Beep.wav", kSound},
      {"Title.ogg", "music"},
      {"HUD.png", kPicture},
      {"Number.png", kPicture},
      {"Message.png", kPicture},
      {"Alert.wav", kSound},
  };
}

class DataCheckTest : public ArchiveFixture {
 protected:
  // Replaces (or with empty text removes) one file of the game.
  void Change(const std::string& name, const std::string& text) {
    for (auto it = game_.begin(); it != game_.end(); ++it) {
      if (it->first == name) {
        game_.erase(it);
        break;
      }
    }
    if (!text.empty())
      game_.emplace_back(name, text);
  }
  // The game as loose files of a folder, checked.
  std::vector<std::string> Check() {
    const std::string folder = root_ + "/Loose";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    for (const auto& [name, bytes] : game_)
      WriteFile(folder + "/" + LowerCaseName(name), bytes);
    DataSource source;
    std::string problem;
    EXPECT_TRUE(source.Open(folder, &problem)) << problem;
    CheckReport report;
    DataChecker(source, report).Run();
    return report.Lines();
  }

  Records game_ = CleanGame();
};

TEST_F(DataCheckTest, CleanGameSaysNothingInAFolderOrAnArchive) {
  EXPECT_EQ(Check(), std::vector<std::string>{});
  WriteArchive(game_);
  std::ostringstream out, err;
  EXPECT_EQ(tools::CheckData(base_ + ".acv", out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(tools::CheckData(root_ + "/nothing-here", out, err), 2);
}

TEST_F(DataCheckTest, MissingMeshNamesItsFileAndWhereItIsNamed) {
  Change("Plane.x", "");
  Change("Title.tga", "not a picture");
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "Title.tga(0): cannot be loaded as a picture: not an image file of a "
                         "known kind (PNG, JPEG, BMP, TGA, DDS); named by SystemMenu.txt(3) "
                         "ImageFile_0 and 2 more places",
                         "Plane.x(0): not found; named by Plane.txt(3) NormalMeshFile"}));
}

TEST_F(DataCheckTest, MisspeltKeysAndSectionsWithWhatWasMeant) {
  Change("Shell.txt", Lines({"[Solid]", "CollisionEnable=true", "ImpulsiveFroce=1", "[Bulet]",
                             "BurstParticleEnable=true", "[Gun]", "InitialVelocity=fast",
                             "InitialVelocity=300", "[Rocket]", "Dispersion=1"}));
  const std::vector<std::string> lines = Check();
  EXPECT_THAT(lines, Contains("Shell.txt(3): ImpulsiveFroce is not a key the game reads in "
                              "[Solid]; did you mean ImpulsiveForce?"));
  EXPECT_THAT(lines, Contains("Shell.txt(4): [Bulet] is not a section the game reads in a gun "
                              "bullet file; did you mean [Bullet]?"));
  EXPECT_THAT(lines, Contains("Shell.txt(7): InitialVelocity=fast is not a number: the game "
                              "reads the default"));
  EXPECT_THAT(lines, Contains("Shell.txt(8): InitialVelocity appears again in [Gun] (first on "
                              "line 7): the game reads only the first"));
  EXPECT_THAT(lines, Contains(HasSubstr("Shell.txt(9): [Rocket] is not a section")));
  // A key written under the wrong header.
  Change("Cannon.txt", Lines({"[Weapon]", "BulletFile=Shell.txt", "RapidFireIntervalTime=0.1"}));
  EXPECT_THAT(Check(), Contains("Cannon.txt(3): RapidFireIntervalTime is not read in [Weapon]; "
                                "the game reads it in [RapidWeapon]"));
}

TEST_F(DataCheckTest, CountsThatDoNotMatchWhatIsThere) {
  Change("Stage.txt",
         Lines({"[Stage]", "LightAircraftCount=3", "EmergeCount=1", "[LightAircraft_0]",
                "DefineFile=Plane.txt", "UnitID=1", "[LightAircraft_1]", "DefineFile=Plane.txt",
                "UnitID=2", "[Emerge_0]", "MissionComplete=true", "UnitCount=2", "UnitID_0=1",
                "UnitID_1=2", "UnitID_2=2", "[Emerge_1]", "UnitCount=0"}));
  Change("Cannon.txt", Lines({"[Weapon]", "BulletFile=Shell.txt", "PortCount=3",
                              "PortPositionZ_0=2", "PortPositionX_2=1", "PortPositionY_3=1"}));
  const std::vector<std::string> lines = Check();
  EXPECT_THAT(lines, Contains("Stage.txt(2): LightAircraftCount=3 but there is no "
                              "[LightAircraft_2]: the game reads defaults for it"));
  EXPECT_THAT(lines, Contains("Stage.txt(15): UnitID_2 is beyond UnitCount=2: the game never "
                              "reads it"));
  EXPECT_THAT(lines, Contains("Stage.txt(16): [Emerge_1] is beyond EmergeCount=1 of [Stage]: the "
                              "game never reads it"));
  EXPECT_THAT(lines, Contains("Cannon.txt(3): PortCount=3 but no key has the index 1: the game "
                              "reads defaults there"));
  EXPECT_THAT(lines, Contains("Cannon.txt(6): PortPositionY_3 is beyond PortCount=3: the game "
                              "never reads it"));
}

TEST_F(DataCheckTest, EmergeEventsThatCanNeverFire) {
  Change("Stage.txt", Lines({"[Stage]",
                             "LightAircraftCount=2",
                             "EmergeCount=4",
                             "[LightAircraft_0]",
                             "DefineFile=Plane.txt",
                             "UnitID=1",
                             "[LightAircraft_1]",
                             "DefineFile=Plane.txt",
                             "UnitID=1",
                             "[Emerge_0]",
                             "UnitCount=1",
                             "UnitID_0=1",
                             "[Emerge_1]",
                             "BreakUnitEnable_0=true",
                             "BreakUnitID_0=7",
                             "UnitCount=1",
                             "UnitID_0=9",
                             "[Emerge_2]",
                             "LaterTimeEnable=true",
                             "LaterTime=20",
                             "SoonerTimeEnable=true",
                             "SoonerTime=10",
                             "[Emerge_3]",
                             "MissionComplete=true",
                             "DestructUnitEnable_0=true",
                             "DestructUnitID_0=1",
                             "UndestructUnitEnable_4=true",
                             "UndestructUnitID_4=1"}));
  EXPECT_EQ(Check(),
            (std::vector<std::string>{
                "Stage.txt(3): no emerge event that can fire has MissionComplete=true: the mission "
                "can never be completed",
                "Stage.txt(9): UnitID 1 of [LightAircraft_1] is taken by [LightAircraft_0]: the "
                "game leaves this unit out",
                "Stage.txt(15): BreakUnitID_0=7 names no unit of the stage: [Emerge_1] can never "
                "fire",
                "Stage.txt(17): UnitID_0=9 names no unit of the stage: the game leaves it out",
                "Stage.txt(20): LaterTime=20 is after SoonerTime=10: [Emerge_2] can never fire",
                "Stage.txt(28): UndestructUnitID_4 and DestructUnitID_0 name the same unit 1 both "
                "ways: [Emerge_3] can never fire"}));
}

TEST_F(DataCheckTest, AUnitNoEventCanBringInBlocksTheEventsThatWaitForIt) {
  // Unit 2 comes only with an event that waits for unit 2 itself to break.
  Change("Stage.txt",
         Lines({"[Stage]", "LightAircraftCount=2", "EmergeCount=2", "[LightAircraft_0]",
                "DefineFile=Plane.txt", "UnitID=1", "[LightAircraft_1]", "DefineFile=Plane.txt",
                "UnitID=2", "[Emerge_0]", "UnitCount=1", "UnitID_0=1", "[Emerge_1]",
                "BreakUnitEnable_0=true", "BreakUnitID_0=2", "UnitCount=1", "UnitID_0=2",
                "MissionComplete=true"}));
  const std::vector<std::string> lines = Check();
  EXPECT_THAT(lines, Contains("Stage.txt(15): BreakUnitID_0 names unit 2, which no emerge event "
                              "that can fire brings into play: [Emerge_1] can never fire"));
  EXPECT_THAT(lines, Contains("Stage.txt(7): [LightAircraft_1] (UnitID 2) never comes into play: "
                              "no emerge event that can fire names it"));
}

TEST_F(DataCheckTest, RemarksAreSilentButFlagsAndLineEndsAreNot) {
  Change("Plane.txt",
         Lines({"Remarks need no marker; this one has no equals sign.", "[Solid]",
                "NormalMeshEnable=True", "NormalMeshFile=Plane.x", "CollisionMeshFile=Plane.x",
                "ShatterParticleEnable=true", "[Target]", "BreakProgressPoint_8=5"}));
  Change("Spark.txt", "[Particle]\nParticleCount=1\n");
  EXPECT_EQ(Check(),
            (std::vector<std::string>{
                "Plane.txt(3): NormalMeshEnable=True is neither true nor false (written exactly "
                "so): the game reads false",
                "Plane.txt(5): CollisionMeshFile is ignored: the game reads it only when "
                "CollisionMeshEnable=true",
                "Plane.txt(6): ShatterParticleEnable=true but no ShatterParticleFile names the "
                "file",
                "Plane.txt(8): BreakProgressPoint_8 is never read: the game reads "
                "BreakProgressPoint_0 to BreakProgressPoint_7",
                "Spark.txt(0): has LF line ends: the game needs CR LF and reads the whole file as "
                "one line"}));
}

TEST_F(DataCheckTest, MenuJumpsToStatesThatAreNotThere) {
  Change("SystemMenu.txt", Lines({"[State_0]", "OK:Button=4", "Cancel:Button=-5", "Ok:Button=0",
                                  "Main:SceneValue=0", "TimeoutTime=0", ":Timeout=-2"}));
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "SystemMenu.txt(2): OK:Button=4 names a state without a [State_4] "
                         "section: the menu would stop on an empty screen there",
                         "SystemMenu.txt(3): Cancel:Button=-5 names no state (-1 is none, -2 "
                         "ends the menu)",
                         "SystemMenu.txt(4): Ok:Button is not a key the game reads in "
                         "[State_0]; did you mean OK:Button?"}));
}

TEST_F(DataCheckTest, ValuesAreReadAsTheGameReadsThem) {
  Change("Spark.txt",
         Lines({"[Particle]", "ParticleCount=5000", "[Particle_0]", "EmitRate=nan", "LifeTime=fast",
                "AnimationCount=12abc", "SizeMin= 1.5 ", "ColorR=1e-1", "Texture=Title.tga "}));
  EXPECT_EQ(
      Check(),
      (std::vector<std::string>{
          "Spark.txt(2): ParticleCount=5000 is above 4096: the game reads 4096",
          "Spark.txt(2): ParticleCount=5000 but there is no [Particle_1], [Particle_2], "
          "[Particle_3] and 4092 more: the game reads defaults for them",
          "Spark.txt(4): EmitRate=nan is not a decimal number: nan, inf and hexadecimal forms are "
          "not numbers in definition files",
          "Spark.txt(5): LifeTime=fast is not a number: the game reads the default",
          "Spark.txt(6): AnimationCount=12abc is read as 12: the rest is ignored",
          "Title.tga (0): not found (the name begins or ends with a space); named by "
          "Spark.txt(9) Texture"}));
}

TEST_F(DataCheckTest, FlagsChooseTheKindOfFileAndWhetherItIsOpened) {
  // A rocket launcher: its projectile file is read as a rocket, whose sections differ; a
  // sound switched off is never opened, so its missing file does not matter.
  Change("Cannon.txt", Lines({"[Weapon]", "RocketBulletEnable=true", "BulletFile=Shell.txt",
                              "FireSoundEnable=false", "FireSoundFile=Missing.wav"}));
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "Shell.txt(7): [Gun] is not a section the game reads in a rocket file"}));
  Change("Gun.txt",
         Lines({"[SelectableWeapon]", "LockWeaponEnable=true", "DefineFile=Cannon.txt"}));
  Change("Cannon.txt", Lines({"[Weapon]", "BulletFile=Shell.txt", "[LockWeapon]", "LockTime=1",
                              "[RapidWeapon]", "RapidFireIntervalTime=0.1"}));
  // Cannon.txt is also the plane's rapid weapon, so both kinds' sections are read in it.
  EXPECT_EQ(Check(), std::vector<std::string>{});
}

TEST_F(DataCheckTest, MeshTexturesAndCutSoundsAsTheGameLoadsThem) {
  Change("Plane.x",
         "xof 0303txt 0032\nMesh {\n 3; 0;0;0;, 1;0;0;, 0;1;0;;\n 1; 3;0,1,2;;\n"
         " MeshMaterialList { 1; 1; 0;;\n  Material { 1;1;1;1;; 8; 0;0;0;; 0;0;0;;\n"
         "   TextureFilename { \"Skin.png\"; } }\n }\n}\n");
  Change("Beep.wav", kSound.substr(0, 45));
  EXPECT_EQ(Check(), (std::vector<std::string>{
                         "Beep.wav(0): the sample data is cut short: the game plays what is "
                         "there; named by SystemMenu.txt(4) SoundFile and 1 more place",
                         "Skin.png(0): not found; named by Plane.x(0) its material"}));
}

TEST_F(DataCheckTest, AnArchiveFallsBackOnItsLooseFolder) {
  // Entries the archive lacks are read from the folder beside it, as the game reads them.
  Records packed = game_;
  packed.erase(std::remove_if(packed.begin(), packed.end(),
                              [](const auto& record) { return record.first == "Plane.x"; }),
               packed.end());
  WriteArchive(packed);
  std::ostringstream out, err;
  EXPECT_EQ(tools::CheckData(base_ + ".acv", out, err), 1);
  EXPECT_EQ(out.str(), "Plane.x(0): not found; named by Plane.txt(3) NormalMeshFile\n");
  std::filesystem::create_directory(base_);
  WriteFile(base_ + "/plane.x", kTriangle);
  out.str("");
  EXPECT_EQ(tools::CheckData(base_ + ".acv", out, err), 0) << out.str();
}

TEST(NameSuggestionTest, OneCloseNameOrNone) {
  const std::vector<std::string> keys = {"MinVelocity", "MaxVelocity", "Armored", "LockTime"};
  EXPECT_EQ(tools::ClosestName("MaxVelocty", keys), "MaxVelocity");
  EXPECT_EQ(tools::ClosestName("armored", keys), "Armored");    // case alone
  EXPECT_EQ(tools::ClosestName("LcokTime", keys), "LockTime");  // two letters swapped
  EXPECT_EQ(tools::ClosestName("MVelocity", keys), "");         // as near to both
  EXPECT_EQ(tools::ClosestName("Speed", keys), "");
}

}  // namespace
}  // namespace quarn::testing
