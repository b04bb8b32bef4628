#pragma once
#include <string>

// The directory the game's data was installed into: <prefix>/share/zorbit-volley beside the
// running program's bin/ when that holds the data, else the prefix configured at build time.
std::string TwInstallDataDir();
// The directory holding the running executable, empty when it cannot be found.
std::string TwExecutableDir();
