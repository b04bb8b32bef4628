#pragma once
#include <string>

// One player profile.
struct TwProfileItem {
    std::string name;          // unique in the store (exact byte comparison)
    bool hasSavedGame = false; // the save slot exists and holds at least 4 bytes
};
