// acv: makes and reads the game's data archives.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "ArchiveCommands.h"
#include "ArchivePacker.h"

namespace {
const char kUsage[] =
    "usage: acv COMMAND ARCHIVE [ARGS]\n"
    "Makes and reads the game's data archives (.acv).\n"
    "\n"
    "  acv pack OUT.acv PATH...              pack files, and folders recursively, as records\n"
    "                                        named after each file (no folder names)\n"
    "  acv list A.acv                        name, size and data offset of every record\n"
    "  acv extract A.acv [NAME...] [-C DIR]  write entries (all by default) into DIR as\n"
    "                                        lower-cased file names, as loose game data\n"
    "  acv cat A.acv NAME                    write one entry to standard output\n"
    "\n"
    "Exit status: 0 done, 1 bad input, 2 usage error.\n";

constexpr int kUsageError = 2;

int UsageError(const std::string& message) {
  if (!message.empty())
    std::cerr << "acv: " << message << "\n";
  std::cerr << kUsage;
  return kUsageError;
}

int Pack(const std::vector<std::string>& args) {
  if (args.size() < 2)
    return UsageError("pack needs an output archive and at least one path");
  quarn::tools::ArchivePacker packer(std::cerr);
  bool ok = true;
  for (size_t i = 1; i < args.size(); ++i)
    ok = packer.AddPath(args[i]) && ok;
  return ok && packer.Write(args[0]) ? 0 : 1;
}

int Extract(const std::vector<std::string>& args) {
  std::string archive;
  std::string dir = ".";
  std::vector<std::string> names;
  bool options = true;
  for (size_t i = 0; i < args.size(); ++i) {
    if (options && args[i] == "--") {
      options = false;
    } else if (options && args[i] == "-C") {
      if (i + 1 == args.size())
        return UsageError("-C needs a folder");
      dir = args[++i];
    } else if (archive.empty()) {
      archive = args[i];
    } else {
      names.push_back(args[i]);
    }
  }
  if (archive.empty())
    return UsageError("extract needs an archive");
  return quarn::tools::ExtractEntries(archive, names, dir, std::cerr);
}
}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  if (argc < 2)
    return UsageError("");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "pack")
    return Pack(args);
  if (command == "list") {
    if (args.size() != 1)
      return UsageError("list takes one archive");
    return quarn::tools::ListArchive(args[0], std::cout, std::cerr);
  }
  if (command == "extract")
    return Extract(args);
  if (command == "cat") {
    if (args.size() != 2)
      return UsageError("cat takes an archive and an entry name");
    return quarn::tools::CatEntry(args[0], args[1], std::cout, std::cerr);
  }
  return UsageError("unknown command '" + command + "'");
}
