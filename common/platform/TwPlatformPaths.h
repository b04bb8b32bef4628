#pragma once
#include <string>

// The directory the game's data was installed into (<prefix>/share/zorbit-volley).
std::string TwInstallDataDir();
// The directory holding the running executable, empty when it cannot be found.
std::string TwExecutableDir();
