#pragma once
// Runs a program of the build (the real game binary, the tools) and collects what it did.
#include <string>
#include <vector>

namespace quarn::testing {

struct ProcessResult {
  int exitCode = -1;  // the low 8 bits, as a shell sees them; -1 when it did not exit
  std::string out;
  std::string err;
};

// Runs program with args in workDir (empty: the current folder), with extra VAR=VALUE
// entries in its environment.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir = "",
                         const std::vector<std::string>& environment = {});

// In a child just forked: makes outFd and errFd its standard output and error, moves to workDir,
// adds the environment entries and runs program; exits 127 when that fails.
[[noreturn]] void ExecChild(const std::string& program, const std::vector<std::string>& args,
                            const std::string& workDir, const std::vector<std::string>& environment,
                            int outFd, int errFd);
// A temporary file named from tag, open for reading and writing; its path in *path.
int MakeTempFile(const std::string& tag, std::string* path);

// A path in the build folder (the game and the tools are built there).
std::string BuildPath(const std::string& name);
// A fresh empty folder for one test.
std::string MakeTempDir(const std::string& tag);

}  // namespace quarn::testing
