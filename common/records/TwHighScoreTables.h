#pragma once
#include <map>
#include <memory>

#include "records/TwTop.h"

// The high-score tables of the game modes, keyed by mode (0 Classic, 1 Arcade). The
// application creates both when it loads and empties the map when it shuts down; the game
// enters finished games' scores and the score dialog shows and clears them.
std::map<int, std::unique_ptr<TwTop>>& TwHighScoreTables();

// The table of a mode, or null when the application has not made one.
TwTop* TwHighScoreTable(int mode);
