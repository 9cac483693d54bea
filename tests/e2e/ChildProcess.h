#pragma once
// A program of the build started in the background, for tests that need two running at once
// or must stop one from outside. The destructor kills and reaps a child still running.
#include <sys/types.h>

#include <string>
#include <vector>

namespace quarn::testing {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program with args in workDir (empty: here), with extra VAR=VALUE entries in its
  // environment; its standard error goes to a file read by Err(). False if it cannot start.
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::string& workDir, const std::vector<std::string>& environment);
  pid_t Pid() const { return pid_; }
  // True while the child has not exited (it is reaped when it has).
  bool Running();
  void Signal(int signal);
  // Waits for the end; the exit code (0-255), or -1 when it ended by a signal.
  int Wait();
  // What the child wrote to standard error so far.
  std::string Err() const;

 private:
  pid_t pid_ = -1;
  int status_ = 0;
  bool ended_ = false;
  std::string errPath_;
};

}  // namespace quarn::testing
