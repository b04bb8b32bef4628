#pragma once
#include "data/TwDefFile.h"

// Layout values of the player dialogs, read once from "Data/EngineDefs.Txt" in the main pack.
// Empty (every getter gives its default) until LoadEngineDefinitions ran or when the pack
// lacks the file.
TwDefFile& TwEngineDefs();

// Loads the engine definitions from the packs, then the player's settings. Always true.
bool LoadEngineDefinitions();
