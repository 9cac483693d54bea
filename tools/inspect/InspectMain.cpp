// quarn-inspect: shows how the game reads a data file.
#include <cstring>
#include <iostream>
#include <string>

#include "CheckCommand.h"
#include "DataSource.h"
#include "DefinitionInspector.h"
#include "ImageInspector.h"
#include "MeshInspector.h"
#include "MeshPicture.h"
#include "ReplayInspector.h"

namespace {
const char kUsage[] =
    "usage: quarn-inspect COMMAND FILE\n"
    "       quarn-inspect picture FILE.x OUT.png [--unlit]\n"
    "       quarn-inspect check [ARCHIVE-OR-FOLDER]\n"
    "Shows how the game reads a data file on standard output (JSON, or text for replays).\n"
    "\n"
    "  def FILE     a definition file: its sections and keys as the game sees them\n"
    "  image FILE   an image file: its size and the texture it becomes\n"
    "  mesh FILE.x  a .x mesh: vertex and face counts, vertex format, materials, subsets, bounds\n"
    "  replay FILE  recorded input (--record): the keys, mouse and joysticks of every update,\n"
    "               as text\n"
    "  picture FILE.x OUT.png [--unlit]\n"
    "               the mesh drawn by the OpenGL device off-screen from four sides (front left,\n"
    "               left, above, behind) into a PNG; its textures are looked for beside it\n"
    "  check [ARCHIVE-OR-FOLDER]\n"
    "               every file the game can reach from SystemMenu.txt, in an archive or a loose\n"
    "               data folder (default: Data.acv here, else Data/): one line per problem,\n"
    "               FILE(LINE): missing or broken files, keys and sections the game never\n"
    "               reads, counts that do not match, emerge events that can never fire.\n"
    "               Exits 1 when it found problems, 0 when none\n";
}

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  if (argc >= 4 && std::strcmp(argv[1], "picture") == 0) {
    const bool unlit = argc == 5 && std::strcmp(argv[4], "--unlit") == 0;
    if (argc > 5 || (argc == 5 && !unlit)) {
      std::cerr << kUsage;
      return 2;
    }
    return quarn::tools::DrawMeshPicture(argv[2], argv[3], unlit, std::cerr);
  }
  if (argc >= 2 && std::strcmp(argv[1], "check") == 0) {
    if (argc > 3) {
      std::cerr << kUsage;
      return 2;
    }
    const std::string where = argc == 3 ? argv[2] : quarn::tools::DataSource::DefaultLocation();
    return quarn::tools::CheckData(where, std::cout, std::cerr);
  }
  if (argc != 3) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = argv[1];
  const std::string path = argv[2];
  if (command == "def")
    return quarn::tools::InspectDefinition(path, std::cout, std::cerr);
  if (command == "image")
    return quarn::tools::InspectImage(path, std::cout, std::cerr);
  if (command == "mesh")
    return quarn::tools::InspectMesh(path, std::cout, std::cerr);
  if (command == "replay")
    return quarn::tools::InspectReplay(path, std::cout, std::cerr);
  std::cerr << "quarn-inspect: unknown command '" << command << "'\n" << kUsage;
  return 2;
}
