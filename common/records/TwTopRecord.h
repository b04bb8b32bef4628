#pragma once
#include <string>

// One entry of a high-score table.
struct TwTopRecord {
    std::string PlayerName;
    std::string Difficulty; // a finished game stores an empty text
    int Scores = 0;
    int Level = 0;   // a finished game stores 0
    int Episode = 0; // a finished game stores 0
    int Time = 0;    // a finished game stores 0
    // The file name of the game's recording in the player's recordings folder; empty when
    // the entry cannot be watched. Stored under a key of its own, only when set.
    std::string Replay;
    // The aim guide was on during the game. Stored under a key of its own, only when set.
    bool Guided = false;
    // Fade-in of the row in the score dialog; belongs to the dialog, never stored.
    int DisplayAlpha = 0;
};
