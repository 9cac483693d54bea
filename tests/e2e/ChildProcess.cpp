#include "e2e/ChildProcess.h"

#include "e2e/ProcessRunner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace quarn::testing {

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !ended_) {
    kill(pid_, SIGKILL);
    Wait();
  }
  if (!errPath_.empty())
    unlink(errPath_.c_str());
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, const std::vector<std::string>& environment) {
  const int errFd = MakeTempFile("child-err", &errPath_);
  if (errFd < 0)
    return false;
  pid_ = fork();
  if (pid_ == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    ExecChild(program, args, workDir, environment, null, errFd);
  }
  close(errFd);
  return pid_ > 0;
}

bool ChildProcess::Running() {
  if (pid_ <= 0 || ended_)
    return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_)
    ended_ = true;
  return !ended_;
}

void ChildProcess::Signal(int signal) {
  if (Running())
    kill(pid_, signal);
}

int ChildProcess::Wait() {
  if (pid_ <= 0)
    return -1;
  if (!ended_) {
    while (waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
    }
    ended_ = true;
  }
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string ChildProcess::Err() const {
  std::ifstream in(errPath_, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace quarn::testing
