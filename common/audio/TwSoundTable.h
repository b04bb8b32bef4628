#pragma once
#include <vector>

// The game's effects by sound id and its two play lists, as the loading step enters them.
struct TwSoundTableEntry {
    int id;
    const char* fileName;
};

// Every effect of the game. Id 0 is loaded but never played.
const std::vector<TwSoundTableEntry>& TwGameSoundTable();

constexpr int kTwMenuPlayList = 0;
constexpr int kTwGamePlayList = 1;
constexpr const char* kTwMenuMusic = "Data/Music/Menu.Ogg";
constexpr const char* kTwGameMusic = "Data/Music/A.Ogg";

// Loads every effect of the table into the sound system; returns how many loaded.
int TwLoadGameSounds();
// Enters the menu list (0) and the game list (1), one track each.
void TwAddGamePlayLists();
