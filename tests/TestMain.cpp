// The main of every test program: a quiet, deterministic environment, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef QUARN_NO_LEAK_CHECK
// Programs that make a GL context: the driver keeps memory until the process ends.
extern "C" const char* __asan_default_options() {
  return "detect_leaks=0";
}
#endif

namespace {
// Sets VAR=VALUE entries (separated by '|') unless the caller's environment already has them.
void SetDefaults(const std::string& entries) {
  size_t start = 0;
  while (start < entries.size()) {
    size_t end = entries.find('|', start);
    if (end == std::string::npos)
      end = entries.size();
    const std::string entry = entries.substr(start, end - start);
    const size_t equals = entry.find('=');
    if (equals != std::string::npos) {
      setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 0);
    }
    start = end + 1;
  }
}

// Every test program gets a folder of its own for the files its tests and the programs they
// start write (GoogleTest's TempDir() reads TEST_TMPDIR, everything else TMPDIR), removed when
// the program ends so that runs leave nothing behind.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarn-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
      path_ = pattern;
      setenv("TEST_TMPDIR", path_.c_str(), 1);
      setenv("TMPDIR", path_.c_str(), 1);
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty())
      std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

 private:
  std::string path_;
};
}  // namespace

int main(int argc, char** argv) {
  // Logic tests never open a display or a sound card.
  SetDefaults(QUARN_TEST_ENV);
  SetDefaults("SDL_VIDEODRIVER=dummy|SDL_AUDIODRIVER=dummy|ALSOFT_DRIVERS=null");
  const ScratchFolder scratch;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
