#pragma once
#include <string>

// The files the game keeps for each player beside the profiles file and the save slot (the
// statistics, ...). Called with a player's name just before the player is deleted, so none
// of them outlives its player; a feature with a per-player file of its own adds its line
// in PlayerFiles.cpp.
void ForgetPlayerFiles(const std::string& player);
