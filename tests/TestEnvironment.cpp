// Linked into every test program: before any test runs, the program gets the test defaults,
// so no test touches the real desktop, sound card or player's home: offscreen video, the
// dummy sound driver, and settings and player folders inside the build tree. A variable the
// test run already set (or a test sets later) wins.
#include <cstdlib>

namespace {

struct TestDefaults {
    TestDefaults() {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        ::setenv("XDG_CONFIG_HOME", ZV_BINARY_DIR "/test-home/config", 0);
        ::setenv("XDG_DATA_HOME", ZV_BINARY_DIR "/test-home/data", 0);
    }
};

const TestDefaults kTestDefaults;

} // namespace
