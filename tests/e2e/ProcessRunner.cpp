#include "e2e/ProcessRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace quarn::testing {

namespace {
std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(n));
  return text;
}
}  // namespace

std::string BuildPath(const std::string& name) {
  return std::string(QUARN_BINARY_DIR) + "/" + name;
}

namespace {
std::string TempBase() {
  const char* base = std::getenv("TMPDIR");
  return base && *base ? base : "/tmp";
}
}  // namespace

std::string MakeTempDir(const std::string& tag) {
  std::string pattern = TempBase() + "/quarn-test-" + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  return pattern;
}

int MakeTempFile(const std::string& tag, std::string* path) {
  *path = TempBase() + "/quarn-" + tag + "-XXXXXX";
  return mkstemp(path->data());
}

void ExecChild(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::vector<std::string>& environment, int outFd,
               int errFd) {
  dup2(outFd, 1);
  dup2(errFd, 2);
  if (!workDir.empty() && chdir(workDir.c_str()) != 0)
    _exit(127);
  for (const std::string& entry : environment)
    putenv(strdup(entry.c_str()));
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, const std::vector<std::string>& environment) {
  ProcessResult result;
  // Output goes to files: a pipe could fill and stall a chatty child.
  std::string outPath;
  std::string errPath;
  const int outFd = MakeTempFile("out", &outPath);
  const int errFd = MakeTempFile("err", &errPath);
  const pid_t pid = fork();
  if (pid == 0)
    ExecChild(program, args, workDir, environment, outFd, errFd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status))
    result.exitCode = WEXITSTATUS(status);
  lseek(outFd, 0, SEEK_SET);
  lseek(errFd, 0, SEEK_SET);
  result.out = ReadAll(outFd);
  result.err = ReadAll(errFd);
  close(outFd);
  close(errFd);
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return result;
}

}  // namespace quarn::testing
