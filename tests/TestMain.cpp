// The main of every test program: a quiet, deterministic environment, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
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
}  // namespace

int main(int argc, char** argv) {
  // Logic tests never open a display or a sound card.
  SetDefaults(QUARN_TEST_ENV);
  SetDefaults("SDL_VIDEODRIVER=dummy|SDL_AUDIODRIVER=dummy|ALSOFT_DRIVERS=null");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
