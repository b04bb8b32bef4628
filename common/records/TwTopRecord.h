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
    // Fade-in of the row in the score dialog; belongs to the dialog, never stored.
    int DisplayAlpha = 0;
};
